#include "ui/draw/drawscreen.h"

#include "core/common/designfonts.h"
#include "core/common/safefile.h"
#include "core/common/timing.h"
#include "core/config/settingsfile.h"
#include "core/config/workingfolder.h"
#include "core/draw/drawsequence.h"
#include "core/draw/framelog.h"
#include "core/draw/panelgrid.h"
#include "core/programstate.h"
#include "ui/app/childscreen.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/colour/pickcolor.h"
#include "ui/draw/cardchecker.h"
#include "ui/draw/drawcanvas.h"
#include "ui/draw/drawkeysbox.h"
#include "ui/draw/drawrecordkeeper.h"
#include "ui/draw/effectarea.h"
#include "ui/draw/kapmenubox.h"
#include "ui/draw/panelwidget.h"
#include "ui/draw/phoneclaims.h"
#include "ui/draw/phonejoin.h"
#include "ui/draw/typedsurface.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

// Design of the top band, in twips.
constexpr double kButtonHeight = 375;
constexpr double kPlayInfoLeft = 60, kPlayInfoTop = 45, kPlayInfoWidth = 1100, kPlayInfoHeight = 285;
constexpr double kDrawButtonLeft = 1300, kDrawButtonWidth = 2400;
constexpr double kBackButtonLeft = 3800, kBackButtonWidth = 1800;
// A screen this narrow (twips) or narrower types and scrolls in a smaller size.
constexpr double kNarrowScreenTwips = 10000;

// Holds the draw screen's place in its child window while the screen is full screen elsewhere:
// closing the child window closes the screen, which may refuse.
class FullScreenStandIn : public QLabel {
public:
    explicit FullScreenStandIn(DrawScreen* screen)
        : QLabel(QStringLiteral("全画面表示中です。\nF11 または Esc で戻ります。")), m_screen(screen) {
        setAlignment(Qt::AlignCenter);
        setFont(DesignFont(DesignFace::PGothic, 14.25, true));
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (m_screen && !m_screen->close()) {
            event->ignore();
            return;
        }
        event->accept();
    }

private:
    QPointer<DrawScreen> m_screen;
};

} // namespace

