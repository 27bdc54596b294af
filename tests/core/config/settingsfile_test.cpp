#include "core/config/settingsfile.h"
#include "core/programstate.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Names|Pictures|Musics|GameMode|Dflag|Cols|Rows|Backcolor
QString Fields(const SettingsRecord& s) {
    return QStringList{s.RosterFilePath,
                       s.Pictures,
                       s.Musics,
                       QString::number(s.GameMode),
                       s.Dflag,
                       QString::number(s.Cols),
                       QString::number(s.Rows),
                       s.Backcolor}
        .join(u'|');
}

// Lines from the [Mirda] header on, in any letter case; "KEY = value", the value untrimmed; a
// number that is no number leaves the field as it was; the last occurrence wins.
TEST(SettingsIni, ReadsKeysFromTheHeaderOn) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"[mirda]\r\nnames = C:\\D\\R.txt\r\ngamemode = 3\r\ndflag = 101\r\n", u"C:\\D\\R.txt|||3|101|0|0|"},
        {u"[MIRDA]\r\nPictures = /p\r\nMusics = /m \r\nBackcolor = 255 \r\nPictures = /q\r\n",
         u"|/q|/m |0||0|0|255 "},
        {u"Cols = 9\r\n[Mirda]\r\nRows = 7\r\n[Other]\r\nCols = 8\r\n", u"|||0||8|7|"},
        {u"[Mirda]\r\nCols= 9\r\nRows =7\r\n [Mirda]\r\n", u"|||0||0|0|"},
        {u" [Mirda]\r\nCols = 9\r\n", u"|||0||0|0|"},
        {u"[Mirda]\r\nGameMode = 2.5\r\nRows = 3.5\r\nCols = 4\r\nCols = 6\r\n", u"|||2||6|4|"},
        {u"[Mirda]\r\nCols = 7\r\nCols = \r\nRows = x\r\nGameMode = 2\r\nGameMode = 9a\r\n", u"|||2||7|0|"},
        {u"", u"|||0||0|0|"},
    };
    for (const auto& [text, fields] : cases) {
        SettingsRecord s;
        s.ParseIni(QString::fromUtf16(text));
        EXPECT_EQ(Fields(s), QString::fromUtf16(fields)) << QString::fromUtf16(text).toStdString();
    }
}

TEST(ProgramFolder, DropsAVbpFolderInAnyCase) {
    const std::pair<const char*, const char*> cases[] = {{"/opt/mirda", "/opt/mirda/"},
                                                         {"/opt/mirda/vBp", "/opt/mirda/"},
                                                         {"/opt/mirda/xvbp", "/opt/mirda/xvbp/"}};
    for (const auto& [folder, expected] : cases) {
        EXPECT_EQ(ComputeProgramFolder(QString::fromUtf8(folder)),
                  QDir::toNativeSeparators(QString::fromUtf8(expected)));
    }
}

// A program folder with its sample roster, manual, photo and song.
class SettingsOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, bytes] : {std::pair{"Sample01.txt", "sample\r\n"},
                                          {"操作説明.txt", "manual\r\n"},
                                          {"Pictures/P01.JPG", "jpg"},
                                          {"Musics/S01.WAV", "wav"}}) {
            Write(Program(QString::fromUtf8(name)), bytes);
        }
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString Program(const QString& name = QString()) const {
        return root.filePath(QStringLiteral("prog/") + name);
    }
    QString Working(const QString& name = QString()) const {
        return root.filePath(QStringLiteral("docs/Mrda/") + name);
    }
    void Load() {
        LoadSettings(state, Locations{Program(), root.filePath(QStringLiteral("docs"))}, messages);
    }
    QTemporaryDir root;
    ProgramState state;
    RecordingMessages messages;
};

TEST_F(SettingsOnDisk, FirstRunOverAnExistingFolderReplacesRostersAndKeepsMedia) {
    Write(Working(QStringLiteral("Sample01.txt")), "edited");
    Write(Working(QStringLiteral("Pictures/P01.JPG")), "user's own");
    Load();
    EXPECT_TRUE(messages.Shown.isEmpty());
    EXPECT_EQ(Read(Working(QStringLiteral("Sample01.txt"))), QByteArray("sample\r\n"));
    EXPECT_EQ(Read(Working(QStringLiteral("操作説明.txt"))), QByteArray("manual\r\n"));
    EXPECT_EQ(Read(Working(QStringLiteral("Pictures/P01.JPG"))), QByteArray("user's own"));
    EXPECT_EQ(Read(Working(QStringLiteral("Musics/S01.WAV"))), QByteArray("wav"));
}

TEST_F(SettingsOnDisk, ExistingFileIsReadNotRewritten) {
    Write(Program(QStringLiteral("Mrda.ini")), "[Mirda]\r\nCols = 9\r\n");
    Load();
    EXPECT_EQ(Fields(state.Settings), QStringLiteral("|||0||9|0|")); // missing keys keep their empty values
    EXPECT_FALSE(QDir(root.filePath(QStringLiteral("docs"))).exists());
    EXPECT_EQ(Read(Program(QStringLiteral("Mrda.ini"))), QByteArray("[Mirda]\r\nCols = 9\r\n"));
}

TEST_F(SettingsOnDisk, UnreadableFileGivesDefaultsAndAMessage) {
    if (geteuid() == 0) { // root reads any file: a folder in its place cannot be read
        QDir().mkpath(Program(QStringLiteral("Mrda.ini")));
    } else {
        Write(Program(QStringLiteral("Mrda.ini")), "[Mirda]\r\nCols = 9\r\n");
        QFile::setPermissions(Program(QStringLiteral("Mrda.ini")), QFile::Permissions());
    }
    Load();
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("動作環境ファイルが開けません。\r\n")));
    EXPECT_TRUE(messages.Shown[0].endsWith(QStringLiteral("\r\n処理を中止します。")));
    EXPECT_FALSE(messages.Shown[0].contains(QStringLiteral("エラー番号0")));
    EXPECT_EQ(Fields(state.Settings), QStringLiteral("|||1|111111111|5|5|8421504"));
}

TEST_F(SettingsOnDisk, FailedSaveKeepsTheOldFileAndSaysWhy) {
    Write(Program(QStringLiteral("Mrda.ini")), "[Mirda]\r\nCols = 9\r\n");
    Load();
    state.ProgramFolder = root.filePath(QStringLiteral("nowhere/"));
    EXPECT_FALSE(SaveSettings(state, messages));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].startsWith(root.filePath(QStringLiteral("nowhere/Mrda.ini")) +
                                             QStringLiteral("が開けません\r\nエラー番号=")));
    EXPECT_EQ(Read(Program(QStringLiteral("Mrda.ini"))), QByteArray("[Mirda]\r\nCols = 9\r\n"));
}

} // namespace
