#include "core/transfer/birthdate.h"
#include "core/transfer/columnmapping.h"

#include <array>
#include <gtest/gtest.h>

namespace {

using R = RosterTable;
using C = RosterColumn;

struct GuessCase {
    const char* what;
    std::vector<const char16_t*> header;
    // Per roster column, in the roster's order (氏名, 生年, 月, 日, 血液型, 出身地, 所属, 好きな言葉,
    // 一言, 好きな曲, 再生開始位置, 再生時間, 写真, 除外): the source column it takes, or -1.
    std::array<int, R::kColumns> expected;
};

class GuessMappingTest : public testing::TestWithParam<GuessCase> {};

TEST_P(GuessMappingTest, FindsTheColumns) {
    const GuessCase& c = GetParam();
    QStringList header;
    for (const char16_t* h : c.header) {
        header.append(QString::fromUtf16(h));
    }
    RosterTable roster;
    roster.Clear();
    EXPECT_EQ(GuessMapping(header, roster).Source, c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, GuessMappingTest,
    testing::Values(GuessCase{"a form export",
                              {u"タイムスタンプ", u"お名前（必須）", u"フリガナ", u"誕生日", u"血液型",
                               u"出身", u"部署", u"ひとことコメント", u"好きな曲", u"写真"},
                              {1, 3, 3, 3, 4, 5, 6, -1, 7, 8, -1, -1, 9, -1}},
                    GuessCase{"English headers in any case and width",
                              {u"Ｎａｍｅ", u"Birthday", u"Blood", u"Birthplace", u"Company", u"Comment",
                               u"Song", u"Photo"},
                              {0, 1, 1, 1, 2, 3, 4, -1, 5, 6, -1, -1, 7, -1}},
                    GuessCase{"separate year, month and day win over a birth date column",
                              {u"名前", u"生年月日", u"生年", u"月", u"日"},
                              {0, 2, 3, 4, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
                    GuessCase{"a reading is not the name; the company name is an affiliation",
                              {u"ふりがな", u"会社名", u"フルネーム", u"好きな言葉", u"除外"},
                              {2, -1, -1, -1, -1, -1, 1, 3, -1, -1, -1, -1, -1, 4}},
                    GuessCase{"an exact name wins over one that contains a key",
                              {u"氏名（ふりがな）", u"参加者の名前", u"お名前"},
                              {2, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
                    GuessCase{"a roster's own header maps column to column",
                              {u"氏名", u"生年", u"月", u"日", u"血液型", u"出身地", u"所属", u"趣味",
                               u"抱負", u"好きな曲", u"再生開始位置", u"再生時間", u"写真", u"除外"},
                              {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
                    GuessCase{"nothing known",
                              {u"山田 太郎", u"1990/4/1", u"A"},
                              {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}}));

TEST(GuessMapping, KnowsTheRostersRenamedCaptions) {
    RosterTable roster;
    roster.Clear();
    roster.SetCell(C::FavouriteWords, 0, QStringLiteral("趣味"));
    const QStringList header{QStringLiteral("名前"), QStringLiteral("趣味")};
    EXPECT_EQ(GuessMapping(header, roster)[C::FavouriteWords], 1);
}

struct DateCase {
    const char16_t* text;
    int year, month, day; // month 0: not a date
};

class BirthDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(BirthDateTest, ReadsTheDate) {
    const DateCase& c = GetParam();
    const auto date = ParseBirthDate(QString::fromUtf16(c.text));
    if (c.month == 0) {
        EXPECT_FALSE(date.has_value()) << QString::fromUtf16(c.text).toStdString();
        return;
    }
    ASSERT_TRUE(date.has_value()) << QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(date->Year, c.year);
    EXPECT_EQ(date->Month, c.month);
    EXPECT_EQ(date->Day, c.day);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, BirthDateTest,
    testing::Values(DateCase{u"1990/4/1", 1990, 4, 1}, DateCase{u"1990-04-01", 1990, 4, 1},
                    DateCase{u"1990.4.1", 1990, 4, 1}, DateCase{u"1990年4月1日", 1990, 4, 1},
                    DateCase{u"１９９０年４月１日", 1990, 4, 1}, DateCase{u" 1990/04/01 0:00", 1990, 4, 1},
                    DateCase{u"1990-04-01T00:00:00", 1990, 4, 1}, DateCase{u"19900401", 1990, 4, 1},
                    DateCase{u"平成2年4月1日", 1990, 4, 1}, DateCase{u"H2.4.1", 1990, 4, 1},
                    DateCase{u"昭和元年12月25日", 1926, 12, 25}, DateCase{u"令和5/1/9", 2023, 1, 9},
                    DateCase{u"4月1日", 0, 4, 1},
                    // not dates
                    DateCase{u"1990", 0, 0, 0}, DateCase{u"4", 0, 0, 0}, DateCase{u"1990/13/1", 0, 0, 0},
                    DateCase{u"1990/4/32", 0, 0, 0}, DateCase{u"12345678", 0, 0, 0}, DateCase{u"", 0, 0, 0},
                    DateCase{u"X2.4.1", 0, 0, 0}, DateCase{u"山田", 0, 0, 0}));

} // namespace
