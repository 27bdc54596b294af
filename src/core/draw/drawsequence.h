#pragma once

#include "core/common/sequence.h"
#include "core/draw/drawlistener.h"
#include "core/draw/drawpools.h"
#include "core/draw/effects.h"

#include <QSizeF>
#include <QString>
#include <coroutine>
#include <memory>
#include <optional>
#include <vector>

class Clock;
class DrawView;
class FractionSource;
class MusicPlayer;
class Timer;
struct ProgramState;

// The draw of the draw screen, from the press of its button to the panel it opens: the pools,
// the drawn participant, their song and its timing, the introduction, the photo and the animated
// name, the panels and what a right click does to them. The screen shows what it is told
// (DrawView) and passes on the user's commands; everything else happens here.
//
// One draw is one coroutine (RunDraw), which reads top to bottom as the draw happens; every wait
// arms the effect timer of the Clock seam and returns to the event loop, and the timer's tick
// resumes it. Stop (the screen closing) stops every timer, closes the song and destroys the
// coroutine wherever it waits: nothing of the draw runs afterwards.
class DrawSequence {
public:
    DrawSequence(ProgramState& state, DrawView& view, Clock& clock, MusicPlayer& music,
                 FractionSource& random);
    ~DrawSequence();
    DrawSequence(const DrawSequence&) = delete;
    DrawSequence& operator=(const DrawSequence&) = delete;

    int Columns() const { return m_cols; }
    int Rows() const { return m_rows; }
    int PanelCount() const { return m_cols * m_rows; }
    const DrawPools& Pools() const { return m_pools; }
    // Draws made with the button since the screen opened.
    int DrawCount() const { return m_drawCount; }
    bool IsRunning() const { return m_running; }
    // The registration row a panel shows; 0 while it is closed.
    qint16 PanelRow(int k) const;
    // The open panels as (panel, row), in the order they opened (the latest last).
    const std::vector<std::pair<int, qint16>>& OpenedPanels() const { return m_opened; }

    // The draw button: one draw, or the message that refuses it. The draw runs on from here on
    // the clock; the buttons come back when it is over.
    void Press();

    // A right click on panel k: the box's mode switch (0: offer opening, 1: offer closing), or
    // none when the box is not offered (game mode 1, a draw running, no such panel).
    std::optional<int> PanelBoxSwitch(int k) const;
    // The box's answers. Opening returns false when the screen went away under its message.
    bool OpenPanelByHand(int k);
    void ClosePanelByHand(int k);

    // Stops everything at once; the draw cannot go on afterwards.
    void Stop();

    // Tells a listener what happens to the panels from now on.
    void AddListener(DrawListener* listener) { m_listeners.push_back(listener); }
    void RemoveListener(DrawListener* listener) { std::erase(m_listeners, listener); }
    // Goes on with a game left off: its panels open again as they were and their participants
    // leave the pools, as if just drawn; draws count on from drawCount.
    void Resume(const std::vector<std::pair<int, qint16>>& panels, int drawCount);

private:
    struct Tick; // waits for one tick of the effect timer
    friend struct Tick;

    Sequence RunDraw(qint16 r);
    Sequence ShowProfileTelop(qint16 r);
    Sequence ShowProfileLines(qint16 r);
    Sequence TypeLine(QString text);
    // The name's animation, planned for a screen size.
    struct PlannedName {
        QSizeF Screen;
        NameAnimation Plan;
    };
    // The photo; while it is held, the name's animation is planned (into name).
    Sequence ShowPhotoEffect(qint16 r, std::optional<PlannedName>& name);
    Sequence ShowNameEffect(qint16 r, std::optional<PlannedName> name);
    PlannedName PlanName(qint16 r);
    Sequence WaitForSong();

    // Waits one tick of the effect timer; a frame is a tick after which the screen shows
    // something new (every tick but the song wait's).
    Tick WaitTick(int intervalMs, bool frame = true);
    void EffectTimerTick();
    void StopEffectTimer();
    void StartSong(qint16 r);
    void TimerMusicTick();
    bool SongWaitOver();
    void OpenDrawnPanel(qint16 r);
    void OpenPanel(qint16 row, int k, bool byHand);
    void MarkOpened(int k, qint16 row);
    void Finish();
    bool SimpleDraw() const;
    QColor TextColour() const;
    QString NameOf(qint16 r) const;
    QString PhotoPathOf(qint16 r) const;

    ProgramState& m_state;
    DrawView& m_view;
    Clock& m_clock;
    MusicPlayer& m_music;
    FractionSource& m_random;
    std::unique_ptr<Timer> m_timerMusic;
    std::unique_ptr<Timer> m_effectTimer;

    int m_cols = 5;
    int m_rows = 5;
    std::optional<GameMode> m_mode;
    DrawPools m_pools;
    std::vector<qint16> m_panelRows;              // the panels' tags
    std::vector<std::pair<int, qint16>> m_opened; // (panel, row) of the open panels, in the order they opened
    std::vector<DrawListener*> m_listeners;
    int m_drawCount = 0;

    Sequence m_draw;
    std::coroutine_handle<> m_waiting; // the draw, suspended until the next effect tick
    bool m_waitingForFrame = false;
    qint64 m_nextDueUs = 0; // when the effect timer's next tick falls due
    bool m_running = false;
    bool m_stopped = false;

    // The current song.
    QString m_musicFile;
    bool m_songCondition = false;
    bool m_songOpen = false;
    qint32 m_playSeconds = 0;
    qint32 m_musicTicks = 0;
    bool m_musicDone = false;
    bool m_waitingForSong = false;
};