DrawScreen::DrawScreen(ProgramState& state, Services& services, QWidget* parent)
    : QWidget(parent), m_state(state), m_services(services), m_typed(*this) {
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
    m_drawButton->setEnabled(false);
    ApplyBackground(m_state.Settings.Backcolor);
    // The screen is shown by whoever opened it (the main window puts it in a child window first);
    // the check for participants follows as soon as the event loop runs, over the shown screen.
    m_openingTimer->SetInterval(0);
    m_openingTimer->Start();
    m_timer1->Start();
    connect(&m_photos, &PhotoCache::Ready, this, [this](const QString& path) { PaintEffectPhoto(path); });
    if (!m_state.FrameLogPath.isEmpty()) {
        m_frameLog = std::make_unique<FrameLog>(m_state.FrameLogPath);
        // A frame is logged when the window system has it: after the flush of the window the
        // screen is in (the main window, or the screen itself full screen).
        qApp->installEventFilter(this);
    }
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

    m_drawButton = new QPushButton(QStringLiteral("抽選開始"), this);
    m_drawButton->setObjectName(QStringLiteral("cmd抽選開始"));
    m_drawButton->setFont(DesignFont(DesignFace::PGothic, 14.25, true));
    m_drawButton->setGeometry(TwipsToPixels(this, kDrawButtonLeft), 0, TwipsToPixels(this, kDrawButtonWidth),
                              TwipsToPixels(this, kButtonHeight));
    m_drawButton->setFocusPolicy(Qt::NoFocus);
    connect(m_drawButton, &QPushButton::clicked, this, [this] { cmd抽選開始_Click(); });

    m_backButton = new QPushButton(QStringLiteral("背景色変更"), this);
    m_backButton->setObjectName(QStringLiteral("Cmd背景色"));
    m_backButton->setFont(DesignFont(DesignFace::PGothic, 9.75, true));
    m_backButton->setGeometry(TwipsToPixels(this, kBackButtonLeft), 0, TwipsToPixels(this, kBackButtonWidth),
                              TwipsToPixels(this, kButtonHeight));
    m_backButton->setFocusPolicy(Qt::NoFocus);
    connect(m_backButton, &QPushButton::clicked, this, [this] { Cmd背景色_Click(); });

    for (int k = 0; k < m_sequence->PanelCount(); ++k) {
        auto* panel = new PanelWidget(k, m_photos, this);
        panel->RightReleased = [this](int index) { Picパネル_MouseUp(index); };
        m_panels.push_back(panel);
    }

    m_effect = new EffectArea(this);
    m_telop = new QLabel(QStringLiteral("テロップ用"), this);
    m_telop->setObjectName(QStringLiteral("Lblテロップ用"));
    m_telop->setFont(DesignFont(DesignFace::PMincho, 60, true));
    m_telop->setStyleSheet(QStringLiteral("QLabel { color: white; background: transparent; }"));
    m_telop->hide();
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
        if (const QString failure = m_phones->TakeFailure(); !failure.isEmpty()) {
            ShowMessage(failure);
            if (m_closed) {
                return;
            }
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
    const double shift = IsFullScreen() ? GridCentringShift(rects, ClientWidthTwips()) : 0;
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

void DrawScreen::keyPressEvent(QKeyEvent* event) {
    // A key held down repeats: it still does what one press does, once (a held Space must not
    // draw one participant after another, nor close and reopen a box).
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_H:
        ShowHistory();
        return;
    case Qt::Key_C:
        CheckCard();
        return;
    case Qt::Key_P:
        JoinByPhone();
        return;
    case Qt::Key_K:
        CheckClaimedCard();
        return;
    case Qt::Key_F1:
        ShowKeys();
        return;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Whenever the button would take a click.
        if (m_drawButton->isVisible() && m_drawButton->isEnabled()) {
            cmd抽選開始_Click();
        }
        return;
    case Qt::Key_F11:
        IsFullScreen() ? ShowInWindow() : ShowFullScreen();
        return;
    case Qt::Key_Escape:
        if (IsFullScreen()) {
            ShowInWindow();
            return;
        }
        break;
    default:
        break;
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
    menu.addAction(QStringLiteral("抽選履歴 (H)"), this, [this] { ShowHistory(); });
    menu.addAction(QStringLiteral("カード確認 (C)"), this, [this] { CheckCard(); });
    menu.addAction(QStringLiteral("スマホ参加 (P)"), this, [this] { JoinByPhone(); });
    if (!m_claims->IsEmpty()) {
        menu.addAction(QStringLiteral("スマホの申告を確認 (K)"), this, [this] { CheckClaimedCard(); });
    }
    menu.addAction(QStringLiteral("操作キー一覧 (F1)"), this, [this] { ShowKeys(); });
    menu.addSeparator();
    if (IsFullScreen()) {
        menu.addAction(QStringLiteral("全画面表示を終わる (F11)"), this, [this] { ShowInWindow(); });
    } else {
        menu.addAction(QStringLiteral("全画面表示 (F11)"), this, [this] { ShowFullScreen(); });
    }
    if (AcceptsCommands()) {
        RunModal([&] { menu.exec(event->globalPos()); });
    }
}

QScreen* DrawScreen::ProjectorScreen(const QWidget* mainWindow) {
    QScreen* main = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != main) {
            return screen;
        }
    }
    return main;
}

void DrawScreen::ShowFullScreen(QScreen* on) {
    if (!on) {
        on = ProjectorScreen(window());
    }
    if (!IsFullScreen()) {
        // The child window keeps a stand-in, so that the main window still sees its screen open;
        // closing the child window closes the screen as ever.
        auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
        auto* standIn = new FullScreenStandIn(this);
        m_standIn = standIn;
        LeaveFocus();
        setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
        if (sub) {
            sub->setWidget(standIn);
        }
    }
    setGeometry(on->geometry());
    showFullScreen();
    activateWindow();
    setFocus();
    LayoutPanelGrid();
    m_lastLayoutSize = size();
}

