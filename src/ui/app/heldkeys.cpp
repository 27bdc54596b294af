#include "ui/app/heldkeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <set>

namespace {

// Watches the box's window, which sees every key event before the widget with the focus does.
class HeldKeyGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return QObject::eventFilter(watched, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat()) {
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            m_pressed.insert(key->key());
        } else if (m_pressed.erase(key->key()) == 0) {
            return true; // pressed before the box was there
        }
        return false;
    }

private:
    std::set<int> m_pressed;
};

} // namespace

void IgnoreHeldKeys(QWidget& box) {
    box.winId(); // the window exists from now on
    if (QWindow* window = box.windowHandle()) {
        window->installEventFilter(new HeldKeyGuard(&box));
    }
}
