#include "core/record/cardrecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
            c.Cells.push_back({static_cast<qint16>(k + 1), QStringLiteral("参加者, %1").arg(k + 1), centre});
        }
    }
    return c;
}

std::set<qint16> rows(std::initializer_list<int> list) {
    std::set<qint16> out;
    for (int r : list) {
        out.insert(static_cast<qint16>(r));
    }
    return out;
}

TEST(CardRecord, ReadsBackEveryCellOfEveryCard) {
    const std::vector<RecordedCard> cards = {card(1, 5), card(2, 3, false), card(3, 9)};
    const std::vector<RecordedCard> back = ReadCardRecord(WriteCardRecord(cards));
    ASSERT_EQ(back.size(), 3u);
    for (size_t c = 0; c < cards.size(); ++c) {
        EXPECT_EQ(back[c].Number, cards[c].Number);
        EXPECT_EQ(back[c].Side, cards[c].Side);
        EXPECT_EQ(back[c].RosterPath, cards[c].RosterPath);
        EXPECT_EQ(back[c].Layout, cards[c].Layout);
        ASSERT_EQ(back[c].Cells.size(), cards[c].Cells.size());
        for (size_t k = 0; k < cards[c].Cells.size(); ++k) {
            EXPECT_EQ(back[c].Cells[k].Row, cards[c].Cells[k].Row);
            EXPECT_EQ(back[c].Cells[k].Name, cards[c].Cells[k].Name); // commas survive the CSV
            EXPECT_EQ(back[c].Cells[k].Centre, cards[c].Cells[k].Centre);
        }
    }
    EXPECT_TRUE(back[0].Cells[12].IsMark());
    EXPECT_FALSE(back[1].Cells[4].IsMark());
}

// The phone columns come back as written; a record written before the address column existed
// (twelve columns) still gives its cards, with no address.
struct PhoneColumnsCase {
    const char* label;
    const char* token;
    const char* address;
    bool oldRecord;
};

class CardRecordPhoneColumns : public ::testing::TestWithParam<PhoneColumnsCase> {};

// The bytes without their last column, as an older program wrote them.
QByteArray WithoutLastColumn(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines) {
        const qsizetype comma = line.lastIndexOf(',');
        if (comma >= 0) {
            line = line.left(comma) + "\r";
        }
    }
    return lines.join('\n');
}

TEST_P(CardRecordPhoneColumns, RoundTrip) {
    const PhoneColumnsCase& c = GetParam();
    std::vector<RecordedCard> cards = {card(1, 3), card(2, 5)};
    for (RecordedCard& each : cards) {
        each.Token = QString::fromLatin1(c.token);
        each.PhoneAddress = QString::fromLatin1(c.address);
    }
    QByteArray bytes = WriteCardRecord(cards);
    if (c.oldRecord) {
        bytes = WithoutLastColumn(bytes);
        EXPECT_FALSE(bytes.contains(QStringLiteral("スマホ用アドレス").toUtf8()));
    }
    const std::vector<RecordedCard> back = ReadCardRecord(bytes);
    ASSERT_EQ(back.size(), 2u);
    for (const RecordedCard& each : back) {
        EXPECT_EQ(each.Token, QString::fromLatin1(c.token));
        EXPECT_EQ(each.PhoneAddress, c.oldRecord ? QString() : QString::fromLatin1(c.address));
        EXPECT_EQ(static_cast<int>(each.Cells.size()), each.Side * each.Side);
    }
}

