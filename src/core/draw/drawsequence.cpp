#include "core/draw/drawsequence.h"

#include "core/common/blank.h"
#include "core/common/numeric.h"
#include "core/common/platform.h"
#include "core/common/timing.h"
#include "core/draw/drawview.h"
#include "core/draw/panelgrid.h"
#include "core/draw/profile.h"
#include "core/media/musicplayer.h"
#include "core/programstate.h"

namespace {

constexpr int kSongTimerMs = 1000;   // the song timer counts whole seconds
constexpr int kSongPollMs = 100;     // how often the song wait looks at the song
constexpr int kTypeIntervalMs = 180; // one typed character
constexpr int kTypePauseMs = 1000;   // after each typed item
constexpr int kPhotoMs = 3000;       // the full-screen photo (a simple draw: half)
constexpr int kPhotoSimpleMs = 1500;
constexpr int kNameHoldMs = 2000; // the name at its full size after the animation
constexpr int kNameHoldSimpleMs = 1000;

} // namespace

// Waits for the next tick of the effect timer, armed at the interval. The timer keeps running
// from tick to tick while the waits ask for the same interval, as the pacing always has.
struct DrawSequence::Tick {
    DrawSequence& sequence;
    int intervalMs;
    bool frame;

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> draw) {
        sequence.m_waiting = draw;
        sequence.m_waitingForFrame = frame;
        Timer& timer = *sequence.m_effectTimer;
        if (!timer.IsActive() || timer.Interval() != intervalMs) {
            timer.SetInterval(intervalMs);
            timer.Start();
            sequence.m_nextDueUs = sequence.m_clock.NowUs() + intervalMs * 1000LL;
        }
    }
    void await_resume() const noexcept {}
};

DrawSequence::DrawSequence(ProgramState& state, DrawView& view, Clock& clock, MusicPlayer& music,
                           FractionSource& random)
    : m_state(state), m_view(view), m_clock(clock), m_music(music), m_random(random),
      m_timerMusic(clock.CreateTimer()), m_effectTimer(clock.CreateTimer()),
      m_cols(EffectiveGrid(state.Settings.Cols, state.Settings.Rows).Cols),
      m_rows(EffectiveGrid(state.Settings.Cols, state.Settings.Rows).Rows),
      m_mode(GameModeOf(state.Settings.GameMode)), m_pools(state.Roster, m_mode, m_cols * m_rows),
      m_panelRows(static_cast<size_t>(m_cols * m_rows), 0) {
    // A grid of 0 columns or rows is 5: the settings in memory say so too, the file does not.
    SettingsRecord& settings = m_state.Settings;
    if (settings.Cols < 1) {
        settings.Cols = 5;
    }
    if (settings.Rows < 1) {
        settings.Rows = 5;
    }
    m_state.DrawInProgress = false;
    m_timerMusic->SetCallback([this] { TimerMusicTick(); });
    m_effectTimer->SetCallback([this] { EffectTimerTick(); });
}

DrawSequence::~DrawSequence() {
    Stop();
}

qint16 DrawSequence::PanelRow(int k) const {
    return k >= 0 && k < PanelCount() ? m_panelRows[static_cast<size_t>(k)] : 0;
}

bool DrawSequence::SimpleDraw() const {
    return m_state.DrawKind == DrawKind::Simple;
}

QColor DrawSequence::TextColour() const {
    // The scrolling line and the typed lines alike: white on a dark background, black on a light.
    return TextIsWhiteOn(m_view.BackgroundColour()) ? QColor(Qt::white) : QColor(Qt::black);
}

QString DrawSequence::NameOf(qint16 r) const {
    return r >= 1 && r <= RosterTable::kCapacity ? m_state.Roster.Cell(RosterColumn::Name, r) : QString();
}

QString DrawSequence::PhotoPathOf(qint16 r) const {
    if (r < 1 || r > RosterTable::kCapacity || !DflagOn(m_state.Settings.Dflag, IntroItem::Photo)) {
        return {};
    }
    const QString photo = m_state.Roster.Cell(RosterColumn::Photo, r);
    return photo.isEmpty() ? QString() : JoinPath(m_state.Settings.Pictures, photo);
}

// ---- The draw -------------------------------------------------------------------------------

