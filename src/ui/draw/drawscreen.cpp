#include "ui/draw/drawscreen.h"

#include "core/common/blank.h"
#include "core/common/designfonts.h"
#include "core/common/numeric.h"
#include "core/common/platform.h"
#include "core/common/timing.h"
#include "core/config/settingsfile.h"
#include "core/draw/panelgrid.h"
#include "core/draw/profile.h"
#include "core/media/musicplayer.h"
#include "core/programstate.h"
#include "ui/app/childscreen.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/colour/pickcolor.h"
#include "ui/draw/drawcanvas.h"
#include "ui/draw/effectarea.h"
#include "ui/draw/kapmenubox.h"
#include "ui/draw/panelwidget.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

// Design of the top band, in twips.
constexpr double kButtonHeight = 375;
constexpr double kPlayInfoLeft = 60, kPlayInfoTop = 45, kPlayInfoWidth = 1100, kPlayInfoHeight = 285;
constexpr double kDrawButtonLeft = 1300, kDrawButtonWidth = 2400;
constexpr double kBackButtonLeft = 3800, kBackButtonWidth = 1800;

constexpr int kSongPollMs = 100;     // how often the song wait looks at the song
constexpr int kTypeIntervalMs = 180; // one typed character
constexpr int kTypePauseMs = 1000;   // after each typed line

} // namespace

