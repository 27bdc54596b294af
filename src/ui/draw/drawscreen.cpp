#include "ui/draw/drawscreen.h"

#include "core/common/designfonts.h"
#include "core/common/timing.h"
#include "core/config/settingsfile.h"
#include "core/draw/drawsequence.h"
#include "core/draw/panelgrid.h"
#include "core/programstate.h"
#include "ui/app/childscreen.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/colour/pickcolor.h"
#include "ui/draw/drawkeysbox.h"
#include "ui/draw/kapmenubox.h"
#include "ui/draw/panelwidget.h"
#include "ui/draw/phonejoin.h"
#include "ui/draw/standingboard.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

namespace {

// Design of the top band, in twips.
constexpr double kButtonHeight = 375;
constexpr double kPlayInfoLeft = 60, kPlayInfoTop = 45, kPlayInfoWidth = 1100, kPlayInfoHeight = 285;
constexpr double kDrawButtonLeft = 1300, kDrawButtonWidth = 2400;
constexpr double kBackButtonLeft = 3800, kBackButtonWidth = 1800;
// A screen this narrow (twips) or narrower types in a smaller size.
constexpr double kNarrowScreenTwips = 10000;

} // namespace

DrawScreen::DrawScreen(ProgramState& state, Services& services, QWidget* parent)
    : QWidget(parent), m_state(state), m_services(services), m_fullScreen(*this), m_typed(*this) {
    setObjectName(QStringLiteral("frm抽選"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The screen takes the keys (Space, Enter, F11, Esc, H, C); its buttons leave the focus to it.
    setFocusPolicy(Qt::StrongFocus);
    resize(1024, 700);
    m_background = palette().color(QPalette::Window);
    // Opening: the timers stopped and the button disabled until the first housekeeping tick, the
    // background from the settings, the pools and the panels.
    m_timer1 = m_services.clock.CreateTimer();
    m_timer1->SetInterval(1000);
    m_timer1->SetCallback([this] { Timer1_Timer(); });
    m_openingTimer = m_services.clock.CreateTimer();
    m_openingTimer->SetCallback([this] { CheckParticipants(); });
    DrawView& view = *this;
    m_sequence =
        std::make_unique<DrawSequence>(m_state, view, m_services.clock, m_services.music, m_services.random);
    m_phones = std::make_unique<PhoneJoin>(m_state, m_services, *m_sequence);
    ScreenBoxes& boxes = *this;
    m_record = std::make_unique<DrawRecordKeeper>(m_state, m_services, *m_sequence, boxes);
    m_cardChecker = std::make_unique<CardChecker>(m_state, m_services, *m_sequence, boxes);
    BuildControls();
    m_claims = std::make_unique<PhoneClaims>(*m_phones, *m_cardChecker, this);
    connect(m_phones.get(), &PhoneJoin::Claimed, this, [this](int number) { m_claims->Take(number); });
    m_record->PanelsChanged = [this] { m_claims->Show(); };
    m_standing = std::make_unique<StandingBoard>(m_state, *m_sequence, *m_cardChecker, this);
    m_drawButton->setEnabled(false);
    ApplyBackground(m_state.Settings.Backcolor);
    // The screen is shown by whoever opened it (the main window puts it in a child window first);
    // the check for participants follows as soon as the event loop runs, over the shown screen.
    m_openingTimer->SetInterval(0);
    m_openingTimer->Start();
    m_timer1->Start();
}

DrawScreen::~DrawScreen() {
    m_sequence->Stop();
}

void DrawScreen::BuildControls() {
    m_playInfo = new QLineEdit(this);
    m_playInfo->setObjectName(QStringLiteral("Txt再生情報"));
    m_playInfo->setReadOnly(true);
    m_playInfo->setFocusPolicy(Qt::NoFocus);
    m_playInfo->setFont(DesignFont(DesignFace::PGothic, 8.25));
    m_playInfo->setStyleSheet(
        QStringLiteral("QLineEdit { color: yellow; background: black; border: none; }"));
    m_playInfo->setGeometry(TwipsToPixels(this, kPlayInfoLeft), TwipsToPixels(this, kPlayInfoTop),
                            TwipsToPixels(this, kPlayInfoWidth), TwipsToPixels(this, kPlayInfoHeight));

    const auto button = [this](const char* name, const QString& caption, double points, double left,
                               double width, void (DrawScreen::*click)()) {
        auto* made = new QPushButton(caption, this);
        made->setObjectName(QString::fromUtf8(name));
        made->setFont(DesignFont(DesignFace::PGothic, points, true));
        made->setGeometry(TwipsToPixels(this, left), 0, TwipsToPixels(this, width),
                          TwipsToPixels(this, kButtonHeight));
        made->setFocusPolicy(Qt::NoFocus); // the keys stay with the screen
        connect(made, &QPushButton::clicked, this, click);
        return made;
    };
    m_drawButton = button("cmd抽選開始", QStringLiteral("抽選開始"), 14.25, kDrawButtonLeft, kDrawButtonWidth,
                          &DrawScreen::cmd抽選開始_Click);
    m_backButton = button("Cmd背景色", QStringLiteral("背景色変更"), 9.75, kBackButtonLeft, kBackButtonWidth,
                          &DrawScreen::Cmd背景色_Click);

    for (int k = 0; k < m_sequence->PanelCount(); ++k) {
        auto* panel = new PanelWidget(k, m_photos, this);
        panel->RightReleased = [this](int index) { Picパネル_MouseUp(index); };
        m_panels.push_back(panel);
    }

    m_stage = std::make_unique<EffectStage>(*this, m_photos, m_services.clock, m_state.FrameLogPath);
}

void DrawScreen::CheckParticipants() {
    m_openingTimer->Stop();
    if (m_closed) {
        return;
    }
    if (m_sequence->Pools().Candidates().Count > 0) {
        m_record->Begin();
        return;
    }
    if (!RunModal([this] {
            m_services.dialogs.ShowMessageOn(this, QStringLiteral("参加者が1件も登録されていません。"));
        })) {
        return;
    }
    // Nothing can be drawn: the screen only waits for its next housekeeping tick to close.
    m_closeRequested = true;
    m_drawButton->setEnabled(false);
}

void DrawScreen::Timer1_Timer() {
    if (m_closed) {
        return;
    }
    if (size() != m_lastLayoutSize) {
        LayoutPanelGrid();
        m_lastLayoutSize = size();
    }
    if (m_record->IsOpen() && m_modalDepth == 0 && !m_sequence->IsRunning()) {
        if (!m_record->TellFailure() || m_closed) {
            return;
        }
        if (const QString failure = m_phones->TakeFailure(); !failure.isEmpty() && !ShowMessage(failure)) {
            return;
        }
    }
    if (m_closeRequested) {
        // Not while one of the screen's boxes is open: closing would destroy the box under its
        // own event loop. The next tick tries again.
        if (m_modalDepth == 0) {
            m_timer1->Stop();
            CloseScreen(this);
        }
        return;
    }
    m_drawButton->setEnabled(true);
}

bool DrawScreen::RunModal(const std::function<void()>& show) {
    const QPointer<DrawScreen> self(this);
    ++m_modalDepth;
    show();
    if (!self) {
        return false;
    }
    --m_modalDepth;
    return !m_closed;
}

bool DrawScreen::AcceptsCommands() const {
    return !m_closed && !m_closeRequested && m_modalDepth == 0;
}

void DrawScreen::ApplyBackground(const QString& text) {
    QColor colour;
    if (ColourFromText(text, colour)) {
        m_background = colour;
    }
    update();
}

double DrawScreen::ClientWidthTwips() const {
    return PixelsToTwips(this, width());
}

void DrawScreen::LayoutPanelGrid() {
    std::vector<PanelRect> rects;
    if (!::LayoutPanelGrid(ClientWidthTwips(), PixelsToTwips(this, height()),
                           PixelsToTwips(this, m_drawButton->height()), m_sequence->Columns(),
                           m_sequence->Rows(), rects)) {
        return;
    }
    // Full screen on a projector, the grid is centred across the width instead of hugging the left.
    const double shift = m_fullScreen.IsOn() ? GridCentringShift(rects, ClientWidthTwips()) : 0;
    for (size_t k = 0; k < m_panels.size(); ++k) {
        const PanelRect& r = rects[k];
        const int left = TwipsToPixels(this, r.Left + shift);
        const int side = std::max(1, TwipsToPixels(this, r.Left + shift + r.Width) - left);
        m_panels[k]->setGeometry(left, TwipsToPixels(this, r.Top), side, side);
        // During a draw the grid stays hidden under the effects until the draw shows it again.
        if (!m_sequence->IsRunning()) {
            m_panels[k]->show();
        }
    }
}

void DrawScreen::cmd抽選開始_Click() {
    if (AcceptsCommands()) {
        m_sequence->Press();
    }
}

void DrawScreen::Cmd背景色_Click() {
    if (!AcceptsCommands() || m_sequence->IsRunning()) {
        return;
    }
    m_drawButton->setEnabled(false);
    setEnabled(false);
    QString text;
    bool chosen = false;
    if (!RunModal([this, &text, &chosen] { chosen = PickColor(m_services.dialogs, this, text); })) {
        return;
    }
    if (chosen) {
        m_state.Settings.Backcolor = text;
        ApplyBackground(text);
        // A failed save reports itself in a box of its own.
        if (!RunModal([this] { SaveSettings(m_state, m_services.dialogs); })) {
            return;
        }
    }
    m_drawButton->setEnabled(true);
    setEnabled(true);
}

void DrawScreen::Picパネル_MouseUp(int index) {
    const std::optional<int> modeSwitch = m_sequence->PanelBoxSwitch(index);
    if (!modeSwitch || !AcceptsCommands()) {
        return;
    }
    const QPoint centre = m_panels[static_cast<size_t>(index)]->geometry().center();
    qint16 result = 0;
    if (!RunModal([&] {
            result = KapMenuBox::X_MenuBox(m_services.dialogs, this, mapToGlobal(centre), *modeSwitch);
        })) {
        return;
    }
    if (result == 1) {
        m_sequence->OpenPanelByHand(index);
    } else if (result == 2) {
        m_sequence->ClosePanelByHand(index);
    }
}

std::vector<DrawScreen::Command> DrawScreen::Commands() {
    return {
        {Qt::Key_H, QStringLiteral("抽選履歴 (H)"), [this] { ShowHistory(); }},
        {Qt::Key_C, QStringLiteral("カード確認 (C)"), [this] { CheckCard(); }},
        {Qt::Key_P, QStringLiteral("スマホ参加 (P)"), [this] { JoinByPhone(); }},
        {Qt::Key_K, m_claims->IsEmpty() ? QString() : QStringLiteral("スマホの申告を確認 (K)"),
         [this] { CheckClaimedCard(); }},
        {Qt::Key_S, QStringLiteral("リーチ・ビンゴの状況 (S)"), [this] { m_standing->Toggle(); }},
        {Qt::Key_F1, QStringLiteral("操作キー一覧 (F1)"), [this] { ShowKeys(); }},
        {Qt::Key_F11,
         IsFullScreen() ? QStringLiteral("全画面表示を終わる (F11)") : QStringLiteral("全画面表示 (F11)"),
         [this] { IsFullScreen() ? ShowInWindow() : ShowFullScreen(); }},
    };
}

void DrawScreen::keyPressEvent(QKeyEvent* event) {
    // A key held down repeats: it still does what one press does, once (a held Space must not
    // draw one participant after another, nor close and reopen a box).
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Whenever the button would take a click.
        if (m_drawButton->isVisible() && m_drawButton->isEnabled()) {
            cmd抽選開始_Click();
        }
        return;
    }
    if (key == Qt::Key_Escape && IsFullScreen()) {
        ShowInWindow();
        return;
    }
    for (const Command& command : Commands()) {
        if (command.Key == key) {
            command.Run();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void DrawScreen::contextMenuEvent(QContextMenuEvent* event) {
    // Over a panel that takes a right click, the click is the panel's: its box opens when the
    // button is released. (The menu event comes with the press on some systems, before the
    // release reaches the panel.)
    if (const auto* panel = dynamic_cast<const PanelWidget*>(childAt(event->pos()));
        panel && m_sequence->PanelBoxSwitch(panel->Index())) {
        event->accept();
        return;
    }
    // The screen's own menu, over the background.
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnu抽選画面"));
    for (const Command& command : Commands()) {
        if (command.Key == Qt::Key_F11) {
            menu.addSeparator();
        }
        if (!command.Caption.isEmpty()) {
            menu.addAction(command.Caption, this, command.Run);
        }
    }
    if (AcceptsCommands()) {
        RunModal([&] { menu.exec(event->globalPos()); });
    }
}

void DrawScreen::ShowFullScreen(QScreen* on) {
    m_fullScreen.On(on);
    LayoutPanelGrid();
    m_lastLayoutSize = size();
}

void DrawScreen::ShowInWindow() {
    if (m_fullScreen.IsOn()) {
        m_fullScreen.Off();
        LayoutPanelGrid();
        m_lastLayoutSize = size();
    }
}

void DrawScreen::closeEvent(QCloseEvent* event) {
    if (m_state.DrawInProgress) {
        event->ignore();
        RunModal([this] {
            m_services.dialogs.ShowMessageOn(this, QStringLiteral("抽選実行中はこの操作はできません"));
        });
        return;
    }
    m_closed = true;
    m_phones->Stop();
    m_record->End();
    m_fullScreen.ScreenClosing();
    m_timer1->Stop();
    m_openingTimer->Stop();
    m_sequence->Stop();
    event->accept();
}

// ---- The screen's own commands ---------------------------------------------------------------

void DrawScreen::JoinByPhone() {
    if (!AcceptsCommands()) {
        return;
    }
    RunModal([this] { m_phones->ShowBox(this); });
}

void DrawScreen::ShowKeys() {
    if (!AcceptsCommands()) {
        return;
    }
    RunBox(m_services.dialogs, new DrawKeysBox(this));
}

void DrawScreen::paintEvent(QPaintEvent* event) {
    m_stage->SurfacePainted(event->region());
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    m_typed.Paint(painter);
}

void DrawScreen::AddDrawListener(DrawListener& listener) {
    m_sequence->AddListener(&listener);
}

void DrawScreen::resizeEvent(QResizeEvent*) {
    m_stage->Resized();
    m_typed.Grow();
}

QFont DrawScreen::TypedFont() const {
    QFont font = UnhintedFont(FaceName(DesignFace::PGothic), true);
    font.setPointSizeF(ClientWidthTwips() <= kNarrowScreenTwips ? 35 : 50);
    return font;
}

// ---- What the draw shows --------------------------------------------------------------------

bool DrawScreen::ShowMessage(const QString& text) {
    return RunModal([this, &text] { m_services.dialogs.ShowMessageOn(this, text); });
}

void DrawScreen::ShowButtons(bool shown) {
    m_drawButton->setVisible(shown);
    m_backButton->setVisible(shown);
}

void DrawScreen::ShowGrid(bool shown) {
    for (PanelWidget* panel : m_panels) {
        panel->setVisible(shown);
    }
}

void DrawScreen::OpenPanel(int k, qint16, const QString& name, const QString& photoPath) {
    m_panels[static_cast<size_t>(k)]->Open(name, photoPath);
}

void DrawScreen::ClosePanel(int k) {
    m_panels[static_cast<size_t>(k)]->Close();
}

void DrawScreen::ClearSurface() {
    // Back to the top left, below the band of the song box so that it hides no typed text.
    m_typed.Clear(m_drawButton->height());
    update();
}

void DrawScreen::TypeCharacter(const QString& character, const QColor& colour) {
    const QRect changed = m_typed.Type(character, TypedFont(), colour);
    if (changed.isEmpty()) {
        m_stage->NothingToPaint();
    }
    update(changed);
}

void DrawScreen::EndTypedLine() {
    m_typed.NewLine(TypedFont());
    m_stage->NothingToPaint(); // the end of a line shows nothing new
}

void DrawScreen::PreparePhoto(const QString& path, bool onPanel) {
    m_stage->PreparePhoto(path);
    if (onPanel && !m_panels.empty()) {
        m_photos.Prepare(path, PanelWidget::PhotoBox(m_panels.front()->width(), devicePixelRatioF()));
    }
}
