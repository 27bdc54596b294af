#include "core/common/safefile.h"
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

// Quoted where needed; a formula a spreadsheet would run gets an apostrophe, which the import
// takes away again (and only that one).
TEST_P(CsvFieldTest, ReadsBackAsItWas) {
    const QString cell = QString::fromUtf16(GetParam().cell);
    QString written = CsvField(cell);
    if (written.startsWith(u'"')) {
        written = written.mid(1, written.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    }
    EXPECT_EQ(StripFormulaGuard(written).toString(), cell);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvFieldTest,
    testing::Values(FieldCase{u"山田 太郎", u"山田 太郎"}, FieldCase{u"", u""}, FieldCase{u"a,b", u"\"a,b\""},
                    FieldCase{u"彼は\"元気\"", u"\"彼は\"\"元気\"\"\""},
                    FieldCase{u"一行目\n二行目", u"\"一行目\n二行目\""}, FieldCase{u"a\rb", u"\"a\rb\""},
                    FieldCase{u"a;b\tc", u"a;b\tc"}, FieldCase{u"=1+1", u"'=1+1"},
                    FieldCase{u"+81-90-1234", u"'+81-90-1234"}, FieldCase{u"-山田 一", u"'-山田 一"},
                    FieldCase{u"@SUM(A1)", u"'@SUM(A1)"}, FieldCase{u"\tx", u"'\tx"},
                    FieldCase{u"\rx", u"\"'\rx\""}, FieldCase{u"=a,b", u"\"'=a,b\""},
                    FieldCase{u"'=x", u"''=x"}, FieldCase{u"''-x", u"'''-x"}, FieldCase{u"'abc", u"'abc"},
                    FieldCase{u"'", u"'"}, FieldCase{u"a=b", u"a=b"}));

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