void DrawSequence::Press() {
    if (m_stopped || m_running) {
        return;
    }
    m_state.DrawInProgress = true;
    m_view.ShowButtons(false);
    if (const QString refusal = m_pools.Refusal(m_drawCount); !refusal.isEmpty()) {
        if (m_view.ShowMessage(refusal)) {
            m_view.ShowButtons(true);
        }
        return;
    }
    if (!m_mode) {
        m_view.ShowButtons(true); // a game mode of no meaning draws nobody
        return;
    }
    m_view.ShowPlayInfo(QString());
    m_musicFile.clear();
    m_musicTicks = 0;
    m_musicDone = false;
    m_songCondition = false;
    m_waitingForSong = false;
    // Modes 3 and 4 drop the rows without a panel that they draw on the way.
    const qint16 r = m_pools.TakeRow(m_random);
    if (r == 0) {
        if (m_view.ShowMessage(DrawPools::NoMoreData())) {
            m_view.ShowButtons(true);
        }
        return;
    }
    // The photo is decoded while the song starts and the introduction runs.
    if (const QString photo = PhotoPathOf(r); !photo.isEmpty()) {
        m_view.PreparePhoto(photo, m_mode != GameMode::OwnPanelNoPhoto);
    }
    m_running = true;
    m_draw = RunDraw(r);
    m_draw.Start();
}

Sequence DrawSequence::RunDraw(qint16 r) {
    m_timerMusic->Stop();
    StartSong(r);
    m_view.ShowGrid(false);
    if (!SimpleDraw()) {
        co_await ShowProfileTelop(r);
        co_await ShowProfileLines(r);
    }
    std::optional<PlannedName> name;
    co_await ShowPhotoEffect(r, name);
    co_await ShowNameEffect(r, std::move(name));
    co_await WaitForSong();
    OpenDrawnPanel(r);
    Finish();
}

void DrawSequence::Finish() {
    m_running = false;
    m_view.ShowButtons(true);
}

void DrawSequence::Stop() {
    m_stopped = true;
    m_running = false;
    m_waitingForSong = false;
    m_timerMusic->Stop();
    m_effectTimer->Stop();
    m_waiting = nullptr;
    m_draw.Reset();
    if (m_songOpen) {
        m_songOpen = false;
        m_music.CloseMusic(m_musicFile);
    }
}

// ---- Pacing ---------------------------------------------------------------------------------

DrawSequence::Tick DrawSequence::WaitTick(int intervalMs, bool frame) {
    return Tick{*this, intervalMs, frame};
}

void DrawSequence::EffectTimerTick() {
    if (!m_waiting) {
        StopEffectTimer();
        return;
    }
    // The tick was due one interval after the last (the timer repeats without drifting). A tick
    // held up past the next one's time makes the timer skip, and it keeps its pace from this tick
    // on, as Qt's timers do: the frames after a hold-up are not late by the time lost.
    const qint64 due = m_nextDueUs;
    const qint64 interval = m_effectTimer->Interval() * 1000LL;
    const qint64 now = m_clock.NowUs();
    m_nextDueUs = due + interval >= now ? due + interval : now + interval;
    const bool frame = m_waitingForFrame;
    if (frame) {
        m_view.FrameDue(due);
    }
    std::exchange(m_waiting, nullptr).resume();
    if (frame && !m_stopped) {
        m_view.PresentFrame();
    }
    // A step that waits for no further tick leaves the timer off, as every effect does.
    if (!m_waiting && !m_stopped) {
        StopEffectTimer();
    }
}

void DrawSequence::StopEffectTimer() {
    m_effectTimer->Stop();
}

// ---- The song -------------------------------------------------------------------------------

void DrawSequence::StartSong(qint16 r) {
    const QString song = TrimSpaces(m_state.Roster.Cell(RosterColumn::Song, r));
    m_songCondition = !song.isEmpty() && DflagOn(m_state.Settings.Dflag, IntroItem::Song);
    if (!m_songCondition) {
        return;
    }
    m_musicDone = false;
    m_musicFile = JoinPath(m_state.Settings.Musics, song);
    qint32 start = 0;
    if (!ToInt32(NumericValue(m_state.Roster.Cell(RosterColumn::SongStart, r)), start)) {
        start = 0;
    }
    m_music.PlayMusic(m_musicFile, start);
    m_songOpen = true;
    if (!ToInt32(NumericValue(m_state.Roster.Cell(RosterColumn::SongSeconds, r)), m_playSeconds)) {
        m_playSeconds = 0;
    }
    m_timerMusic->SetInterval(kSongTimerMs);
    m_timerMusic->Start();
}