DrawScreen::DrawScreen(ProgramState& state, Services& services, QWidget* parent)
    : QWidget(parent), m_state(state), m_services(services), m_cols(EffectiveGridSide(state.Settings.Cols)),
      m_rows(EffectiveGridSide(state.Settings.Rows)),
      m_pools(state.Roster, state.Settings.GameMode, m_cols * m_rows) {
    setObjectName(QStringLiteral("frm抽選"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(1024, 700);
    m_background = palette().color(QPalette::Window);
    buildControls();
    formLoad();
}

DrawScreen::~DrawScreen() {
    stopSequence();
}

void DrawScreen::buildControls() {
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
    connect(m_drawButton, &QPushButton::clicked, this, [this] { cmd抽選開始_Click(); });

    m_backButton = new QPushButton(QStringLiteral("背景色変更"), this);
    m_backButton->setObjectName(QStringLiteral("Cmd背景色"));
    m_backButton->setFont(DesignFont(DesignFace::PGothic, 9.75, true));
    m_backButton->setGeometry(TwipsToPixels(this, kBackButtonLeft), 0, TwipsToPixels(this, kBackButtonWidth),
                              TwipsToPixels(this, kButtonHeight));
    connect(m_backButton, &QPushButton::clicked, this, [this] { backColourClicked(); });

    m_effect = new EffectArea(this);

    m_telop = new QLabel(QStringLiteral("テロップ用"), this);
    m_telop->setObjectName(QStringLiteral("Lblテロップ用"));
    m_telop->setFont(DesignFont(DesignFace::PMincho, 60, true));
    m_telop->setAutoFillBackground(false);
    m_telop->setStyleSheet(QStringLiteral("QLabel { color: white; background: transparent; }"));
    m_telop->hide();

    m_timer1 = m_services.clock.CreateTimer();
    m_timer1->SetInterval(1000);
    m_timer1->SetCallback([this] { timer1Tick(); });
    m_timerMusic = m_services.clock.CreateTimer();
    m_timerMusic->SetCallback([this] { timerMusicTick(); });
    m_effectTimer = m_services.clock.CreateTimer();
    m_effectTimer->SetCallback([this] { effectTimerTick(); });
    m_openingTimer = m_services.clock.CreateTimer();
    m_openingTimer->SetCallback([this] { checkParticipants(); });
}

void DrawScreen::formLoad() {
    m_timer1->Stop();
    m_drawButton->setEnabled(false);
    SettingsRecord& settings = m_state.Settings;
    if (settings.Cols < 1) {
        settings.Cols = 5;
    }
    if (settings.Rows < 1) {
        settings.Rows = 5;
    }
    applyBackground(settings.Backcolor);
    m_state.DrawInProgress = false;
    buildPanelGrid();
    // The screen is shown by whoever opened it (the main window puts it in a child window first);
    // the check for participants follows as soon as the event loop runs, over the shown screen.
    m_drawCount = 0;
    m_openingTimer->SetInterval(0);
    m_openingTimer->Start();
    m_timer1->Start();
}

void DrawScreen::checkParticipants() {
    m_openingTimer->Stop();
    if (m_closed) {
        return;
    }
    if (m_pools.Candidates().Count <= 0) {
        if (!runModal([this] {
                m_services.dialogs.ShowMessage(QStringLiteral("参加者が1件も登録されていません。"));
            })) {
            return;
        }
        // Nothing can be drawn: the screen only waits for its next housekeeping tick to close.
        m_closeRequested = true;
        m_drawButton->setEnabled(false);
    }
}

bool DrawScreen::runModal(const std::function<void()>& show) {
    const QPointer<DrawScreen> self(this);
    ++m_modalDepth;
    show();
    if (!self) {
        return false;
    }
    --m_modalDepth;
    return !m_closed;
}

bool DrawScreen::acceptsCommands() const {
    return !m_closed && !m_closeRequested && m_modalDepth == 0;
}

void DrawScreen::buildPanelGrid() {
    const int count = m_cols * m_rows;
    m_panels.reserve(static_cast<size_t>(count));
    for (int i = 0; i < m_cols; ++i) {
        for (int j = 0; j < m_rows; ++j) {
            const int k = i * m_rows + j;
            auto* panel = new PanelWidget(k, m_photos, this);
            panel->RightReleased = [this](int index) { Picパネル_MouseUp(index); };
            m_panels.push_back(panel);
        }
    }
    m_effect->raise();
    m_telop->raise();
}

void DrawScreen::applyBackground(const QString& text) {
    QColor colour;
    if (ColourFromText(text, colour)) {
        m_background = colour;
        m_systemBackground = false;
    }
    update();
}

double DrawScreen::clientWidthTwips() const {
    return PixelsToTwips(this, width());
}

void DrawScreen::LayoutPanelGrid() {
    std::vector<PanelRect> rects;
    const double buttonHeight = PixelsToTwips(this, m_drawButton->height());
    if (!::LayoutPanelGrid(PixelsToTwips(this, height()), buttonHeight, m_cols, m_rows, rects)) {
        return;
    }
    for (size_t k = 0; k < m_panels.size(); ++k) {
        const PanelRect& r = rects[k];
        const int left = TwipsToPixels(this, r.Left);
        const int top = TwipsToPixels(this, r.Top);
        const int side = std::max(1, TwipsToPixels(this, r.Left + r.Width) - left);
        m_panels[k]->setGeometry(left, top, side, side);
        // During a draw the grid stays hidden under the effects until the draw shows it again.
        if (!m_drawRunning) {
            m_panels[k]->show();
        }
    }
}

void DrawScreen::timer1Tick() {
    if (m_closed) {
        return;
    }
    if (size() != m_lastLayoutSize) {
        LayoutPanelGrid();
        m_lastLayoutSize = size();
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

void DrawScreen::backColourClicked() {
    if (!acceptsCommands() || m_drawRunning) {
        return;
    }
    m_drawButton->setEnabled(false);
    setEnabled(false);
    QString text;
    bool chosen = false;
    if (!runModal([this, &text, &chosen] { chosen = PickColor(m_services.dialogs, this, text); })) {
        return;
    }
    if (chosen) {
        m_state.Settings.Backcolor = text;
        applyBackground(text);
        // A failed save reports itself in a box of its own.
        if (!runModal([this] { SaveSettings(m_state, m_services.dialogs); })) {
            return;
        }
    }
    m_drawButton->setEnabled(true);
    setEnabled(true);
}

void DrawScreen::closeEvent(QCloseEvent* event) {
    if (m_state.DrawInProgress) {
        event->ignore();
        runModal(
            [this] { m_services.dialogs.ShowMessage(QStringLiteral("抽選実行中はこの操作はできません")); });
        return;
    }
    stopSequence();
    event->accept();
}

void DrawScreen::stopSequence() {
    m_closed = true;
    m_drawRunning = false;
    m_waitingForSong = false;
    if (m_timer1) {
        m_timer1->Stop();
    }
    if (m_timerMusic) {
        m_timerMusic->Stop();
    }
    if (m_effectTimer) {
        m_effectTimer->Stop();
    }
    if (m_openingTimer) {
        m_openingTimer->Stop();
    }
    m_afterTick = nullptr;
    m_afterTelop = nullptr;
    m_afterLines = nullptr;
    m_endOfLine = nullptr;
    m_afterName = nullptr;
    if (m_songOpen) {
        m_songOpen = false;
        m_services.music.CloseMusic(m_musicFile);
    }
}

void DrawScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    if (!m_surface.isNull()) {
        painter.drawImage(QPointF(0, 0), m_surface);
    }
}

void DrawScreen::resizeEvent(QResizeEvent*) {
    if (m_effect->isVisible()) {
        m_effect->setGeometry(rect());
    }
    growSurface();
}

void DrawScreen::growSurface() {
    // Lines being typed wrap at the current width: a window that grows while they are typed
    // needs a surface as large as itself, keeping what is already typed.
    if (m_surface.isNull()) {
        return;
    }
    const qreal ratio = m_surface.devicePixelRatio();
    const QSize needed = ScaledPixelSize(QSizeF(size()), ratio).expandedTo(m_surface.size());
    if (needed == m_surface.size()) {
        return;
    }
    QImage grown(needed, QImage::Format_ARGB32_Premultiplied);
    grown.setDevicePixelRatio(ratio);
    grown.setDotsPerMeterX(m_surface.dotsPerMeterX());
    grown.setDotsPerMeterY(m_surface.dotsPerMeterY());
    grown.fill(Qt::transparent);
    QPainter painter(&grown);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), m_surface);
    painter.end();
    m_surface = grown;
}

// ---- Pacing ---------------------------------------------------------------------------------

void DrawScreen::waitTick(int intervalMs, Step next) {
    m_effectTick = 1;
    m_afterTick = std::move(next);
    if (!m_effectTimer->IsActive() || m_effectTimer->Interval() != intervalMs) {
        m_effectTimer->SetInterval(intervalMs);
        m_effectTimer->Start();
    }
}

void DrawScreen::stopEffectTimer() {
    m_effectTimer->Stop();
    m_effectTick = 0;
}

void DrawScreen::effectTimerTick() {
    if (m_effectTick == 1) {
        m_effectTick = -1;
    }
    if (m_closed || !m_afterTick) {
        stopEffectTimer();
        return;
    }
    Step next = std::move(m_afterTick);
    m_afterTick = nullptr;
    next();
    // A step that waits for no further tick leaves the timer off, as every effect does.
    if (!m_closed && !m_afterTick) {
        stopEffectTimer();
    }
}

bool DrawScreen::simpleDraw() const {
    return m_state.DrawKind == DrawKind::Simple;
}

// ---- The draw -------------------------------------------------------------------------------

void DrawScreen::cmd抽選開始_Click() {
    if (!acceptsCommands() || m_drawRunning) {
        return;
    }
    m_state.DrawInProgress = true;
    m_drawButton->hide();
    m_backButton->hide();
    const int mode = m_state.Settings.GameMode;
    const QString refusal = m_pools.Refusal(m_drawCount);
    if (!refusal.isEmpty()) {
        if (runModal([this, &refusal] { m_services.dialogs.ShowMessage(refusal); })) {
            finishDraw();
        }
        return;
    }
    if (mode < 1 || mode > 4) {
        finishDraw();
        return;
    }
    startDraw();
}

void DrawScreen::finishDraw() {
    m_drawRunning = false;
    if (m_closed) {
        return;
    }
    m_drawButton->show();
    m_backButton->show();
}

QString DrawScreen::nameOf(qint16 r) const {
    return r >= 1 && r <= RosterTable::kCapacity ? m_state.Roster.Cell(RosterColumn::Name, r) : QString();
}

QString DrawScreen::photoPathOf(qint16 r) const {
    if (r < 1 || r > RosterTable::kCapacity || !DflagOn(m_state.Settings.Dflag, 9)) {
        return {};
    }
    const QString photo = m_state.Roster.Cell(RosterColumn::Photo, r);
    if (photo.isEmpty()) {
        return {};
    }
    return JoinPath(m_state.Settings.Pictures, photo);
}

void DrawScreen::startDraw() {
    m_drawRunning = true;
    m_playInfo->clear();
    m_musicFile.clear();
    m_musicTicks = 0;
    m_musicDone = false;
    m_songCondition = false;
    m_waitingForSong = false;

    const qint16 r = m_pools.TakeRow(m_services.random);
    if (r == 0) {
        if (runModal([this] { m_services.dialogs.ShowMessage(DrawPools::NoMoreData()); })) {
            finishDraw();
        }
        return;
    }
    m_row = r;
    m_timerMusic->Stop();

    const QString song = TrimSpaces(m_state.Roster.Cell(RosterColumn::Song, r));
    m_songCondition = !song.isEmpty() && DflagOn(m_state.Settings.Dflag, 8);
    if (m_songCondition) {
        m_musicDone = false;
        m_musicFile = JoinPath(m_state.Settings.Musics, song);
        qint32 start = 0;
        if (!ToInt32(NumericValue(m_state.Roster.Cell(RosterColumn::SongStart, r)), start)) {
            start = 0;
        }
        m_services.music.PlayMusic(m_musicFile, start);
        m_songOpen = true;
        if (!ToInt32(NumericValue(m_state.Roster.Cell(RosterColumn::SongSeconds, r)), m_playSeconds)) {
            m_playSeconds = 0;
        }
        m_timerMusic->SetInterval(1000);
        m_timerMusic->Start();
    }

    for (PanelWidget* panel : m_panels) {
        panel->hide();
    }

    const Step effects = [this, r] {
        showPhotoEffect(r, [this, r] { showNameEffect(r, [this] { waitForSong(); }); });
    };
    if (!simpleDraw()) {
        showProfileTelop(r, [this, r, effects] { showProfileLines(r, effects); });
    } else {
        effects();
    }
}

void DrawScreen::timerMusicTick() {
    if (m_closed) {
        return;
    }
    if (!IsBlank(m_musicFile)) {
        const qint32 position = m_services.music.MusicPosition(m_musicFile);
        const qint32 length = m_services.music.MusicLength(m_musicFile);
        // A song still being opened reads -1 for its length; it is shown as 0.
        m_playInfo->setText(QStringLiteral("%1/%2").arg(position).arg(qMax(0, length)));
        if (m_playSeconds == 0) {
            if (length == position) {
                m_musicDone = true;
            }
            if (m_waitingForSong) {
                waitForSong();
            }
            return;
        }
    }
    ++m_musicTicks;
    if (m_musicTicks >= m_playSeconds) {
        m_musicDone = true;
    }
    if (m_waitingForSong) {
        waitForSong();
    }
}

bool DrawScreen::songWaitOver() {
    if (m_state.Settings.GameMode == 1) {
        if (simpleDraw()) {
            m_playSeconds = 1;
        }
        return m_musicDone ||
               m_services.music.MusicLength(m_musicFile) == m_services.music.MusicPosition(m_musicFile);
    }
    return m_musicDone;
}

void DrawScreen::waitForSong() {
    if (m_closed) {
        return;
    }
    if (!m_songCondition) {
        openDrawnPanel();
        return;
    }
    if (!m_waitingForSong) {
        // The effects are over: a song without a playing time, or any song of a simple draw,
        // stops at the next tick of the song timer.
        m_waitingForSong = true;
        if (m_playSeconds == 0 || simpleDraw()) {
            m_musicTicks = 0;
            m_playSeconds = 1;
        }
    }
    if (songWaitOver()) {
        m_waitingForSong = false;
        m_afterTick = nullptr;
        stopEffectTimer();
        m_services.music.CloseMusic(m_musicFile);
        m_songOpen = false;
        openDrawnPanel();
        return;
    }
    if (!m_afterTick) {
        waitTick(kSongPollMs, [this] {
            if (m_waitingForSong) {
                waitForSong();
            }
        });
    }
}

void DrawScreen::openDrawnPanel() {
    m_timerMusic->Stop();
    m_effect->hide();
    for (PanelWidget* panel : m_panels) {
        panel->show();
    }
    m_effect->Clear();
    ++m_drawCount;
    const qint16 r = m_row;
    const QString name = nameOf(r);
    const QString photo = photoPathOf(r);
    const int k = m_pools.TakePanel(m_services.random, m_drawCount, r);
    if (k >= 0 && k < PanelCount()) {
        OpenPanel(r, name, photo, k);
    }
    finishDraw();
}

void DrawScreen::OpenPanel(qint16 row, const QString& name, const QString& photoPath, int k) {
    if (k < 0 || k >= PanelCount()) {
        return;
    }
    m_panels[static_cast<size_t>(k)]->Open(row, name, m_state.Settings.GameMode == 4 ? QString() : photoPath);
}

// ---- Introduction ---------------------------------------------------------------------------

void DrawScreen::showProfileTelop(qint16 r, Step next) {
    scrollTelop(BuildTelopLine(m_state.Roster, r, m_state.Settings.Dflag), std::move(next));
}

void DrawScreen::scrollTelop(const QString& text, Step next) {
    if (IsBlank(text)) {
        next();
        return;
    }
    if (clientWidthTwips() <= 10000 && !m_telopSmall) {
        m_telopSmall = true;
        QFont font = m_telop->font();
        font.setPointSizeF(40);
        m_telop->setFont(font);
    }
    m_telop->setText(text);
    m_telop->adjustSize();
    m_telopPlan = PlanTelop(m_services.random, width(), height());
    m_telopX = width();
    m_telop->move(static_cast<int>(m_telopX), static_cast<int>(m_telopPlan.Top));
    m_telop->show();
    m_telop->raise();
    m_telopSteps = 0;
    m_afterTelop = std::move(next);
    telopMove();
}

void DrawScreen::telopMove() {
    m_telopX -= m_telopPlan.Step;
    ++m_telopSteps;
    m_telop->move(static_cast<int>(std::floor(m_telopX)), static_cast<int>(m_telopPlan.Top));
    waitTick(m_telopPlan.IntervalMs, [this] { telopAfterTick(); });
}

void DrawScreen::telopAfterTick() {
    if (m_telopX + m_telop->width() > 0 && m_telopSteps < kTelopMaxSteps) {
        telopMove();
        return;
    }
    stopEffectTimer();
    m_telop->hide();
    Step next = std::move(m_afterTelop);
    m_afterTelop = nullptr;
    next();
}

void DrawScreen::clearSurface() {
    m_surface = QImage();
    // Back to the top left, below the band of the song box so that it hides no typed text.
    m_cursor = QPointF(0, m_drawButton->height());
    update();
}

QFont DrawScreen::typedFont() const {
    QFont font = UnhintedFont(FaceName(DesignFace::PGothic), true);
    font.setPointSizeF(clientWidthTwips() <= 10000 ? 35 : 50);
    return font;
}

void DrawScreen::showProfileLines(qint16 r, Step next) {
    clearSurface();
    m_lines = BuildProfileLines(m_state.Roster, r, m_state.Settings.Dflag);
    m_lineIndex = 0;
    m_afterLines = std::move(next);
    typeNextLine();
}

void DrawScreen::typeNextLine() {
    if (m_lineIndex < m_lines.size()) {
        const ProfileLine line = m_lines[m_lineIndex++];
        const bool blank = line.BlankAfter;
        typeLine(line.Text, [this, blank] {
            if (blank) {
                m_cursor = QPointF(0, m_cursor.y() + QFontMetricsF(typedFont(), &m_surface).height());
            }
            typeNextLine();
        });
        return;
    }
    clearSurface();
    Step done = std::move(m_afterLines);
    m_afterLines = nullptr;
    done();
}

void DrawScreen::typeLine(const QString& text, Step next) {
    if (m_surface.isNull()) {
        m_surface =
            MakeCanvas(this, size(), Qt::transparent).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        m_surface.fill(Qt::transparent);
    }
    const qint32 number = m_systemBackground ? -1 : ColourNumber(m_background);
    m_typedColour = TypedTextIsWhite(number) ? QColor(Qt::white) : QColor(Qt::black);
    m_typedLog.append(text);
    m_typing = text;
    m_typingAt = 0;
    // The line's end: a new line, then a pause of a second before the next item.
    const Step endLine = [this, next = std::move(next)] {
        stopEffectTimer();
        m_cursor = QPointF(0, m_cursor.y() + QFontMetricsF(typedFont(), &m_surface).height());
        waitTick(kTypePauseMs, [this, next] {
            stopEffectTimer();
            next();
        });
    };
    m_endOfLine = endLine;
    typeNextCharacter();
}

void DrawScreen::typeNextCharacter() {
    if (m_typingAt >= m_typing.size()) {
        Step end = std::move(m_endOfLine);
        m_endOfLine = nullptr;
        end();
        return;
    }
    int length = 1;
    if (m_typing.at(m_typingAt).isHighSurrogate() && m_typingAt + 1 < m_typing.size()) {
        length = 2;
    }
    const QString c = m_typing.mid(m_typingAt, length);
    m_typingAt += length;
    const QFont font = typedFont();
    const QFontMetricsF metrics(font, &m_surface);
    if (c != QStringLiteral("\r")) {
        const double w = metrics.horizontalAdvance(c);
        if (m_cursor.x() + w > width()) {
            m_cursor = QPointF(0, m_cursor.y() + metrics.height());
        }
        QPainter painter(&m_surface);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(m_typedColour);
        PrintAt(painter, m_cursor, c);
        painter.end();
        update(QRectF(m_cursor, QSizeF(w, metrics.height())).toAlignedRect().adjusted(-4, -4, 4, 4));
        m_cursor.rx() += w;
    }
    waitTick(kTypeIntervalMs, [this] { typeNextCharacter(); });
}

// ---- Effects --------------------------------------------------------------------------------

void DrawScreen::showPhotoEffect(qint16 r, Step next) {
    if (IsBlank(m_state.Roster.Cell(RosterColumn::Photo, r)) || !DflagOn(m_state.Settings.Dflag, 9)) {
        next();
        return;
    }
    const QString path = JoinPath(m_state.Settings.Pictures, m_state.Roster.Cell(RosterColumn::Photo, r));
    m_effect->setGeometry(rect());
    m_effect->Clear();
    m_effect->show();
    m_effect->raise();
    const double pw = m_effect->width();
    const QSize source = m_photos.SourceSize(path);
    if (!source.isEmpty()) {
        const QRectF place = EffectPhotoPlacement(pw, source.width(), source.height());
        const QImage photo =
            m_photos.Scaled(path, ScaledPixelSize(place.size(), m_effect->devicePixelRatioF()));
        if (!photo.isNull()) {
            m_effect->DrawPicture(place, photo);
        }
    }
    waitTick(simpleDraw() ? 1500 : 3000, [this, next = std::move(next)] {
        stopEffectTimer();
        m_effect->hide();
        next();
    });
}

void DrawScreen::showNameEffect(qint16 r, Step next) {
    m_effect->setGeometry(rect());
    m_effect->show();
    m_effect->raise();
    m_animatedName = m_state.Roster.Cell(RosterColumn::Name, r);
    const QImage& canvas = m_effect->Canvas();
    const QString name = m_animatedName;
    m_lastAnimation =
        PlanNameAnimation(m_services.random, m_effect->width(), m_effect->height(), simpleDraw(),
                          [&canvas, &name](const QString& face, double size) {
                              return TextMeasureFor(UnhintedFont(face, false), name, &canvas)(size);
                          });
    m_frame = 0;
    m_afterName = [this, next = std::move(next)] {
        // The last, clean copy at full size, then the hold.
        const NameAnimation& plan = *m_lastAnimation;
        QFont font = UnhintedFont(plan.Face, false);
        font.setPointSizeF(plan.Last.Size);
        m_effect->Print(font, QPointF(plan.Last.X, plan.Last.Y), m_animatedName, plan.Last.Colour);
        waitTick(simpleDraw() ? 1000 : 2000, [this, next] {
            stopEffectTimer();
            next();
        });
    };
    animateNameFrame();
}

void DrawScreen::animateNameFrame() {
    const NameAnimation& plan = *m_lastAnimation;
    if (m_frame >= plan.Frames.size()) {
        stopEffectTimer();
        Step last = std::move(m_afterName);
        m_afterName = nullptr;
        last();
        return;
    }
    const NameFrame& f = plan.Frames[m_frame++];
    QFont font = UnhintedFont(plan.Face, false);
    font.setPointSizeF(std::max(0.5, f.Size));
    m_effect->Print(font, QPointF(f.X, f.Y), m_animatedName, f.Colour);
    waitTick(plan.Params.IntervalMs, [this] { animateNameFrame(); });
}

// ---- Panel action box -----------------------------------------------------------------------

void DrawScreen::Picパネル_MouseUp(int index) {
    const int mode = m_state.Settings.GameMode;
    if (!acceptsCommands() || m_drawRunning || (mode != 2 && mode != 3 && mode != 4) || index < 0 ||
        index >= PanelCount()) {
        return;
    }
    PanelWidget* panel = m_panels[static_cast<size_t>(index)];
    const QPoint centre = panel->geometry().center();
    const int modeSwitch = m_pools.MenuModeSwitch(index);
    qint16 result = 0;
    if (!runModal([this, &result, centre, modeSwitch] {
            result = KapMenuBox::X_MenuBox(m_services.dialogs, this, mapToGlobal(centre), modeSwitch);
        })) {
        return;
    }
    if (result == 1) {
        if (mode == 2 && m_pools.Candidates().Count < 1) {
            runModal([this] { m_services.dialogs.ShowMessage(DrawPools::NoMoreData()); });
            return;
        }
        const qint16 r = m_pools.OpenByHand(m_services.random, index);
        OpenPanel(r, nameOf(r), photoPathOf(r), index);
    } else if (result == 2) {
        bool ok = false;
        const qint16 r = panel->Tag().toShort(&ok);
        if (ok && m_pools.CloseByHand(m_state.Roster, index, r)) {
            panel->Close();
        }
    }
}
