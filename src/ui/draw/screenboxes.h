#pragma once

#include <QString>
#include <functional>

class Dialogs;
class QDialog;
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

    // Runs a box made on the heap over the screen (through the dialog seam) and deletes it after;
    // false when the screen went while it was open, taking the box with it.
    bool RunBox(Dialogs& dialogs, QDialog* box);
};