void DrawSequence::TimerMusicTick() {
    if (!IsBlank(m_musicFile)) {
        const qint32 position = m_music.MusicPosition(m_musicFile);
        const qint32 length = m_music.MusicLength(m_musicFile);
        // A song still being opened reads -1 for its length; it is shown as 0.
        m_view.ShowPlayInfo(QStringLiteral("%1/%2").arg(position).arg(qMax(0, length)));
        if (m_playSeconds == 0) {
            if (length == position) {
                m_musicDone = true;
            }
        } else if (++m_musicTicks >= m_playSeconds) {
            m_musicDone = true;
        }
    } else if (++m_musicTicks >= m_playSeconds) {
        m_musicDone = true;
    }
    // The song wait looks again at once, not only at its next poll.
    if (m_waitingForSong && m_waiting) {
        std::exchange(m_waiting, nullptr).resume();
    }
}

bool DrawSequence::SongWaitOver() {
    if (m_mode == GameMode::PanelsInOrder) {
        if (SimpleDraw()) {
            m_playSeconds = 1;
        }
        return m_musicDone || m_music.MusicLength(m_musicFile) == m_music.MusicPosition(m_musicFile);
    }
    return m_musicDone;
}

Sequence DrawSequence::WaitForSong() {
    if (!m_songCondition) {
        co_return;
    }
    // The effects are over: a song without a playing time, or any song of a simple draw, stops
    // at the next tick of the song timer.
    m_waitingForSong = true;
    if (m_playSeconds == 0 || SimpleDraw()) {
        m_musicTicks = 0;
        m_playSeconds = 1;
    }
    while (!SongWaitOver()) {
        co_await WaitTick(kSongPollMs, /*frame=*/false);
    }
    m_waitingForSong = false;
    StopEffectTimer();
    m_music.CloseMusic(m_musicFile);
    m_songOpen = false;
}

// ---- The introduction -----------------------------------------------------------------------

Sequence DrawSequence::ShowProfileTelop(qint16 r) {
    const QString line = BuildTelopLine(m_state.Roster, r, m_state.Settings.Dflag);
    if (IsBlank(line)) {
        co_return;
    }
    const QSizeF screen = m_view.ScreenSize();
    const TelopPlan plan = PlanTelop(m_random, screen.width(), screen.height());
    double x = screen.width();
    const double width = m_view.ShowTelop(line, x, plan.Top, TextColour());
    for (int steps = 1;; ++steps) {
        x -= plan.Step;
        m_view.MoveTelop(x, plan.Top);
        co_await WaitTick(plan.IntervalMs);
        if (x + width <= 0 || steps >= kTelopMaxSteps) {
            break;
        }
    }
    StopEffectTimer();
    m_view.HideTelop();
}

Sequence DrawSequence::ShowProfileLines(qint16 r) {
    m_view.ClearSurface();
    for (const ProfileLine& line : BuildProfileLines(m_state.Roster, r, m_state.Settings.Dflag)) {
        co_await TypeLine(line.Text);
        if (line.BlankAfter) {
            m_view.EndTypedLine();
        }
    }
    m_view.ClearSurface();
}

Sequence DrawSequence::TypeLine(QString text) {
    const QColor colour = TextColour();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        i += length;
        if (character != QStringLiteral("\r")) {
            m_view.TypeCharacter(character, colour);
        }
        co_await WaitTick(kTypeIntervalMs);
    }
    m_view.EndTypedLine();
    StopEffectTimer();
    co_await WaitTick(kTypePauseMs);
    StopEffectTimer();
}

// ---- The effects ----------------------------------------------------------------------------

Sequence DrawSequence::ShowPhotoEffect(qint16 r, std::optional<PlannedName>& name) {
    const QString photo = m_state.Roster.Cell(RosterColumn::Photo, r);
    if (IsBlank(photo) || !DflagOn(m_state.Settings.Dflag, IntroItem::Photo)) {
        co_return;
    }
    m_view.ShowPhoto(JoinPath(m_state.Settings.Pictures, photo));
    // The photo goes on screen now; measuring the name for its animation (a font at each size
    // tried) then takes the photo's time, not the first frame of the name's.
    m_view.PresentFrame();
    name = PlanName(r);
    co_await WaitTick(SimpleDraw() ? kPhotoSimpleMs : kPhotoMs);
    StopEffectTimer();
    m_view.HideEffects();
}

