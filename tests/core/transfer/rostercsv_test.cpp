#include "core/common/safefile.h"
#include "core/programstate.h"
#include "core/transfer/importplan.h"
#include "core/transfer/importsource.h"
#include "core/transfer/rostercsv.h"
#include "support/tinyfilesystem.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

using R = RosterTable;
using C = RosterColumn;

struct FieldCase {
    const char16_t* cell;
    const char16_t* written;
};

class CsvFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldTest, QuotesOnlyWhereNeeded) {
    EXPECT_EQ(CsvField(QString::fromUtf16(GetParam().cell)), QString::fromUtf16(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(Fields, CsvFieldTest,
                         testing::Values(FieldCase{u"山田 太郎", u"山田 太郎"}, FieldCase{u"", u""},
                                         FieldCase{u"a,b", u"\"a,b\""},
                                         FieldCase{u"彼は\"元気\"", u"\"彼は\"\"元気\"\"\""},
                                         FieldCase{u"一行目\n二行目", u"\"一行目\n二行目\""},
                                         FieldCase{u"a\rb", u"\"a\rb\""}, FieldCase{u"a;b\tc", u"a;b\tc"}));

RosterTable sampleRoster() {
    RosterTable roster;
    roster.Clear();
    roster.SetCell(C::FavouriteWords, 0, QStringLiteral("座右の銘"));
    roster.SetCell(C::Comment, 0, QStringLiteral("意気込み, 抱負"));
    const QStringList first = QStringLiteral("山田 太郎|1990|4|1|A|東京都|総務部|一期一会|彼は\"元気\", です|"
                                             "SONG01.MP3|5|20|P01.JPG|")
                                  .split(u'|');
    for (int c = 0; c < R::kColumns; ++c) {
        roster.SetCell(C(c), 1, first.at(c));
    }
    roster.SetCell(C::Name, 2, QStringLiteral("  ")); // not in use: not exported
    roster.SetCell(C::Affiliation, 2, QStringLiteral("消えた部"));
    roster.SetCell(C::Name, 3, QStringLiteral("髙橋 ①"));
    roster.SetCell(C::Excluded, 3, QStringLiteral("1"));
    return roster;
}

TEST(RosterCsv, WritesCaptionsAndRowsInUse) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteRosterCsv(buffer, sampleRoster()));
    const QByteArray bytes = buffer.data();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(bytes.mid(3));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4); // captions, two rows, and nothing after the last CR LF
    EXPECT_EQ(lines.at(0),
              QStringLiteral("氏名,生年,月,日,血液型,出身地,所属,座右の銘,\"意気込み, 抱負\",好きな曲,"
                             "再生開始位置,再生時間,写真,除外"));
    EXPECT_EQ(lines.at(1),
              QStringLiteral("山田 太郎,1990,4,1,A,東京都,総務部,一期一会,\"彼は\"\"元気\"\", です\","
                             "SONG01.MP3,5,20,P01.JPG,"));
    EXPECT_EQ(lines.at(2), QStringLiteral("髙橋 ①,,,,,,,,,,,,,1"));
    EXPECT_EQ(lines.at(3), QString());
}

TEST(RosterCsv, ExportThenImportGivesTheSameRoster) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("名簿.csv"));
    const RosterTable original = sampleRoster();
    FileError failure;
    ASSERT_TRUE(ExportRosterCsv(path, original, failure)) << failure.Text.toStdString();

    ImportSource source;
    QString error;
    ASSERT_TRUE(source.Load(path, error)) << error.toStdString();
    EXPECT_EQ(source.Encoding(), TextEncoding::Utf8Bom);
    ProgramState state;
    state.Roster.Clear();
    state.Roster.SetCell(C::Name, 7, QStringLiteral("置き換えられる"));
    ImportOptions options;
    options.Mapping = GuessMapping(source.Table().first(), state.Roster);
    options.Mode = ImportMode::Replace;
    const ImportPlan plan(source.Table(), options, state.Roster, state.RosterEncoding);
    ASSERT_TRUE(plan.CanApply());
    plan.Apply(state);

    // Row 2 was not in use, so the participant of row 3 comes back as row 2, as after a save and load.
    RosterTable expected = original;
    for (int c = 0; c < R::kColumns; ++c) {
        expected.SetCell(C(c), 2, original.Cell(C(c), 3));
        expected.SetCell(C(c), 3, QString());
    }
    for (int r = 0; r <= R::kCapacity; ++r) {
        for (int c = 0; c < R::kColumns; ++c) {
            EXPECT_EQ(state.Roster.Cell(C(c), r), expected.Cell(C(c), r)) << "row " << r << " column " << c;
        }
    }
}

// A device that refuses every byte, as a full disk does.
class FullDevice : public QIODevice {
public:
    FullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST(RosterCsv, ReportsFailures) {
    FullDevice full;
    EXPECT_FALSE(WriteRosterCsv(full, sampleRoster()));

    QTemporaryDir dir;
    FileError failure;
    EXPECT_FALSE(
        ExportRosterCsv(dir.filePath(QStringLiteral("no/such/folder/名簿.csv")), sampleRoster(), failure));
    EXPECT_EQ(failure.Code, ENOENT);
}

TEST(RosterCsv, AFullDiskKeepsTheOldExport) {
    TinyFileSystem fs;
    QString reason;
    if (!fs.Mount(256, reason)) {
        GTEST_SKIP() << reason.toStdString();
    }
    const QString path = fs.FilePath(QStringLiteral("名簿.csv"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old export\r\n");
    old.close();
    RosterTable roster = sampleRoster();
    for (int r = 4; r <= R::kCapacity; ++r) {
        roster.SetCell(C::Name, r, QStringLiteral("参加者 %1").arg(r));
        roster.SetCell(C::Comment, r, QString(40, u'言'));
    }
    ASSERT_TRUE(fs.FillLeaving(4096));

    FileError failure;
    EXPECT_FALSE(ExportRosterCsv(path, roster, failure));
    EXPECT_EQ(failure.Code, ENOSPC);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old export\r\n"));
    EXPECT_EQ(fs.Entries(), QStringList{QStringLiteral("名簿.csv")}); // no temporary file left
}

} // namespace
