#pragma once

#include "core/draw/drawview.h"
#include "core/draw/photocache.h"
#include "ui/draw/screenboxes.h"
#include "ui/draw/typedsurface.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class CardChecker;
class DrawRecordKeeper;
class DrawSequence;
class FrameLog;
class EffectArea;
class PanelWidget;
class PhoneClaims;
class PhoneJoin;
class QLabel;
class QLineEdit;
class QPushButton;
class QScreen;
class Timer;
struct ProgramState;
struct Services;

// The draw screen (`frm抽選`): the panel grid under the draw button, the song box, the scrolling
// line, the typed lines and the full-screen effect area. It lays out, paints and takes input;
// the draw itself is the DrawSequence it owns, which tells it what to show.
//
// Its own timer (`Timer1`) lays the grid out when the size changes, enables the draw button and,
// when the roster holds nobody, closes the screen. The screen's modal boxes run event loops in
// which the screen may be closed: it then neither closes itself nor starts anything while one is
// open, and stops at once when it was destroyed under one.
class DrawScreen : public QWidget, private DrawView, private ScreenBoxes {
    Q_OBJECT
public:
    DrawScreen(ProgramState& state, Services& services, QWidget* parent = nullptr);
    ~DrawScreen() override;

    const DrawSequence& Sequence() const { return *m_sequence; }

    // Positions and shows the panels for the current client size.
    void LayoutPanelGrid();

    // The draw button (`cmd抽選開始`) and a right-button release on panel k.
    void cmd抽選開始_Click();
    void Picパネル_MouseUp(int index);

    // Full screen on a screen of the organiser's choice (the projector), without frame or menu;
    // the child window that held the screen keeps its place in the main window meanwhile.
    // F11 switches; F11 or Esc returns. The screen the projector is on when none is given: any
    // other than the main window's.
    bool IsFullScreen() const { return m_standIn != nullptr; }
    void ShowFullScreen(QScreen* on = nullptr);
    void ShowInWindow();
    static QScreen* ProjectorScreen(const QWidget* mainWindow);

    // Beyond the design, from the screen's own right-click menu and keys: who was drawn (H), a
    // card checked by its number (C), guests following their cards on their phones (P), and the
    // card of the oldest bingo called from a phone checked (K).
    void ShowHistory();
    void CheckCard();
    void CheckCard(int number);
    void JoinByPhone();
    void CheckClaimedCard();
    // The keys of the screen, for the organiser (F1).
    void ShowKeys();
    const PhoneJoin* Phones() const { return m_phones.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void LeaveFocus();
    void Timer1_Timer();
    void CheckParticipants();
    void Cmd背景色_Click();
    void ApplyBackground(const QString& text);

    // ScreenBoxes
    bool RunModal(const std::function<void()>& show) override;
    bool AcceptsCommands() const override;
    QWidget* BoxParent() override { return this; }
    QFont TypedFont() const;
    double ClientWidthTwips() const;
    QSize EffectBox() const;
    void PaintEffectPhoto(const QString& path);

    // DrawView
    QSizeF ScreenSize() const override;
    QColor BackgroundColour() const override { return m_background; }
    bool ShowMessage(const QString& text) override;
    void ShowButtons(bool shown) override;
    void ShowPlayInfo(const QString& text) override;
    void ShowGrid(bool shown) override;
    void OpenPanel(int k, qint16 row, const QString& name, const QString& photoPath) override;
    void ClosePanel(int k) override;
    double ShowTelop(const QString& text, double x, double top, const QColor& colour) override;
    void MoveTelop(double x, double top) override;
    void HideTelop() override;
    void ClearSurface() override;
    void TypeCharacter(const QString& character, const QColor& colour) override;
    void EndTypedLine() override;
    void PreparePhoto(const QString& path, bool onPanel) override;
    void ShowPhoto(const QString& path) override;
    void ShowEffects() override;
    void HideEffects() override;
    void ClearEffects() override;
    TextSize MeasureName(const QString& face, double pointSize, const QString& name) override;
    void PrintName(const QString& face, const NameFrame& frame, const QString& name) override;
    void FrameDue(qint64 dueUs) override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    ProgramState& m_state;
    Services& m_services;
    PhotoCache m_photos;
    std::unique_ptr<DrawSequence> m_sequence;
    std::unique_ptr<PhoneJoin> m_phones;        // listens to the sequence: goes before it
    std::unique_ptr<DrawRecordKeeper> m_record; // listens to the sequence too
    std::unique_ptr<CardChecker> m_cardChecker;
    std::unique_ptr<PhoneClaims> m_claims;

    QLineEdit* m_playInfo = nullptr;
    QPushButton* m_drawButton = nullptr;
    QPushButton* m_backButton = nullptr;
    EffectArea* m_effect = nullptr;
    QLabel* m_telop = nullptr;
    std::vector<PanelWidget*> m_panels;
    std::unique_ptr<Timer> m_timer1;
    std::unique_ptr<Timer> m_openingTimer;

    QSize m_lastLayoutSize;
    bool m_closeRequested = false; // nobody to draw: the screen closes at the next tick
    bool m_closed = false;
    int m_modalDepth = 0; // modal boxes of this screen now open
    QColor m_background;
    bool m_telopSmall = false;   // the scrolling line, once made smaller, stays so
    QString m_effectPhoto;       // the photo the effect area shows, or waits for
    QPointer<QWidget> m_standIn; // holds the child window's place while the screen is full screen

    TypedSurface m_typed;
    std::unique_ptr<FrameLog> m_frameLog;
    bool m_framePainted = false; // a part of the draw painted during the window's update
};
