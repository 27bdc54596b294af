#include "core/config/settingsfile.h"
#include "core/config/settingsfolder.h"
#include "core/programstate.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A program folder with its sample roster, manual, photo and song, and a documents folder.
struct Folders {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("prog"));
    QString config = root.filePath(QStringLiteral("home/.config/Mirda"));
    QString working = root.filePath(QStringLiteral("docs/Mrda"));
    Locations locations{program, root.filePath(QStringLiteral("docs")), config};
    RecordingMessages messages;
    Folders() {
        for (const auto& [name, bytes] : {std::pair{"Sample01.txt", "sample\r\n"},
                                          {"操作説明.txt", "manual\r\n"},
                                          {"Pictures/P01.JPG", "jpg"},
                                          {"Musics/S01.WAV", "wav"}}) {
            Write(program + u'/' + QString::fromUtf8(name), bytes);
        }
    }
};

// First run over a working folder the user already has: the nine lines go to the one file the
// program uses (beside it, or in the configuration folder of an installed package), the text
// files are replaced and the user's own photos kept; the next start reads that file and leaves the
// working folder alone.
TEST(Settings, FirstRunSaveAndNextStartUseOneFile) {
    for (const bool installed : {false, true}) {
        Folders f;
        if (installed) {
            Write(f.program + u'/' + PackageMarkerName(), "package\n");
        }
        Write(f.working + QStringLiteral("/Sample01.txt"), "edited");
        Write(f.working + QStringLiteral("/Pictures/P01.JPG"), "user's own");
        const QString used = (installed ? f.config : f.program) + QStringLiteral("/Mrda.ini");
        const QString unused = (installed ? f.program : f.config) + QStringLiteral("/Mrda.ini");
        ProgramState first;
        LoadSettings(first, f.locations, f.messages);
        EXPECT_EQ(QDir(f.config).exists(), installed); // made only when needed
        for (const auto& [name, bytes] : {std::pair{"Sample01.txt", "sample\r\n"},
                                          {"操作説明.txt", "manual\r\n"},
                                          {"Pictures/P01.JPG", "user's own"},
                                          {"Musics/S01.WAV", "wav"}}) {
            EXPECT_EQ(Read(f.working + u'/' + QString::fromUtf8(name)), QByteArray(bytes)) << name;
        }
        EXPECT_EQ(Read(used),
                  QStringLiteral("[Mirda]\r\nNames = %1/Sample01.txt\r\nPictures = %1/Pictures\r\n"
                                 "Musics = %1/Musics\r\nGameMode = 1\r\nDflag = 111111111\r\n"
                                 "Cols = 5\r\nRows = 5\r\nBackcolor = 8421504\r\n")
                      .arg(f.working)
                      .toUtf8());
        first.Settings.Cols = 7;
        EXPECT_TRUE(SaveSettings(first, f.messages));
        EXPECT_FALSE(QFile::exists(unused));
        Write(f.working + QStringLiteral("/Sample01.txt"), "edited");
        const QByteArray saved = Read(used);
        ProgramState next;
        LoadSettings(next, f.locations, f.messages);
        EXPECT_EQ(next.Settings.Cols, 7);
        EXPECT_EQ(Read(used), saved); // read, not rewritten
        EXPECT_EQ(Read(f.working + QStringLiteral("/Sample01.txt")), QByteArray("edited"));
        EXPECT_TRUE(f.messages.Shown.isEmpty());
    }
}

TEST(Settings, UnreadableFileGivesDefaultsAndAMessage) {
    Folders f;
    const QString ini = f.program + QStringLiteral("/Mrda.ini");
    if (geteuid() == 0) { // root reads any file: a folder in its place cannot be read
        QDir().mkpath(ini);
    } else {
        Write(ini, "[Mirda]\r\nCols = 9\r\n");
        QFile::setPermissions(ini, QFile::Permissions());
    }
    ProgramState state;
    LoadSettings(state, f.locations, f.messages);
    ASSERT_EQ(f.messages.Shown.size(), 1);
    EXPECT_TRUE(f.messages.Shown[0].startsWith(QStringLiteral("動作環境ファイルが開けません。\r\n")));
    EXPECT_TRUE(f.messages.Shown[0].endsWith(QStringLiteral("\r\n処理を中止します。")));
    EXPECT_FALSE(f.messages.Shown[0].contains(QStringLiteral("エラー番号0")));
    const SettingsRecord& s = state.Settings;
    EXPECT_EQ(QStringLiteral("%1|%2|%3|%4|%5")
                  .arg(s.GameMode)
                  .arg(s.Dflag)
                  .arg(s.Cols)
                  .arg(s.Rows)
                  .arg(s.Backcolor),
              QStringLiteral("1|111111111|5|5|8421504"));
}

TEST(Settings, FailedSaveKeepsTheOldFileAndSaysWhy) {
    Folders f;
    Write(f.program + QStringLiteral("/Mrda.ini"), "[Mirda]\r\nCols = 9\r\n");
    ProgramState state;
    LoadSettings(state, f.locations, f.messages);
    EXPECT_EQ(state.Settings.Cols, 9);
    state.ProgramFolder = f.root.filePath(QStringLiteral("nowhere/"));
    EXPECT_FALSE(SaveSettings(state, f.messages));
    ASSERT_EQ(f.messages.Shown.size(), 1);
    EXPECT_TRUE(f.messages.Shown[0].startsWith(f.root.filePath(QStringLiteral("nowhere/Mrda.ini")) +
                                               QStringLiteral("が開けません\r\nエラー番号=")));
    EXPECT_EQ(Read(f.program + QStringLiteral("/Mrda.ini")), QByteArray("[Mirda]\r\nCols = 9\r\n"));
}

// Permissions do not stop root, and CI runs as root: there the probe runs in a child process that
// has become an ordinary user (nobody). Returns 1 (beside the program), 0 (elsewhere) or -1.
int BesideProgramAsOrdinaryUser(const QString& programFolder) {
    if (geteuid() != 0) {
        return SettingsBesideProgram(programFolder) ? 1 : 0;
    }
    const pid_t child = fork();
    if (child == 0) {
        _exit(setgid(65534) != 0 || setuid(65534) != 0 ? 3 : SettingsBesideProgram(programFolder) ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// The settings stay beside the program only in a folder this user may write that no package owns.
TEST(Settings, BesideAWritableProgramFolderThatNoPackageOwns) {
    constexpr auto kReadOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    constexpr auto kEveryoneWrites = kReadOnly | QFile::WriteOwner | QFile::WriteOther;
    const std::tuple<QFile::Permissions, bool, int> cases[] = {
        {kEveryoneWrites, false, 1}, {kReadOnly, false, 0}, {kEveryoneWrites, true, 0}, {kReadOnly, true, 0}};
    for (const auto& [permissions, marker, beside] : cases) {
        QTemporaryDir root;
        ASSERT_TRUE(
            QFile::setPermissions(root.path(), kReadOnly | QFile::WriteOwner)); // the child reaches in
        const QString program = root.filePath(QStringLiteral("prog")) + QDir::separator();
        ASSERT_TRUE(QDir().mkdir(program));
        if (marker) {
            Write(program + PackageMarkerName(), "package\n");
        }
        ASSERT_TRUE(QFile::setPermissions(program, permissions));
        EXPECT_EQ(BesideProgramAsOrdinaryUser(program), beside) << int(permissions) << " " << marker;
        QFile::setPermissions(program, kEveryoneWrites); // so that the folder can be removed
    }
}

} // namespace
