#include "core/config/settingsfile.h"
#include "core/programstate.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

SettingsRecord parse(const char16_t* text) {
    SettingsRecord s;
    s.ParseIni(QString::fromUtf16(text));
    return s;
}

TEST(SettingsIni, KeyMatchingRules) {
    const SettingsRecord lower =
        parse(u"[mirda]\r\nnames = C:\\Data\\Roster.txt\r\ngamemode = 3\r\ndflag = 101\r\n");
    EXPECT_EQ(lower.RosterFilePath, QStringLiteral("C:\\Data\\Roster.txt")); // value keeps its case
    EXPECT_EQ(lower.GameMode, 3);
    EXPECT_EQ(lower.Dflag, QStringLiteral("101"));

    const SettingsRecord before = parse(u"Cols = 9\r\n[Mirda]\r\nRows = 7\r\n[Other]\r\nCols = 8\r\n");
    EXPECT_EQ(before.Cols, 8); // lines before the header are ignored; later sections are read
    EXPECT_EQ(before.Rows, 7);

    const SettingsRecord spacing =
        parse(u"[Mirda]\r\nCols= 9\r\nRows =7\r\n [Mirda]\r\nBackcolor = 255 \r\n");
    EXPECT_EQ(spacing.Cols, 0);
    EXPECT_EQ(spacing.Rows, 0);
    EXPECT_EQ(spacing.Backcolor, QStringLiteral("255 ")); // untrimmed

    const SettingsRecord padded = parse(u" [Mirda]\r\nCols = 9\r\n");
    EXPECT_EQ(padded.Cols, 0); // the header must stand alone

    const SettingsRecord rounding =
        parse(u"[Mirda]\r\nGameMode = 2.5\r\nRows = 3.5\r\nCols = 4\r\nCols = 6\r\n");
    EXPECT_EQ(rounding.GameMode, 2);
    EXPECT_EQ(rounding.Rows, 4);
    EXPECT_EQ(rounding.Cols, 6); // last one wins

    const SettingsRecord bad =
        parse(u"[Mirda]\r\nCols = 7\r\nCols = \r\nRows = x\r\nGameMode = 2\r\nGameMode = 9a\r\n");
    EXPECT_EQ(bad.Cols, 7);
    EXPECT_EQ(bad.Rows, 0);
    EXPECT_EQ(bad.GameMode, 2);

    const SettingsRecord empty = parse(u"");
    EXPECT_EQ(empty.GameMode, 0);
    EXPECT_TRUE(empty.Dflag.isEmpty());
}

TEST(SettingsIni, WritesNineLines) {
    SettingsRecord s;
    s.RosterFilePath = QStringLiteral("/w/Sample01.txt");
    s.ApplyDefaults();
    s.Cols = -3;
    EXPECT_EQ(s.ToIni(), QStringLiteral("[Mirda]\r\nNames = /w/Sample01.txt\r\nPictures = \r\nMusics = \r\n"
                                        "GameMode = 1\r\nDflag = 111111111\r\nCols = -3\r\nRows = 5\r\n"
                                        "Backcolor = 8421504\r\n"));
    SettingsRecord back;
    back.ParseIni(s.ToIni());
    EXPECT_EQ(back.ToIni(), s.ToIni());
}

TEST(ProgramFolder, DropsAVbpFolderInAnyCase) {
    const QString sep = QDir::separator();
    EXPECT_EQ(ComputeProgramFolder(QStringLiteral("/opt/mirda")),
              QDir::toNativeSeparators(QStringLiteral("/opt/mirda/")));
    EXPECT_EQ(ComputeProgramFolder(QStringLiteral("/opt/mirda/vBp")),
              QDir::toNativeSeparators(QStringLiteral("/opt/mirda/")));
    EXPECT_EQ(ComputeProgramFolder(QStringLiteral("/opt/mirda/xvbp")),
              QDir::toNativeSeparators(QStringLiteral("/opt/mirda/xvbp/")));
    EXPECT_TRUE(ComputeProgramFolder(QStringLiteral("/opt/Mirda")).endsWith(sep));
}

