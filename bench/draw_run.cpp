// Runs real draws on the draw screen as the program does (real timers, real playback and decoding),
// for measuring what a timed test must not: the pacing of the frames (with MIRDA_FRAME_LOG) and
// the memory of many draws. bench/draw_frames.sh and bench/draw_memory.sh run it.
//
//   draw_run [--simple] [--draws N] [--grid CxR] [--size WxH] [--large FOLDER]
//
// --large draws from 300 participants with 12-megapixel photos, made in FOLDER on the first use;
// --photo gives every participant of the sample roster the same photo FILE (say, a huge one).
#include "core/common/designfonts.h"
#include "core/common/photo.h"
#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/draw/drawsequence.h"
#include "core/media/qtmusicplayer.h"
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "support/scripteddialogs.h"
#include "ui/app/services.h"
#include "ui/draw/drawscreen.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <cstdio>

namespace {

long peakKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// 300 participants, each with a 4000 × 3000 photo (30 different pictures, as 300 files).
void makeLargeRoster(ProgramState& state, const QString& folder) {
    QDir().mkpath(folder);
    for (int p = 0; p < 30; ++p) {
        const QString path = QDir(folder).filePath(QStringLiteral("base%1.jpg").arg(p));
        if (QFile::exists(path)) {
            continue;
        }
        QImage photo(4000, 3000, QImage::Format_RGB32);
        photo.fill(QColor::fromHsv(p * 12, 120, 220));
        QPainter painter(&photo);
        for (int i = 0; i < 60; ++i) {
            painter.setBrush(QColor::fromHsv((p * 12 + i * 37) % 360, 200, 180));
            painter.drawEllipse(QPoint((i * 397) % 4000, (i * 211) % 3000), 300 + i * 7, 250 + i * 5);
        }
        painter.end();
        photo.save(path, "JPEG", 90);
    }
    state.Roster.Clear();
    for (int r = 1; r <= 300; ++r) {
        const QString name = QStringLiteral("P%1.JPG").arg(r, 3, 10, QLatin1Char('0'));
        const QString link = QDir(folder).filePath(name);
        if (!QFile::exists(link)) {
            QFile::link(QStringLiteral("base%1.jpg").arg(r % 30), link);
        }
        state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者 %1").arg(r));
        state.Roster.SetCell(RosterColumn::Photo, r, name);
    }
    state.Settings.Pictures = folder;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    SetPhotoAllocationLimit();
    const QStringList args = QCoreApplication::arguments();
    const auto value = [&args](const QString& option, const QString& fallback) {
        const qsizetype at = args.indexOf(option);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    const int draws = value(QStringLiteral("--draws"), QStringLiteral("1")).toInt();
    const QStringList grid = value(QStringLiteral("--grid"), QStringLiteral("5x5")).split(u'x');
    const QStringList size = value(QStringLiteral("--size"), QStringLiteral("1920x1080")).split(u'x');
    const QString large = value(QStringLiteral("--large"), QString());
    const QString photo = value(QStringLiteral("--photo"), QString());

    ProgramState state;
    state.Settings.ApplyDefaults();
    state.Settings.GameMode = 2;
    state.Settings.Cols = grid.value(0).toInt();
    state.Settings.Rows = grid.value(1).toInt();
    state.DrawKind = args.contains(QStringLiteral("--simple")) ? DrawKind::Simple : DrawKind::Normal;
    state.FrameLogPath = qEnvironmentVariable("MIRDA_FRAME_LOG");
    const QString data = QStringLiteral(MIRDA_SOURCE_DATA);
    state.Settings.Pictures = QDir(data).filePath(QStringLiteral("Pictures"));
    state.Settings.Musics = QDir(data).filePath(QStringLiteral("Musics"));
    state.Settings.RosterFilePath = QDir(data).filePath(QStringLiteral("Sample01.txt"));
    ScriptedDialogs dialogs;
    LoadRoster(state, dialogs);
    if (!large.isEmpty()) {
        makeLargeRoster(state, large);
    }
    if (!photo.isEmpty()) {
        const QFileInfo file(photo);
        state.Settings.Pictures = file.absolutePath();
        for (int r = 1; r <= RosterTable::kCapacity; ++r) {
            state.Roster.SetCell(RosterColumn::Photo, r, file.fileName());
        }
    }

    QtClock clock;
    QtMusicPlayer music;
    ClockSeededFractions random;
    Services services{dialogs, random, clock, music};
    auto* screen = new DrawScreen(state, services);
    screen->setGeometry(0, 0, size.value(0).toInt(), size.value(1).toInt());
    screen->show();

    int done = 0;
    QTimer driver;
    driver.setInterval(200);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (screen->Sequence().IsRunning()) {
            return;
        }
        if (done > 0) {
            std::printf("draw %d: resident %ld kB, peak %ld kB\n", done, peakKilobytes("VmRSS:"),
                        peakKilobytes("VmHWM:"));
            std::fflush(stdout);
        }
        if (done == draws) {
            driver.stop();
            state.DrawInProgress = false;
            screen->close();
            QCoreApplication::quit();
            return;
        }
        ++done;
        screen->cmd抽選開始_Click();
    });
    QTimer::singleShot(1500, &driver, [&driver] { driver.start(); }); // after the grid's first layout
    const int result = QApplication::exec();
    std::printf("peak resident %ld kB\n", peakKilobytes("VmHWM:"));
    return result;
}
