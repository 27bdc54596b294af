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

constexpr uid_t kNobody = 65534;

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Permissions do not stop root, and CI runs as root: there the probe runs in a child process that
// has become an ordinary user. Returns 1 (beside the program), 0 (elsewhere) or -1 (no answer).
int besideProgramAsOrdinaryUser(const QString& programFolder) {
    if (geteuid() != 0) {
        return SettingsBesideProgram(programFolder) ? 1 : 0;
    }
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) {
            _exit(3);
        }
        _exit(SettingsBesideProgram(programFolder) ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        return -1;
    }
    return WEXITSTATUS(status);
}

struct FolderCase {
    const char* name;
    QFile::Permissions permissions;
    bool marker;
    bool beside;
};

constexpr QFile::Permissions kEveryoneWrites = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
constexpr QFile::Permissions kReadOnly =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsFolderChoice : public ::testing::TestWithParam<FolderCase> {};

TEST_P(SettingsFolderChoice, FollowsTheProgramFolder) {
    const FolderCase& c = GetParam();
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // The child must be able to reach the folder under test.
    ASSERT_TRUE(QFile::setPermissions(root.path(), kReadOnly | QFile::WriteOwner));
    const QString program = root.filePath(QStringLiteral("prog")) + QDir::separator();
    ASSERT_TRUE(QDir().mkdir(program));
    if (c.marker) {
        writeFile(program + PackageMarkerName(), "package\n");
    }
    ASSERT_TRUE(QFile::setPermissions(program, c.permissions));
    EXPECT_EQ(besideProgramAsOrdinaryUser(program), c.beside ? 1 : 0);
    QFile::setPermissions(program, kEveryoneWrites); // so that the folder can be removed
}

INSTANTIATE_TEST_SUITE_P(Folders, SettingsFolderChoice,
                         ::testing::Values(FolderCase{"Writable", kEveryoneWrites, false, true},
                                           FolderCase{"ReadOnly", kReadOnly, false, false},
                                           FolderCase{"PackageMarker", kEveryoneWrites, true, false},
                                           FolderCase{"ReadOnlyWithMarker", kReadOnly, true, false}),
                         [](const ::testing::TestParamInfo<FolderCase>& info) {
                             return std::string(info.param.name);
                         });

struct PlacementCase {
    const char* name;
    bool marker;
    bool inConfig;
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsPlacement : public ::testing::TestWithParam<PlacementCase> {
protected:
    void SetUp() override {
        program = root.filePath(QStringLiteral("prog"));
        documents = root.filePath(QStringLiteral("docs"));
        config = root.filePath(QStringLiteral("home/.config/Mirda"));
        QDir().mkpath(program);
        writeFile(program + QStringLiteral("/Sample01.txt"), "sample\r\n");
        if (GetParam().marker) {
            writeFile(program + QStringLiteral("/") + PackageMarkerName(), "package\n");
        }
    }
    QTemporaryDir root;
    QString program, documents, config;
    RecordingMessages messages;
};

TEST_P(SettingsPlacement, FirstRunSaveAndNextStartUseOneFile) {
    const PlacementCase& c = GetParam();
    const QString used = (c.inConfig ? config : program) + QStringLiteral("/Mrda.ini");
    const QString unused = (c.inConfig ? program : config) + QStringLiteral("/Mrda.ini");

    ProgramState first;
    LoadSettings(first, Locations{program, documents, config}, messages);
    EXPECT_TRUE(messages.Shown.isEmpty());
    EXPECT_EQ(QDir(config).exists(), c.inConfig); // made only when needed
    EXPECT_FALSE(QFile::exists(unused));
    const QString working = documents + QStringLiteral("/Mrda");
    EXPECT_EQ(readFile(working + QStringLiteral("/Sample01.txt")), QByteArray("sample\r\n"));
    const QList<QByteArray> lines = readFile(used).split('\n');
    ASSERT_EQ(lines.size(), 10); // nine CR LF lines
    EXPECT_EQ(lines[1], QStringLiteral("Names = %1/Sample01.txt\r").arg(working).toUtf8());

    first.Settings.Cols = 7;
    EXPECT_TRUE(SaveSettings(first, messages));
    EXPECT_FALSE(QFile::exists(unused));

    // The next start reads that file and leaves the working folder alone.
    writeFile(working + QStringLiteral("/Sample01.txt"), "edited");
    ProgramState next;
    LoadSettings(next, Locations{program, documents, config}, messages);
    EXPECT_EQ(next.Settings.Cols, 7);
    EXPECT_EQ(readFile(working + QStringLiteral("/Sample01.txt")), QByteArray("edited"));
    EXPECT_TRUE(messages.Shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Programs, SettingsPlacement,
                         ::testing::Values(PlacementCase{"BuildFolder", false, false},
                                           PlacementCase{"InstalledPackage", true, true}),
                         [](const ::testing::TestParamInfo<PlacementCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
