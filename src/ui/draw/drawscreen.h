#pragma once

#include "core/draw/drawpools.h"
#include "core/draw/effects.h"
#include "core/draw/photocache.h"
#include "core/draw/profile.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class EffectArea;
class PanelWidget;
class QLabel;
class QLineEdit;
class QPushButton;
class Timer;
struct ProgramState;
struct Services;

// The draw screen (`frm抽選`): a grid of panels under the draw button. One press of the draw
// button draws a participant, plays their song, introduces them (normal draw), shows their photo
// and their animated name on the whole screen, waits for the song and opens their panel.
//
// The draw is a sequence of steps driven by the screen's timers: every wait arms the pacing
// timer (`Tm効果用`) or waits for the song timer (`TimerMusic`) and returns to the event loop;
// the next step runs from the timer's callback. The draw kind is read afresh at each step that
// depends on it. Closing the screen stops every timer and the song, and no step runs afterwards.
class DrawScreen : public QWidget {
    Q_OBJECT
public:
    DrawScreen(ProgramState& state, Services& services, QWidget* parent = nullptr);
    ~DrawScreen() override;

    // Opens a panel: white, the name in black, the photo (empty path: none; never in game mode
    // 4) in the top three quarters; its tag becomes the row.
    void OpenPanel(qint16 row, const QString& name, const QString& photoPath, int k);
    // Positions and shows the panels for the current client size.
    void LayoutPanelGrid();

    // What tests and the look-through inspect.
    int PanelCount() const { return static_cast<int>(m_panels.size()); }
    PanelWidget* Panel(int k) const { return m_panels.at(static_cast<size_t>(k)); }
    const DrawPools& Pools() const { return m_pools; }
    int DrawCount() const { return m_drawCount; }
    bool IsDrawRunning() const { return m_drawRunning; }
    bool IsWaitingForSong() const { return m_waitingForSong; }
    bool CloseRequested() const { return m_closeRequested; }
    const QStringList& TypedLines() const { return m_typedLog; }
    QColor LastTypedColour() const { return m_typedColour; }
    const std::optional<NameAnimation>& LastNameAnimation() const { return m_lastAnimation; }
    const PhotoCache& Photos() const { return m_photos; }
    // The screen's own surface with the typed lines.
    const QImage& Surface() const { return m_surface; }

    // The draw button (`cmd抽選開始`) and a right-button release on panel k.
    void cmd抽選開始_Click();
    void Picパネル_MouseUp(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    using Step = std::function<void()>;

    void buildControls();
    void formLoad();
    void buildPanelGrid();
    void checkParticipants();
    void timer1Tick();
    void timerMusicTick();
    void effectTimerTick();
    void backColourClicked();
    void applyBackground(const QString& text);

    // Shows one of the screen's modal boxes through show. In the program a modal box runs an
    // event loop of its own in which the screen's timers keep firing; while one is open the
    // screen neither closes itself nor starts a draw, a panel box or a colour choice. Gives
    // false when the screen was closed or destroyed meanwhile: the caller must stop at once.
    bool runModal(const std::function<void()>& show);
    // A draw, a panel box or a colour choice may start (no modal box open, not closing).
    bool acceptsCommands() const;

    // Pacing: run next after one tick of the effect timer at the interval.
    void waitTick(int intervalMs, Step next);
    void stopEffectTimer();
    bool simpleDraw() const;

    // The draw.
    void startDraw();
    void finishDraw();
    void showProfileTelop(qint16 r, Step next);
    void scrollTelop(const QString& text, Step next);
    void telopMove();
    void telopAfterTick();
    void showProfileLines(qint16 r, Step next);
    void typeNextLine();
    void typeLine(const QString& text, Step next);
    void typeNextCharacter();
    void showPhotoEffect(qint16 r, Step next);
    void showNameEffect(qint16 r, Step next);
    void animateNameFrame();
    void waitForSong();
    bool songWaitOver();
    void openDrawnPanel();
    void stopSequence();

    QString photoPathOf(qint16 r) const;
    QString nameOf(qint16 r) const;
    void clearSurface();
    void growSurface();
    QFont typedFont() const;
    double clientWidthTwips() const;

    ProgramState& m_state;
    Services& m_services;

    QLineEdit* m_playInfo = nullptr;
    QPushButton* m_drawButton = nullptr;
    QPushButton* m_backButton = nullptr;
    EffectArea* m_effect = nullptr;
    QLabel* m_telop = nullptr;
    std::vector<PanelWidget*> m_panels;
    std::unique_ptr<Timer> m_timer1;
    std::unique_ptr<Timer> m_timerMusic;
    std::unique_ptr<Timer> m_effectTimer;
    std::unique_ptr<Timer> m_openingTimer;

    int m_cols = 5;
    int m_rows = 5;
    DrawPools m_pools;
    QSize m_lastLayoutSize;
    bool m_closeRequested = false;
    int m_modalDepth = 0; // modal boxes of this screen now open
    int m_drawCount = 0;
    QColor m_background;
    bool m_systemBackground = true;
    PhotoCache m_photos;

    // The current song.
    QString m_musicFile;
    bool m_songOpen = false;
    qint32 m_playSeconds = 0;
    qint32 m_musicTicks = 0;
    bool m_musicDone = false;

    // The running draw.
    bool m_closed = false;
    bool m_drawRunning = false;
    bool m_songCondition = false;
    bool m_waitingForSong = false;
    qint16 m_row = 0;
    int m_effectTick = 0;
    Step m_afterTick;

    // Scrolling line.
    TelopPlan m_telopPlan;
    double m_telopX = 0;
    int m_telopSteps = 0;
    bool m_telopSmall = false;
    Step m_afterTelop;

    // Typed lines.
    QImage m_surface;
    QPointF m_cursor;
    std::vector<ProfileLine> m_lines;
    size_t m_lineIndex = 0;
    QString m_typing;
    int m_typingAt = 0;
    Step m_afterLines;
    Step m_endOfLine;
    QStringList m_typedLog;
    QColor m_typedColour;

    // Animated name.
    std::optional<NameAnimation> m_lastAnimation;
    QString m_animatedName;
    size_t m_frame = 0;
    Step m_afterName;
};
