#include "config/settingsfile.h"
#include "programstate.h"
#include "roster/rosterfile.h"
#include "ui/app/dialogs.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    NativeDialogs dialogs;
    ProgramState state;
    LoadSettings(state, Locations::OfThisProgram(), dialogs);
    if (state.Settings.RosterFilePath != QString()) {
        LoadRoster(state, dialogs);
    }
    QMainWindow window;
    window.setObjectName(QStringLiteral("frmMain"));
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