INSTANTIATE_TEST_SUITE_P(Phones, CardRecordPhoneColumns,
                         ::testing::Values(PhoneColumnsCase{"NoPhones", "", "", false},
                                           PhoneColumnsCase{"TokenAndAddress", "AbC-_0123456789abcdefXYZ",
                                                            "192.168.1.20:50080", false},
                                           PhoneColumnsCase{"OldRecordWithToken", "AbC-_0123456789abcdefXYZ",
                                                            "", true},
                                           PhoneColumnsCase{"OldRecordWithoutToken", "", "", true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(CardRecord, ACardWithoutItsWholeGridIsNoCard) {
    QByteArray bytes = WriteCardRecord({card(1, 3), card(2, 3)});
    const qsizetype lastLine = bytes.lastIndexOf("\r\n", bytes.size() - 3);
    bytes.truncate(lastLine + 2); // card 2 loses its last cell
    const std::vector<RecordedCard> back = ReadCardRecord(bytes);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].Number, 1);
}

TEST(CardRecord, NumbersGoOnAcrossRunsAndTheOldRecordStays) {
    QTemporaryDir dir;
    const QString path = CardRecordPath(dir.path(), QStringLiteral("/x/Sample01.txt"));
    EXPECT_TRUE(path.endsWith(QStringLiteral("カード記録_Sample01.csv")));
    FileError error;
    ASSERT_TRUE(AddCardsToRecord(path, {card(1, 5), card(2, 5)}, error));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<RecordedCard> recorded = ReadCardRecord(file.readAll());
    file.close();
    EXPECT_EQ(NextCardNumber(recorded), 3);
    ASSERT_TRUE(AddCardsToRecord(path, {card(3, 7), card(4, 3)}, error));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    recorded = ReadCardRecord(file.readAll());
    EXPECT_EQ(recorded.size(), 4u);
    EXPECT_EQ(NextCardNumber(recorded), 5);
    EXPECT_EQ(NextCardNumber({}), 1);
}

TEST(CardRecord, FindsACardOnlyForTheSameRoster) {
    const std::vector<RecordedCard> cards = {card(7, 5)};
    EXPECT_EQ(FindCard(cards, 7, QStringLiteral("abc")).Card, &cards[0]);
    const CardLookup other = FindCard(cards, 7, QStringLiteral("xyz"));
    EXPECT_EQ(other.Card, nullptr);
    EXPECT_TRUE(other.Refusal.contains(QStringLiteral("No.0007")));
    EXPECT_TRUE(other.Refusal.contains(QStringLiteral("確認できません")));
    EXPECT_EQ(FindCard(cards, 8, QStringLiteral("abc")).Refusal,
              QStringLiteral("カード No.0008 は記録にありません。"));
}

struct VerdictCase {
    const char* label;
    int side;
    bool markInCentre;
    std::set<qint16> drawn;
    int lines;
    int reaches;
    const char16_t* words;
};

class CardCheck : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(CardCheck, CountsLinesAndReaches) {
    const VerdictCase& c = GetParam();
    const CardVerdict v = CheckCard(card(1, c.side, c.markInCentre), c.drawn);
    EXPECT_EQ(v.Lines, c.lines);
    EXPECT_EQ(v.Reaches, c.reaches);
    EXPECT_EQ(v.Words, QString::fromUtf16(c.words));
}

// Cells are numbered row by row from 1: on 3 × 3 the first row is 1 2 3, the centre is 5.
INSTANTIATE_TEST_SUITE_P(
    Lines, CardCheck,
    ::testing::Values(
        VerdictCase{"NothingDrawnTheMarkAlone", 3, true, {}, 0, 0, u"1 マスが開いています"},
        VerdictCase{"ARowOnThree", 3, true, rows({1, 2, 3}), 1, 3, u"ビンゴ！（1 列）"},
        VerdictCase{"AColumnOnThree", 3, true, rows({3, 6, 9}), 1, 3, u"ビンゴ！（1 列）"},
        VerdictCase{"DiagonalThroughTheMark", 3, true, rows({1, 9}), 1, 0, u"ビンゴ！（1 列）"},
        VerdictCase{"OtherDiagonal", 3, true, rows({3, 7}), 1, 0, u"ビンゴ！（1 列）"},
        VerdictCase{"ReachesOnly", 3, true, rows({1}), 0, 1, u"リーチ（1 列）"},
        VerdictCase{"CentreParticipantNotDrawn", 3, false, rows({1, 9}), 0, 1, u"リーチ（1 列）"},
        VerdictCase{"CentreParticipantDrawn", 3, false, rows({1, 5, 9}), 1, 0, u"ビンゴ！（1 列）"},
        VerdictCase{"TwoLinesOnFive", 5, true, rows({1, 2, 3, 4, 5, 6, 11, 16, 21}), 2, 0,
                    u"ビンゴ！（2 列）"},
        VerdictCase{"RowOfNineLacksOne", 9, true, rows({1, 2, 3, 4, 5, 6, 7, 8}), 0, 1, u"リーチ（1 列）"},
        VerdictCase{"FullNine", 9, true, rows({1, 2, 3, 4, 5, 6, 7, 8, 9}), 1, 0, u"ビンゴ！（1 列）"},
        VerdictCase{"RowsNotOnTheCardCountNothing", 3, true, rows({40, 41}), 0, 0, u"1 マスが開いています"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