DrawSequence::PlannedName DrawSequence::PlanName(qint16 r) {
    const QString name = m_state.Roster.Cell(RosterColumn::Name, r);
    const QSizeF screen = m_view.ScreenSize();
    return {screen, PlanNameAnimation(m_random, screen.width(), screen.height(), SimpleDraw(),
                                      [this, &name](const QString& face, double size) {
                                          return m_view.MeasureName(face, size, name);
                                      })};
}

Sequence DrawSequence::ShowNameEffect(qint16 r, std::optional<PlannedName> planned) {
    m_view.ShowEffects();
    const QString name = m_state.Roster.Cell(RosterColumn::Name, r);
    // Planned while the photo was shown, unless the screen changed its size meanwhile (F11).
    if (!planned || planned->Screen != m_view.ScreenSize()) {
        planned = PlanName(r);
    }
    const NameAnimation& plan = planned->Plan;
    for (const NameFrame& frame : plan.Frames) {
        m_view.PrintName(plan.Face, frame, name);
        co_await WaitTick(plan.Params.IntervalMs);
    }
    StopEffectTimer();
    // The last, clean copy at full size, then the hold.
    m_view.PrintName(plan.Face, plan.Last, name);
    // What follows the hold (the song's end, the grid) is no frame of the effects.
    co_await WaitTick(SimpleDraw() ? kNameHoldSimpleMs : kNameHoldMs, /*frame=*/false);
    StopEffectTimer();
}

// ---- The panels -----------------------------------------------------------------------------

void DrawSequence::OpenDrawnPanel(qint16 r) {
    m_timerMusic->Stop();
    m_view.HideEffects();
    m_view.ShowGrid(true);
    m_view.ClearEffects();
    ++m_drawCount;
    const int k = m_pools.TakePanel(m_random, m_drawCount, r);
    if (k >= 0 && k < PanelCount()) {
        OpenPanel(r, k, /*byHand=*/false);
    }
}

void DrawSequence::MarkOpened(int k, qint16 row) {
    std::erase_if(m_opened, [k](const auto& open) { return open.first == k; });
    m_opened.emplace_back(k, row);
    m_panelRows[static_cast<size_t>(k)] = row;
}

void DrawSequence::OpenPanel(qint16 row, int k, bool byHand) {
    MarkOpened(k, row);
    const QString photo = m_mode == GameMode::OwnPanelNoPhoto ? QString() : PhotoPathOf(row);
    m_view.OpenPanel(k, row, NameOf(row), photo);
    for (DrawListener* listener : m_listeners) {
        listener->PanelOpened(row, k, byHand);
    }
}

void DrawSequence::Resume(const std::vector<std::pair<int, qint16>>& panels, int drawCount) {
    for (const auto& [k, row] : panels) {
        if (k < 0 || k >= PanelCount() || row < 1) {
            continue;
        }
        m_pools.TakeOut(row, k);
        MarkOpened(k, row);
        const QString photo = m_mode == GameMode::OwnPanelNoPhoto ? QString() : PhotoPathOf(row);
        m_view.OpenPanel(k, row, NameOf(row), photo);
    }
    m_drawCount = drawCount;
    m_state.DrawInProgress = true;
}

std::optional<int> DrawSequence::PanelBoxSwitch(int k) const {
    const bool handMode = m_mode && m_mode != GameMode::PanelsInOrder;
    if (m_stopped || m_running || !handMode || k < 0 || k >= PanelCount()) {
        return std::nullopt;
    }
    return m_pools.MenuModeSwitch(k);
}

bool DrawSequence::OpenPanelByHand(int k) {
    if (!PanelBoxSwitch(k)) {
        return true;
    }
    if (m_mode == GameMode::RandomPanel && m_pools.Candidates().Count < 1) {
        return m_view.ShowMessage(DrawPools::NoMoreData());
    }
    OpenPanel(m_pools.OpenByHand(m_random, k), k, /*byHand=*/true);
    return true;
}

void DrawSequence::ClosePanelByHand(int k) {
    if (!PanelBoxSwitch(k)) {
        return;
    }
    const qint16 row = PanelRow(k);
    if (m_pools.CloseByHand(m_state.Roster, k, row)) {
        m_panelRows[static_cast<size_t>(k)] = 0;
        std::erase_if(m_opened, [k](const auto& open) { return open.first == k; });
        m_view.ClosePanel(k);
        for (DrawListener* listener : m_listeners) {
            listener->PanelClosed(row, k);
        }
    }
}
