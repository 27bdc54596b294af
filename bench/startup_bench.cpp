// The start-up work around the splash wait: settings, the sample roster, and the main window
// made and shown (offscreen). The splash wait itself (2 to 3 s) is not part of it.
#include "core/common/designfonts.h"
#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/config/settingsfile.h"
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "support/fakemusicplayer.h"
#include "support/scripteddialogs.h"
#include "ui/app/mainwindow.h"
#include "ui/app/services.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QString g_programFolder;

void BM_StartupWithoutSplashWait(benchmark::State& bench) {
    ScriptedDialogs dialogs;
    ClockSeededFractions random;
    QtClock clock;
    FakeMusicPlayer music(clock);
    Services services{dialogs, random, clock, music};
    for (auto _ : bench) {
        ProgramState state;
        LoadSettings(state, Locations{g_programFolder, g_programFolder}, dialogs);
        if (state.Settings.RosterFilePath != QString()) {
            LoadRoster(state, dialogs);
        }
        MainWindow window(state, services);
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.isVisible());
    }
}
BENCHMARK(BM_StartupWithoutSplashWait)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    std::printf("QApplication start: %lld ms\n", static_cast<long long>(timer.elapsed()));

    QTemporaryDir dir;
    g_programFolder = dir.path();
    QFile::copy(QStringLiteral(MIRDA_SOURCE_DATA "/Sample01.txt"),
                dir.filePath(QStringLiteral("Sample01.txt")));
    QFile ini(dir.filePath(QStringLiteral("Mrda.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write(QStringLiteral("[Mirda]\r\nNames = %1\r\nGameMode = 1\r\nCols = 5\r\nRows = 5\r\n")
                  .arg(dir.filePath(QStringLiteral("Sample01.txt")))
                  .toUtf8());
    ini.close();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
