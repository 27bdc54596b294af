// Saving onto a file system that fills up: every writer must notice, keep the old file whole,
// leave no temporary file behind and say why with the system's own error.
#include "core/common/safefile.h"
#include "core/config/settingsfile.h"
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "core/transfer/rostercsv.h"
#include "support/fakes.h"
#include "support/tinyfilesystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// A roster of about 12 KB: below the size at which a buffered writer first touches the disk.
void FillRoster(RosterTable& roster, int rows) {
    roster.Clear();
    for (int r = 1; r <= rows; ++r) {
        roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
        roster.SetCell(RosterColumn::Affiliation, r, QStringLiteral("営業部第%1課").arg(r));
        roster.SetCell(RosterColumn::Comment, r,
                       QStringLiteral("よろしくお願いします。楽しみにしています。"));
        roster.SetCell(RosterColumn::Photo, r, QStringLiteral("P%1.JPG").arg(r, 3, 10, QLatin1Char('0')));
    }
}

// The free space left once the file system is full: none, or one page.
class FullFileSystem : public ::testing::TestWithParam<qint64> {};

TEST_P(FullFileSystem, EveryWriterKeepsTheOldFileAndSaysSo) {
    TinyFileSystem fs;
    QString reason;
    if (!fs.Mount(256, reason)) {
        GTEST_SKIP() << reason.toStdString();
    }
    ProgramState state;
    RecordingMessages messages;
    const QString roster = fs.FilePath(QStringLiteral("名簿.txt"));
    const QString ini = fs.FilePath(QStringLiteral("Mrda.ini"));
    const QString song = fs.FilePath(QStringLiteral("SONG.MP3"));
    WriteAll(roster, "old roster\r\n");
    WriteAll(ini, "[Mirda]\r\nCols = 9\r\n");
    WriteAll(song, "old song");
    const QString csv = fs.FilePath(QStringLiteral("名簿.csv"));
    WriteAll(csv, "old export\r\n");
    QTemporaryDir elsewhere;
    WriteAll(elsewhere.filePath(QStringLiteral("song.mp3")), QByteArray(40000, 's'));
    FillRoster(state.Roster, 80);
    state.RosterModified = true;
    state.ProgramFolder = fs.Path() + QStringLiteral("/");
    state.Settings.ApplyDefaults();
    // Long folder names make the settings file larger than the free space of every case.
    state.Settings.RosterFilePath = roster + QString(3000, u'名');
    state.Settings.Pictures = QStringLiteral("/home/organiser/") + QString(1500, u'写');
    ASSERT_TRUE(fs.FillLeaving(GetParam()));

    EXPECT_FALSE(SaveSettings(state, messages));
    state.Settings.RosterFilePath = roster;
    EXPECT_FALSE(SaveRoster(state, messages));
    EXPECT_TRUE(state.RosterModified);
    FileError error;
    EXPECT_FALSE(CopyFileSafely(elsewhere.filePath(QStringLiteral("song.mp3")), song, error));
    EXPECT_EQ(error.Code, ENOSPC);
    EXPECT_FALSE(ExportRosterCsv(csv, state.Roster, error));
    EXPECT_EQ(error.Code, ENOSPC);
    EXPECT_EQ(ReadAll(csv), QByteArray("old export\r\n"));
    EXPECT_EQ(ReadAll(roster), QByteArray("old roster\r\n"));
    EXPECT_EQ(ReadAll(ini), QByteArray("[Mirda]\r\nCols = 9\r\n"));
    EXPECT_EQ(ReadAll(song), QByteArray("old song"));
    EXPECT_EQ(fs.Entries().size(), 4) << fs.Entries().join(u' ').toStdString();
    ASSERT_EQ(messages.Shown.size(), 2); // the settings', then the roster's
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("エラー番号=28")))
        << messages.Shown[0].toStdString();
    EXPECT_TRUE(messages.Shown[1].contains(QStringLiteral("エラー番号=28")) &&
                messages.Shown[1].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << messages.Shown[1].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Writers, FullFileSystem, ::testing::Values(0, 4096));

// A device that takes the first bytes and then refuses, as a disk that fills up (or is full).
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        m_room -= size;
        if (m_room < 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return size;
    }

private:
    qint64 m_room;
};

TEST(FailingDevice, RosterWritesSaySoInsteadOfReportingSuccess) {
    RosterTable roster;
    FillRoster(roster, 20);
    FillingDevice device(100);
    QString error;
    EXPECT_FALSE(WriteRoster(device, roster, TextEncoding::Cp932, error));
    EXPECT_EQ(error, QStringLiteral("No space left on device"));
    FillingDevice full(0);
    EXPECT_FALSE(WriteRosterCsv(full, roster));
    QTemporaryDir dir;
    FileError failure;
    EXPECT_FALSE(ExportRosterCsv(dir.filePath(QStringLiteral("no/such/folder/名簿.csv")), roster, failure));
    EXPECT_EQ(failure.Code, ENOENT);
}

} // namespace
