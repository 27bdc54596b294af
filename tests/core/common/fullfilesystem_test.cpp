// Saving onto a file system that fills up: every writer must notice, keep the old file whole,
// leave no temporary file behind and say why with the system's own error.
#include "core/common/safefile.h"
#include "core/config/settingsfile.h"
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "support/fakes.h"
#include "support/tinyfilesystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A roster of about 12 KB: below the size at which a buffered writer first touches the disk.
void fillRoster(RosterTable& roster, int rows) {
    roster.Clear();
    for (int r = 1; r <= rows; ++r) {
        roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
        roster.SetCell(RosterColumn::Affiliation, r, QStringLiteral("営業部第%1課").arg(r));
        roster.SetCell(RosterColumn::Comment, r,
                       QStringLiteral("よろしくお願いします。楽しみにしています。"));
        roster.SetCell(RosterColumn::Photo, r, QStringLiteral("P%1.JPG").arg(r, 3, 10, QLatin1Char('0')));
    }
}

struct FreeSpace {
    const char* label;
    qint64 bytes;
};

class FullFileSystem : public ::testing::TestWithParam<FreeSpace> {
protected:
    void SetUp() override {
        QString reason;
        if (!fs.Mount(256, reason)) {
            GTEST_SKIP() << reason.toStdString();
        }
    }
    // Fills the file system, leaving the free space of the test's parameter.
    void Fill() { ASSERT_TRUE(fs.FillLeaving(GetParam().bytes)); }

    TinyFileSystem fs;
    ProgramState state;
    RecordingMessages messages;
};

TEST_P(FullFileSystem, RosterSaveKeepsTheOldFileAndSaysSo) {
    const QString path = fs.FilePath(QStringLiteral("名簿.txt"));
    writeAll(path, "old roster\r\n");
    fillRoster(state.Roster, 80);
    state.Settings.RosterFilePath = path;
    state.RosterModified = true;
    Fill();

    EXPECT_FALSE(SaveRoster(state, messages));
    EXPECT_TRUE(state.RosterModified);
    EXPECT_EQ(readAll(path), QByteArray("old roster\r\n"));
    EXPECT_EQ(fs.Entries(), QStringList{QStringLiteral("名簿.txt")});
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("エラー番号=28")))
        << messages.Shown[0].toStdString();
    EXPECT_TRUE(messages.Shown[0].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
}

TEST_P(FullFileSystem, SettingsSaveKeepsTheOldFileAndSaysSo) {
    state.ProgramFolder = fs.Path() + QStringLiteral("/");
    const QString path = fs.FilePath(QStringLiteral("Mrda.ini"));
    writeAll(path, "[Mirda]\r\nCols = 9\r\n");
    // Long folder names make the file larger than the free space of every case.
    state.Settings.ApplyDefaults();
    state.Settings.RosterFilePath = QStringLiteral("/home/organiser/") + QString(3000, u'名');
    state.Settings.Pictures = QStringLiteral("/home/organiser/") + QString(1500, u'写');
    Fill();

    EXPECT_FALSE(SaveSettings(state, messages));
    EXPECT_EQ(readAll(path), QByteArray("[Mirda]\r\nCols = 9\r\n"));
    EXPECT_EQ(fs.Entries(), QStringList{QStringLiteral("Mrda.ini")});
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("エラー番号=28")))
        << messages.Shown[0].toStdString();
}

TEST_P(FullFileSystem, CopyOfADroppedFileKeepsTheOldCopy) {
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(QStringLiteral("song.mp3"));
    writeAll(source, QByteArray(40000, 's'));
    const QString target = fs.FilePath(QStringLiteral("SONG.MP3"));
    writeAll(target, "old song");
    Fill();

    FileError error;
    EXPECT_FALSE(CopyFileSafely(source, target, error));
    EXPECT_EQ(error.Code, ENOSPC);
    EXPECT_EQ(readAll(target), QByteArray("old song"));
    EXPECT_EQ(fs.Entries(), QStringList{QStringLiteral("SONG.MP3")});
}

INSTANTIATE_TEST_SUITE_P(Writers, FullFileSystem,
                         ::testing::Values(FreeSpace{"NothingFree", 0}, FreeSpace{"OnePageFree", 4096}),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace

namespace {

// A device that takes the first bytes and then refuses, as a disk that fills up.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }
    QByteArray Taken;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (Taken.size() + size > m_room) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        Taken.append(data, size);
        return size;
    }

private:
    qint64 m_room;
};

TEST(FailingDevice, RosterWriteSaysSoInsteadOfReportingSuccess) {
    RosterTable roster;
    fillRoster(roster, 20);
    FillingDevice device(100);
    QString error;
    EXPECT_FALSE(WriteRoster(device, roster, TextEncoding::Cp932, error));
    EXPECT_EQ(error, QStringLiteral("No space left on device"));
}

} // namespace
