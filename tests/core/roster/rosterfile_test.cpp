#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "support/fakes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QByteArray Fixture(const char* name) {
    QFile f(QStringLiteral(MIRDA_TEST_DATA "/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

QByteArray Write(const RosterTable& roster, TextEncoding encoding) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(WriteRoster(buffer, roster, encoding, error)) << error.toStdString();
    return buffer.data();
}

RosterTable Read(const QByteArray& bytes) {
    RosterTable roster;
    ReadRoster(bytes, roster);
    return roster;
}

// Blank means only ASCII spaces: a row whose name is blank is not written and the next one moves
// up into its place; a TAB or CR in a cell would break the file and is written as a space.
TEST(RosterFile, RowsWithoutANameAreNotWritten) {
    const std::pair<const char16_t*, bool> cases[] = {
        {u"   ", false}, {u"", false}, {u"\n", true}, {u"\u3000", true}, {u"  山田  ", true}};
    for (const auto& [name, inUse] : cases) {
        RosterTable r;
        r.Clear();
        r.SetCell(RosterColumn::Name, 1, QString::fromUtf16(name));
        r.SetCell(RosterColumn::Photo, 1, QStringLiteral("P.JPG"));
        r.SetCell(RosterColumn::Name, 2, QStringLiteral("二"));
        r.SetCell(RosterColumn::Comment, 2, QStringLiteral("a\tb\rc"));
        EXPECT_EQ(r.IsInUse(1), inUse);
        const RosterTable back = Read(Write(r, TextEncoding::Cp932));
        const int two = inUse ? 2 : 1;
        EXPECT_EQ(back.Cell(RosterColumn::Name, 1), inUse ? QString::fromUtf16(name) : QStringLiteral("二"));
        EXPECT_EQ(back.Cell(RosterColumn::Photo, 1), inUse ? QStringLiteral("P.JPG") : QString());
        EXPECT_EQ(back.Cell(RosterColumn::Comment, two), QStringLiteral("a b c"));
        EXPECT_FALSE(back.IsInUse(two + 1));
    }
}

class RosterOnDisk : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    ProgramState state;
    RecordingMessages messages;
};

// A file that cannot be read is reported with the system's number and leaves the table cleared.
TEST_F(RosterOnDisk, LoadReportsWhatCannotBeRead) {
    QDir().mkpath(Path("folder.txt"));
    for (const auto& [name, error] : {std::pair{"missing.txt", ENOENT}, {"folder.txt", EISDIR}}) {
        state.Roster.SetCell(RosterColumn::Name, 5, QStringLiteral("old"));
        state.RosterModified = true;
        state.Settings.RosterFilePath = Path(name);
        messages.Shown.clear();
        LoadRoster(state, messages);
        EXPECT_EQ(messages.Shown,
                  QStringList{QStringLiteral("error no = %1\r\n%2 が読めません。\r\n%3")
                                  .arg(error)
                                  .arg(Path(name), QString::fromLocal8Bit(std::strerror(error)))});
        EXPECT_FALSE(state.RosterModified);
        EXPECT_FALSE(state.Roster.IsInUse(5));
        EXPECT_EQ(state.Roster.Cell(RosterColumn::Name, 0), QStringLiteral("氏名"));
    }
    state.Settings.RosterFilePath = QStringLiteral(MIRDA_TEST_DATA "/roster_400.txt");
    LoadRoster(state, messages);
    EXPECT_TRUE(
        messages.Shown.last().contains(QStringLiteral("の 300 人目より後の 100 人は読み込んでいません。")));
    EXPECT_EQ(state.Roster.Cell(RosterColumn::Name, 300), QStringLiteral("人300"));
}

// A failed save leaves the old file whole and the table marked as not saved.
TEST_F(RosterOnDisk, FailedSaveKeepsTheOldFileAndTheFlag) {
    QDir().mkpath(Path("folder.txt"));
    QFile f(Path("r.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("old\r\n") == 5);
    f.close();
    state.Roster.Clear();
    const std::tuple<const char*, const char16_t*, QString> cases[] = {
        {"r.txt", u"😀", QStringLiteral("保存できない文字があります。")},
        {"no/such/folder/r.txt", u"ok", QStringLiteral("エラー番号=")},
        {"folder.txt", u"ok",
         QStringLiteral("エラー番号=%1\r\n%2")
             .arg(EISDIR)
             .arg(QString::fromLocal8Bit(std::strerror(EISDIR)))},
    };
    for (const auto& [name, cell, reason] : cases) {
        state.Roster.SetCell(RosterColumn::Name, 1, QString::fromUtf16(cell));
        state.RosterModified = false;
        state.Settings.RosterFilePath = Path(name);
        EXPECT_FALSE(SaveRoster(state, messages));
        EXPECT_TRUE(state.RosterModified);
        EXPECT_TRUE(messages.Shown.last().startsWith(
            QStringLiteral("名簿ファイルを保存できませんでした。\r\n") + Path(name)));
        EXPECT_TRUE(messages.Shown.last().contains(reason)) << messages.Shown.last().toStdString();
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old\r\n"));
    f.close();
    state.Settings.RosterFilePath = Path("r.txt");
    EXPECT_TRUE(SaveRoster(state, messages));
    EXPECT_FALSE(state.RosterModified);
    LoadRoster(state, messages);
    EXPECT_EQ(state.Roster.Cell(RosterColumn::Name, 1), QStringLiteral("ok"));
}

TEST_F(RosterOnDisk, SavesInTheEncodingItWasLoadedIn) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(MIRDA_TEST_DATA "/roster_utf8.txt"), Path("u.txt")));
    state.Settings.RosterFilePath = Path("u.txt");
    LoadRoster(state, messages);
    ASSERT_TRUE(QFile::remove(Path("u.txt")));
    EXPECT_TRUE(SaveRoster(state, messages));
    QFile saved(Path("u.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), Fixture("roster_utf8.txt"));
}

} // namespace
