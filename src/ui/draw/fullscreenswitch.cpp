#include "ui/draw/fullscreenswitch.h"

#include "core/common/designfonts.h"
#include "ui/app/childscreen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScreen>

namespace {

// Holds the screen's place in its child window while it is full screen elsewhere: closing the
// child window closes the screen, which may refuse.
class FullScreenStandIn : public QLabel {
public:
    explicit FullScreenStandIn(QWidget* screen)
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
    QPointer<QWidget> m_screen;
};

} // namespace

QScreen* FullScreenSwitch::ProjectorScreen(const QWidget* mainWindow) {
    QScreen* main = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != main) {
            return screen;
        }
    }
    return main;
}

void FullScreenSwitch::On(QScreen* on) {
    if (!on) {
        on = ProjectorScreen(m_screen.window());
    }
    if (!IsOn()) {
        auto* sub = qobject_cast<QMdiSubWindow*>(m_screen.parentWidget());
        auto* standIn = new FullScreenStandIn(&m_screen);
        m_standIn = standIn;
        LeaveFocus();
        m_screen.setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
        if (sub) {
            sub->setWidget(standIn);
        }
    }
    m_screen.setGeometry(on->geometry());
    m_screen.showFullScreen();
    m_screen.activateWindow();
    m_screen.setFocus();
}

void FullScreenSwitch::Off() {
    if (!IsOn()) {
        return;
    }
    QWidget* standIn = m_standIn;
    auto* sub = qobject_cast<QMdiSubWindow*>(standIn->parentWidget());
    m_standIn = nullptr;
    LeaveFocus();
    if (sub) {
        sub->setWidget(&m_screen); // the stand-in is handed back, not deleted
        sub->showMaximized();
    } else {
        m_screen.setParent(nullptr, Qt::Window);
        m_screen.showNormal();
    }
    standIn->hide();
    standIn->deleteLater();
    m_screen.show();
    m_screen.setFocus();
}

void FullScreenSwitch::ScreenClosing() {
    if (!m_standIn) {
        return;
    }
    QPointer<QWidget> standIn = m_standIn;
    m_standIn = nullptr;
    QMetaObject::invokeMethod(
        standIn, [standIn] { CloseScreen(standIn); }, Qt::QueuedConnection);
}

void FullScreenSwitch::LeaveFocus() {
    // The window the screen leaves must not keep pointing its focus into it (the focus it last
    // gave, even while not active).
    for (QWidget* focus :
         {QApplication::focusWidget(), m_screen.window()->focusWidget(), m_screen.focusWidget()}) {
        if (focus && (focus == &m_screen || m_screen.isAncestorOf(focus))) {
            focus->clearFocus();
        }
    }
}