void DrawScreen::LeaveFocus() {
    // The window the screen leaves must not keep pointing its focus into it (the focus it last
    // gave, even while not active).
    for (QWidget* focus : {QApplication::focusWidget(), window()->focusWidget(), focusWidget()}) {
        if (focus && (focus == this || isAncestorOf(focus))) {
            focus->clearFocus();
        }
    }
}

void DrawScreen::ShowInWindow() {
    if (!IsFullScreen()) {
        return;
    }
    QWidget* standIn = m_standIn;
    auto* sub = qobject_cast<QMdiSubWindow*>(standIn->parentWidget());
    m_standIn = nullptr;
    LeaveFocus();
    if (sub) {
        sub->setWidget(this); // the stand-in is handed back, not deleted
        sub->showMaximized();
    } else {
        setParent(nullptr, Qt::Window);
        showNormal();
    }
    standIn->hide();
    standIn->deleteLater();
    show();
    setFocus();
    LayoutPanelGrid();
    m_lastLayoutSize = size();
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
    if (m_standIn) {
        // The screen goes while full screen: the child window that held its place goes too.
        QPointer<QWidget> standIn = m_standIn;
        m_standIn = nullptr;
        QMetaObject::invokeMethod(
            standIn, [standIn] { CloseScreen(standIn); }, Qt::QueuedConnection);
    }
    m_timer1->Stop();
    m_openingTimer->Stop();
    m_sequence->Stop();
    event->accept();
}

// ---- The screen's own commands ---------------------------------------------------------------

void DrawScreen::ShowHistory() {
    m_record->ShowHistory();
}

void DrawScreen::CheckCard() {
    m_cardChecker->Ask();
}

void DrawScreen::CheckCard(int number) {
    m_cardChecker->Check(number);
}

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
    auto* box = new DrawKeysBox(this);
    const QPointer<DrawKeysBox> guard(box);
    if (RunModal([&] { m_services.dialogs.Exec(*box); }) && guard) {
        delete box;
    }
}

void DrawScreen::CheckClaimedCard() {
    if (AcceptsCommands()) {
        m_claims->CheckOldest();
    }
}

void DrawScreen::FrameDue(qint64 dueUs) {
    if (m_frameLog) {
        m_frameLog->Due(dueUs);
    }
}

