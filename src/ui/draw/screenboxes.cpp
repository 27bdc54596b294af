#include "ui/draw/screenboxes.h"

#include "ui/app/dialogs.h"

#include <QDialog>
#include <QPointer>

bool ScreenBoxes::RunBox(Dialogs& dialogs, QDialog* box) {
    const QPointer<QDialog> guard(box);
    if (!RunModal([&] { dialogs.Exec(*box); })) {
        return false;
    }
    delete guard.data();
    return true;
}
