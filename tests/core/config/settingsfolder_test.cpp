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
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
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
TEST(SettingsFolder, BesideAWritableProgramFolderThatNoPackageOwns) {
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

// First run: the working folder is set up and the nine lines are written to the one file the
// program uses, beside it or in the configuration folder of an installed package; the next start
// reads that file and leaves the working folder alone.
TEST(SettingsFolder, FirstRunSaveAndNextStartUseOneFile) {
    for (const bool installed : {false, true}) {
        QTemporaryDir root;
        const QString program = root.filePath(QStringLiteral("prog"));
        const QString config = root.filePath(QStringLiteral("home/.config/Mirda"));
        const Locations locations{program, root.filePath(QStringLiteral("docs")), config};
        const QString working = root.filePath(QStringLiteral("docs/Mrda"));
        QDir().mkpath(program);
        Write(program + QStringLiteral("/Sample01.txt"), "sample\r\n");
        if (installed) {
            Write(program + QStringLiteral("/") + PackageMarkerName(), "package\n");
        }
        const QString used = (installed ? config : program) + QStringLiteral("/Mrda.ini");
        const QString unused = (installed ? program : config) + QStringLiteral("/Mrda.ini");
        RecordingMessages messages;
        ProgramState first;
        LoadSettings(first, locations, messages);
        EXPECT_EQ(QDir(config).exists(), installed); // made only when needed
        EXPECT_EQ(Read(working + QStringLiteral("/Sample01.txt")), QByteArray("sample\r\n"));
        EXPECT_EQ(Read(used),
                  QStringLiteral("[Mirda]\r\nNames = %1/Sample01.txt\r\nPictures = %1/Pictures\r\n"
                                 "Musics = %1/Musics\r\nGameMode = 1\r\nDflag = 111111111\r\n"
                                 "Cols = 5\r\nRows = 5\r\nBackcolor = 8421504\r\n")
                      .arg(working)
                      .toUtf8());
        first.Settings.Cols = 7;
        EXPECT_TRUE(SaveSettings(first, messages));
        EXPECT_FALSE(QFile::exists(unused));
        Write(working + QStringLiteral("/Sample01.txt"), "edited");
        ProgramState next;
        LoadSettings(next, locations, messages);
        EXPECT_EQ(next.Settings.Cols, 7);
        EXPECT_EQ(Read(working + QStringLiteral("/Sample01.txt")), QByteArray("edited"));
        EXPECT_TRUE(messages.Shown.isEmpty());
    }
}

} // namespace