bool DrawScreen::eventFilter(QObject* watched, QEvent* event) {
    // Only while frames are logged. The effect area, the scrolling line and the typed surface
    // paint into the window's buffer; the window's update request paints and then flushes the
    // buffer to the window system, and only then the room sees the frame.
    if (!m_frameLog) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::Paint && (watched == m_effect || watched == m_telop)) {
        m_framePainted = true;
    } else if (event->type() == QEvent::UpdateRequest && watched == window()) {
        const qint64 began = m_services.clock.NowUs();
        m_framePainted = false;
        watched->event(event); // the window paints and flushes here
        if (m_framePainted) {
            m_frameLog->Painted(began, m_services.clock.NowUs());
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void DrawScreen::paintEvent(QPaintEvent*) {
    m_framePainted = true;
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    m_typed.Paint(painter);
}

void DrawScreen::resizeEvent(QResizeEvent*) {
    if (m_effect->isVisible()) {
        m_effect->setGeometry(rect());
    }
    m_typed.Grow();
}

QFont DrawScreen::TypedFont() const {
    QFont font = UnhintedFont(FaceName(DesignFace::PGothic), true);
    font.setPointSizeF(ClientWidthTwips() <= kNarrowScreenTwips ? 35 : 50);
    return font;
}

// ---- What the draw shows --------------------------------------------------------------------

QSizeF DrawScreen::ScreenSize() const {
    return QSizeF(size());
}

bool DrawScreen::ShowMessage(const QString& text) {
    return RunModal([this, &text] { m_services.dialogs.ShowMessageOn(this, text); });
}

void DrawScreen::ShowButtons(bool shown) {
    m_drawButton->setVisible(shown);
    m_backButton->setVisible(shown);
}

void DrawScreen::ShowPlayInfo(const QString& text) {
    m_playInfo->setText(text);
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

double DrawScreen::ShowTelop(const QString& text, double x, double top, const QColor& colour) {
    if (ClientWidthTwips() <= kNarrowScreenTwips && !m_telopSmall) {
        m_telopSmall = true;
        QFont font = m_telop->font();
        font.setPointSizeF(40);
        m_telop->setFont(font);
    }
    m_telop->setStyleSheet(
        QStringLiteral("QLabel { color: %1; background: transparent; }").arg(colour.name()));
    m_telop->setText(text);
    m_telop->adjustSize();
    m_telop->move(static_cast<int>(x), static_cast<int>(top));
    m_telop->show();
    m_telop->raise();
    return m_telop->width();
}

void DrawScreen::MoveTelop(double x, double top) {
    m_telop->move(static_cast<int>(std::floor(x)), static_cast<int>(top));
}

void DrawScreen::HideTelop() {
    m_telop->hide();
}

void DrawScreen::ClearSurface() {
    // Back to the top left, below the band of the song box so that it hides no typed text.
    m_typed.Clear(m_drawButton->height());
    update();
}

void DrawScreen::TypeCharacter(const QString& character, const QColor& colour) {
    const QRect changed = m_typed.Type(character, TypedFont(), colour);
    if (changed.isEmpty() && m_frameLog) {
        m_frameLog->NothingToPaint();
    }
    update(changed);
}

void DrawScreen::EndTypedLine() {
    m_typed.NewLine(TypedFont());
    if (m_frameLog) {
        m_frameLog->NothingToPaint(); // the end of a line shows nothing new
    }
}

QSize DrawScreen::EffectBox() const {
    return ScaledPixelSize(QSizeF(size()), devicePixelRatioF());
}

void DrawScreen::PreparePhoto(const QString& path, bool onPanel) {
    m_photos.Prepare(path, EffectBox());
    if (onPanel && !m_panels.empty()) {
        m_photos.Prepare(path, PanelWidget::PhotoBox(m_panels.front()->width(), devicePixelRatioF()));
    }
}

void DrawScreen::ShowPhoto(const QString& path) {
    ShowEffects();
    m_effect->Clear();
    m_effectPhoto = path;
    PaintEffectPhoto(path);
}

void DrawScreen::PaintEffectPhoto(const QString& path) {
    // Not yet decoded: the area stays black until it is, or for the photo's whole time when the
    // file cannot be read.
    if (path != m_effectPhoto || !m_effect->isVisible()) {
        return;
    }
    const QImage photo = m_photos.Fitted(path, EffectBox());
    if (!photo.isNull()) {
        m_effect->DrawPicture(EffectPhotoPlacement(width(), height(), photo.width(), photo.height()), photo);
    }
}

void DrawScreen::ShowEffects() {
    m_effect->setGeometry(rect());
    m_effect->show();
    m_effect->raise();
}

void DrawScreen::HideEffects() {
    m_effect->hide();
    m_effectPhoto.clear();
}

void DrawScreen::ClearEffects() {
    m_effect->Clear();
}

TextSize DrawScreen::MeasureName(const QString& face, double pointSize, const QString& name) {
    return TextMeasureFor(UnhintedFont(face, false), name, &m_effect->Canvas())(pointSize);
}

void DrawScreen::PrintName(const QString& face, const NameFrame& frame, const QString& name) {
    QFont font = UnhintedFont(face, false);
    font.setPointSizeF(std::max(0.5, frame.Size));
    m_effect->Print(font, QPointF(frame.X, frame.Y), name, frame.Colour);
}
