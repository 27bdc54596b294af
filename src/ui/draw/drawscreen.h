#pragma once

#include "core/draw/drawview.h"
#include "core/draw/photocache.h"
#include "ui/draw/cardchecker.h"
#include "ui/draw/drawrecordkeeper.h"
#include "ui/draw/effectstage.h"
#include "ui/draw/fullscreenswitch.h"
#include "ui/draw/phoneclaims.h"
#include "ui/draw/screenboxes.h"
#include "ui/draw/typedsurface.h"

#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class DrawSequence;
class PanelWidget;
class StandingBoard;
class PhoneJoin;
class QLabel;
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
    // Another listener to the draw (the draw bench times Space to panel with one).
    void AddDrawListener(DrawListener& listener);

    // Positions and shows the panels for the current client size.
    void LayoutPanelGrid();

    // The draw button (`cmd抽選開始`) and a right-button release on panel k.
    void cmd抽選開始_Click();
    void Picパネル_MouseUp(int index);

    // Full screen on a screen of the organiser's choice (the projector), without frame or menu;
    // the child window that held the screen keeps its place in the main window meanwhile.
    // F11 switches; F11 or Esc returns. The screen the projector is on when none is given: any
    // other than the main window's.
    bool IsFullScreen() const { return m_fullScreen.IsOn(); }
    void ShowFullScreen(QScreen* on = nullptr);
    void ShowInWindow();
    static QScreen* ProjectorScreen(const QWidget* mainWindow) {
        return FullScreenSwitch::ProjectorScreen(mainWindow);
    }

    // Beyond the design, from the screen's own right-click menu and keys: who was drawn (H), a
    // card checked by its number (C), guests following their cards on their phones (P), and the
    // card of the oldest bingo called from a phone checked (K).
    void ShowHistory() { m_record->ShowHistory(); }
    void CheckCard() { m_cardChecker->Ask(); }
    void CheckCard(int number) { m_cardChecker->Check(number); }
    void JoinByPhone();
    void CheckClaimedCard() {
        if (AcceptsCommands()) {
            m_claims->CheckOldest();
        }
    }
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
    // A command of the screen's own, by key and in its menu (no caption: not in the menu now).
    struct Command {
        int Key;
        QString Caption;
        std::function<void()> Run;
    };
    std::vector<Command> Commands();
    void BuildControls();
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

    // DrawView
    QSizeF ScreenSize() const override { return QSizeF(size()); }
    QColor BackgroundColour() const override { return m_background; }
    bool ShowMessage(const QString& text) override;
    void ShowButtons(bool shown) override;
    void ShowPlayInfo(const QString& text) override { m_playInfo->setText(text); }
    void ShowGrid(bool shown) override;
    void OpenPanel(int k, qint16 row, const QString& name, const QString& photoPath) override;
    void ClosePanel(int k) override;
    double ShowTelop(const QString& text, double x, double top, const QColor& colour) override {
        return m_stage->ShowTelop(text, x, top, colour);
    }
    void MoveTelop(double x, double top) override { m_stage->MoveTelop(x, top); }
    void HideTelop() override { m_stage->HideTelop(); }
    void ClearSurface() override;
    void TypeCharacter(const QString& character, const QColor& colour) override;
    void EndTypedLine() override;
    void PreparePhoto(const QString& path, bool onPanel) override;
    // The scrolling line, the photo and the name are the stage's.
    void ShowPhoto(const QString& path) override { m_stage->ShowPhoto(path); }
    void ShowEffects() override { m_stage->ShowEffects(); }
    void HideEffects() override { m_stage->HideEffects(); }
    void ClearEffects() override { m_stage->ClearEffects(); }
    TextSize MeasureName(const QString& face, double pointSize, const QString& name) override {
        return m_stage->MeasureName(face, pointSize, name);
    }
    void PrintName(const QString& face, const NameFrame& frame, const QString& name) override {
        m_stage->PrintName(face, frame, name);
    }
    void FrameDue(qint64 dueUs) override { m_stage->FrameDue(dueUs); }
    void PresentFrame() override { m_stage->Present(); }

    ProgramState& m_state;
    Services& m_services;
    PhotoCache m_photos;
    std::unique_ptr<DrawSequence> m_sequence;
    std::unique_ptr<PhoneJoin> m_phones;        // listens to the sequence: goes before it
    std::unique_ptr<DrawRecordKeeper> m_record; // listens to the sequence too
    std::unique_ptr<CardChecker> m_cardChecker;
    std::unique_ptr<PhoneClaims> m_claims;
    std::unique_ptr<StandingBoard> m_standing; // the room's standing (S)

    QLineEdit* m_playInfo = nullptr;
    QPushButton* m_drawButton = nullptr;
    QPushButton* m_backButton = nullptr;
    std::vector<PanelWidget*> m_panels;
    std::unique_ptr<Timer> m_timer1;
    std::unique_ptr<Timer> m_openingTimer;

    QSize m_lastLayoutSize;
    bool m_closeRequested = false; // nobody to draw: the screen closes at the next tick
    bool m_closed = false;
    int m_modalDepth = 0; // modal boxes of this screen now open
    QColor m_background;
    FullScreenSwitch m_fullScreen;
    TypedSurface m_typed;
    std::unique_ptr<EffectStage> m_stage; // the scrolling line, the photo and the name
};
