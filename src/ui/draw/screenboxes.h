#pragma once

#include <QString>
#include <functional>

class QWidget;

// What the parts of the draw screen (the draw record, the card check, the phone claims) need of
// the screen to show their boxes. A box runs an event loop in which the screen may be closed or
// destroyed: RunModal and ShowMessage then return false, and the caller stops at once without
// touching the screen or itself again.
class ScreenBoxes {
public:
    virtual ~ScreenBoxes() = default;
    virtual bool RunModal(const std::function<void()>& show) = 0;
    virtual bool ShowMessage(const QString& text) = 0;
    // False while the screen closes or one of its boxes is open.
    virtual bool AcceptsCommands() const = 0;
    // The widget the boxes are shown over.
    virtual QWidget* BoxParent() = 0;
};
