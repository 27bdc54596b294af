// The program: the start-up order, nothing else.
#include "core/common/designfonts.h"
#include "core/common/photo.h"
#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/common/waitseconds.h"
#include "core/config/settingsfile.h"
#include "core/media/qtmusicplayer.h"
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "ui/app/dialogs.h"
#include "ui/app/mainwindow.h"
#include "ui/app/services.h"
#include "ui/app/splash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QElapsedTimer startup; // MIRDA_STARTUP_LOG=1 reports how long the start-up took besides the splash wait
    startup.start();
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/logo.svg")));
    InstallFontSubstitutions();
    SetPhotoAllocationLimit();
    QApplication::setFont(DesignFont(DesignFace::PGothic, 10));
    QTranslator qtTranslation;
    if (qtTranslation.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslation);
    }

    NativeDialogs dialogs;
    QtClock clock;
    QtMusicPlayer music;
    ProgramState state;
    state.FrameLogPath = qEnvironmentVariable("MIRDA_FRAME_LOG"); // measuring the draw's frames

    // 1. Settings (on the first run this sets up the working folder); its messages come first.
    LoadSettings(state, Locations::OfThisProgram(), dialogs);
    // 2. The roster named by the settings, when there is one.
    if (state.Settings.RosterFilePath != QString()) {
        LoadRoster(state, dialogs);
    }
    // 3. The one random generator, seeded once from the clock.
    ClockSeededFractions random;
    Services services{dialogs, random, clock, music};

    // 4. – 7. The splash for two to three seconds while the main window is made.
    auto splash = std::make_unique<SplashScreen>();
    splash->show();
    splash->repaint();
    QElapsedTimer wait;
    wait.start();
    WaitSeconds(2, SystemWaitHooks());
    const qint64 waited = wait.elapsed();
    MainWindow window(state, services);
    splash.reset();
    // 8. The main window; from here on the program runs on window events.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.setGeometry(screen->availableGeometry());
    }
    window.showMaximized();
    if (qEnvironmentVariableIsSet("MIRDA_STARTUP_LOG")) {
        QTimer::singleShot(0, &window, [&] {
            std::fprintf(stderr, "start-up: %lld ms, of which the splash wait %lld ms\n",
                         static_cast<long long>(startup.elapsed()), static_cast<long long>(waited));
        });
    }
    return app.exec();
}