class FirstRun : public ::testing::Test {
protected:
    void SetUp() override {
        program = root.filePath(QStringLiteral("prog"));
        documents = root.filePath(QStringLiteral("docs"));
        QDir().mkpath(program + QStringLiteral("/Pictures"));
        QDir().mkpath(program + QStringLiteral("/Musics"));
        write(program + QStringLiteral("/Sample01.txt"), "sample\r\n");
        write(program + QStringLiteral("/操作説明.txt"), "manual\r\n");
        write(program + QStringLiteral("/Pictures/P01.JPG"), "jpg");
        write(program + QStringLiteral("/Musics/S01.WAV"), "wav");
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir root;
    QString program, documents;
    ProgramState state;
    RecordingMessages messages;
};

TEST_F(FirstRun, CreatesTheWorkingFolderCopiesAndWritesNineLines) {
    LoadSettings(state, Locations{program, documents}, messages);
    EXPECT_TRUE(messages.Shown.isEmpty());
    const QString w = documents + QStringLiteral("/Mrda");
    EXPECT_EQ(read(w + QStringLiteral("/Sample01.txt")), QByteArray("sample\r\n"));
    EXPECT_EQ(read(w + QStringLiteral("/操作説明.txt")), QByteArray("manual\r\n"));
    EXPECT_EQ(read(w + QStringLiteral("/Pictures/P01.JPG")), QByteArray("jpg"));
    EXPECT_EQ(read(w + QStringLiteral("/Musics/S01.WAV")), QByteArray("wav"));
    const QByteArray expected =
        QStringLiteral("[Mirda]\r\nNames = %1/Sample01.txt\r\nPictures = %1/Pictures\r\n"
                       "Musics = %1/Musics\r\nGameMode = 1\r\nDflag = 111111111\r\n"
                       "Cols = 5\r\nRows = 5\r\nBackcolor = 8421504\r\n")
            .arg(w)
            .toUtf8();
    EXPECT_EQ(read(program + QStringLiteral("/Mrda.ini")), expected);
    EXPECT_EQ(state.Settings.RosterFilePath, w + QStringLiteral("/Sample01.txt"));
}

TEST_F(FirstRun, RepeatsOverAnExistingFolderAndKeepsEditedMedia) {
    const QString w = documents + QStringLiteral("/Mrda");
    QDir().mkpath(w + QStringLiteral("/Pictures"));
    write(w + QStringLiteral("/Sample01.txt"), "edited");
    write(w + QStringLiteral("/Pictures/P01.JPG"), "user's own");
    LoadSettings(state, Locations{program, documents}, messages);
    EXPECT_TRUE(messages.Shown.isEmpty());
    EXPECT_EQ(read(w + QStringLiteral("/Sample01.txt")), QByteArray("sample\r\n"));     // replaced
    EXPECT_EQ(read(w + QStringLiteral("/Pictures/P01.JPG")), QByteArray("user's own")); // kept
}

TEST_F(FirstRun, ExistingFileIsReadNotRewritten) {
    write(program + QStringLiteral("/Mrda.ini"), "[Mirda]\r\nCols = 9\r\n");
    LoadSettings(state, Locations{program, documents}, messages);
    EXPECT_EQ(state.Settings.Cols, 9);
    EXPECT_EQ(state.Settings.Rows, 0); // missing keys keep their empty values
    EXPECT_TRUE(state.Settings.Dflag.isEmpty());
    EXPECT_FALSE(QDir(documents).exists());
    EXPECT_EQ(read(program + QStringLiteral("/Mrda.ini")), QByteArray("[Mirda]\r\nCols = 9\r\n"));
}

TEST_F(FirstRun, UnreadableFileGivesDefaultsAndAMessage) {
    if (geteuid() == 0) {
        // root reads any file; an unreadable path is made with a folder in its place instead
        QDir().mkpath(program + QStringLiteral("/Mrda.ini"));
    } else {
        write(program + QStringLiteral("/Mrda.ini"), "[Mirda]\r\nCols = 9\r\n");
        QFile::setPermissions(program + QStringLiteral("/Mrda.ini"), QFile::Permissions());
    }
    LoadSettings(state, Locations{program, documents}, messages);
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("動作環境ファイルが開けません。\r\n")));
    EXPECT_TRUE(messages.Shown[0].endsWith(QStringLiteral("\r\n処理を中止します。")));
    EXPECT_FALSE(messages.Shown[0].contains(QStringLiteral("エラー番号0")));
    EXPECT_EQ(state.Settings.Cols, 5);
    EXPECT_EQ(state.Settings.GameMode, 1);
    EXPECT_EQ(state.Settings.Backcolor, QStringLiteral("8421504"));
}

TEST_F(FirstRun, FailedSaveKeepsTheOldFile) {
    write(program + QStringLiteral("/Mrda.ini"), "[Mirda]\r\nCols = 9\r\n");
    LoadSettings(state, Locations{program, documents}, messages);
    state.ProgramFolder = root.filePath(QStringLiteral("nowhere/"));
    EXPECT_FALSE(SaveSettings(state, messages));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_EQ(messages.Shown[0].left(messages.Shown[0].indexOf(u'\r')),
              root.filePath(QStringLiteral("nowhere/Mrda.ini")) + QStringLiteral("が開けません"));
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("\r\nエラー番号=")));
    EXPECT_EQ(read(program + QStringLiteral("/Mrda.ini")), QByteArray("[Mirda]\r\nCols = 9\r\n"));
}

} // namespace
