#pragma once

#include <QPointer>
#include <QWidget>

class QScreen;

// Takes a working screen full screen onto a screen of the organiser's choice (the projector),
// without frame or menu, and back. Meanwhile its child window in the main window holds a stand-in
// that says how to come back, so that the main window still sees its screen open; closing the
// child window closes the screen as ever.
class FullScreenSwitch {
public:
    explicit FullScreenSwitch(QWidget& screen) : m_screen(screen) {}

    bool IsOn() const { return m_standIn != nullptr; }
    void On(QScreen* on);
    void Off();
    // The screen closes while full screen: the child window that held its place goes too.
    void ScreenClosing();

    // The screen the projector is on: any other than the main window's.
    static QScreen* ProjectorScreen(const QWidget* mainWindow);

private:
    void LeaveFocus();

    QWidget& m_screen;
    QPointer<QWidget> m_standIn;
};
