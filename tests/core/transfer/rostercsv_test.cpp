#include "core/common/safefile.h"
#include "core/transfer/rostercsv.h"
#include "support/tinyfilesystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

using R = RosterTable;
using C = RosterColumn;

RosterTable sampleRoster() {
    RosterTable roster;
    roster.Clear();
    roster.SetCell(C::Name, 1, QStringLiteral("山田 太郎"));
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
