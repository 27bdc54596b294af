#include "core/record/cardrecord.h"
#include "core/record/recordfile.h"
#include "core/roster/roster.h"
#include "support/tinyfilesystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/mount.h>

namespace {

// A card of side n whose cell (i, j) holds row i × n + j + 1, the centre the mark when asked.
RecordedCard card(int number, int n, bool markInCentre = true) {
    RecordedCard c;
    c.Number = number;
    c.Issued = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
    c.RosterPath = QStringLiteral("C:\\名簿\\Sample01.txt");
    c.Fingerprint = QStringLiteral("abc");
    c.Layout = QStringLiteral("Ａ４縦  ４面付け");
    c.Side = n;
    for (int k = 0; k < n * n; ++k) {
        const bool centre = k == (n * n) / 2;
        if (centre && markInCentre) {
            c.Cells.push_back({0, QStringLiteral("★"), true});
        } else {
            c.Cells.push_back(
                {static_cast<qint16>(k + 1), QStringLiteral("参加者, \"%1\"").arg(k + 1), centre});
        }
    }
    return c;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void appendRaw(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

TEST(CardRecord, CardsAppendedReadBackExactlyAndOnlyTheNewLinesAreRead) {
    QTemporaryDir dir;
    const QString path = CardRecordPath(dir.path(), QStringLiteral("/x/Sample01.txt"));
    EXPECT_TRUE(path.endsWith(QStringLiteral("カード記録_Sample01.csv")));
    const std::vector<RecordedCard> cards = {card(1, 5), card(2, 3, false), card(3, 9)};
    FileError error;
    ASSERT_TRUE(AddCardsToRecord(path, {cards[0], cards[1]}, error));
    CardRecordIndex record;
    ASSERT_TRUE(record.Refresh(path, error)) << error.Text.toStdString();
    EXPECT_EQ(record.NextNumber(), 3);

    ASSERT_TRUE(AddCardsToRecord(path, {cards[2]}, error));
    ASSERT_TRUE(MarkCardsNotPrinted(path, {cards[2]}, QDateTime(QDate(2026, 12, 7), QTime(10, 5)), error));
    ASSERT_TRUE(record.Refresh(path, error)) << error.Text.toStdString();
    ASSERT_EQ(record.Cards().size(), 3u);
    EXPECT_EQ(record.Cards()[1].Cells, cards[1].Cells);
    EXPECT_EQ(record.Cards()[2].Status, CardStatus::NotPrinted);
    EXPECT_EQ(record.NextNumber(), 4);

    // The file replaced by another (shorter) one: read again from its start.
    QFile::remove(path);
    ASSERT_TRUE(AddCardsToRecord(path, {card(7, 3)}, error));
    ASSERT_TRUE(record.Refresh(path, error));
    ASSERT_EQ(record.Cards().size(), 1u);
    EXPECT_EQ(record.Cards()[0].Number, 7);
}

// A last line cut short (a crash, a full disk) is named while it is cut, stays a line of its
// own when the next cards are appended, and is never glued to them.
TEST(CardRecord, ALineCutShortIsEndedBeforeTheNextCards) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.csv"));
    FileError error;
    ASSERT_TRUE(AddCardsToRecord(path, {card(1, 3)}, error));
    const QByteArray line = CardRecordLines({card(2, 3)}).left(30);
    appendRaw(path, line);
    CardRecordIndex record;
    EXPECT_FALSE(record.Refresh(path, error));
    EXPECT_EQ(error.Text, QStringLiteral("11 行目: 途中で切れています"));

    ASSERT_TRUE(AddCardsToRecord(path, {card(3, 3)}, error));
    EXPECT_TRUE(readAll(path).contains(line + "\r\n3,"));
    EXPECT_FALSE(record.Refresh(path, error));
    EXPECT_TRUE(error.Text.startsWith(QStringLiteral("11 行目")));
    ASSERT_NE(record.Find(3), nullptr);
    EXPECT_EQ(record.Find(3)->Cells, card(3, 3).Cells);
}

// A record that cannot take the lines (a full disk, a read-only one) is left exactly as it was and
// says why.
class AppendRefused : public ::testing::TestWithParam<int> {};

TEST_P(AppendRefused, LeavesTheRecordAsItWas) {
    TinyFileSystem fs;
    QString reason;
    if (!fs.Mount(256, reason)) {
        GTEST_SKIP() << reason.toStdString();
    }
    const QString cards = fs.FilePath(QStringLiteral("cards.csv"));
    FileError error;
    ASSERT_TRUE(AddCardsToRecord(cards, {card(1, 5)}, error));
    appendRaw(cards, "2,2026-12"); // a line cut short before: it stays as it is
    const QByteArray cardsBefore = readAll(cards);
    if (GetParam() == ENOSPC) {
        ASSERT_TRUE(fs.FillLeaving(4096));
    } else {
        ASSERT_EQ(::mount(nullptr, QFile::encodeName(fs.Path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                          nullptr),
                  0);
    }
    std::vector<RecordedCard> many;
    for (int n = 2; n < 40; ++n) {
        many.push_back(card(n, 9)); // far more than a page
    }
    EXPECT_FALSE(AddCardsToRecord(cards, many, error));
    EXPECT_EQ(error.Code, GetParam());
    EXPECT_EQ(readAll(cards), cardsBefore);
}

INSTANTIATE_TEST_SUITE_P(Records, AppendRefused, ::testing::Values(ENOSPC, EROFS), [](const auto& info) {
    return std::string(info.param == ENOSPC ? "FullDisk" : "ReadOnly");
});

// A cell is checked by its row and the name printed in it: a spelling fix since printing does not
// matter, a row given to someone else does.
TEST(CardCheck, ACellCountsWhileItsRowNamesThePersonPrinted) {
    RecordedCard printed = card(1, 3);
    RosterTable roster;
    for (int r = 1; r <= 9; ++r) {
        roster.SetCell(RosterColumn::Name, r, printed.Cells[static_cast<size_t>(r - 1)].Name);
    }
    roster.SetCell(RosterColumn::Name, 1, QStringLiteral("参加者, \"1\"さ")); // a fix
    roster.SetCell(RosterColumn::Name, 3, QStringLiteral("別の人"));          // given to someone else
    const CardVerdict v = CheckCard(printed, {1, 2, 3}, &roster);
    EXPECT_EQ(v.Lines, 0);
    EXPECT_EQ(v.Renamed, 1);
    EXPECT_TRUE(v.Note.contains(QStringLiteral("1 マス")));
    EXPECT_TRUE(v.Marked[0]);
    EXPECT_FALSE(v.Marked[2]);
}

} // namespace
