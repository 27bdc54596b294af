#include "core/transfer/birthdate.h"
#include "core/transfer/columnmapping.h"

#include <gtest/gtest.h>
#include <map>

namespace {

using R = RosterTable;
using C = RosterColumn;

struct GuessCase {
    const char* what;
    std::vector<const char16_t*> header;
    std::map<RosterColumn, int> expected; // roster column -> source column; every other one unmapped
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
    const ColumnMapping mapping = GuessMapping(header, roster);
    for (int i = 0; i < R::kColumns; ++i) {
        const C column = C(i);
        const auto it = c.expected.find(column);
        EXPECT_EQ(mapping[column], it == c.expected.end() ? kNoSource : it->second)
            << c.what << ": roster column " << R::DefaultCaption(column).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, GuessMappingTest,
    testing::Values(GuessCase{"a form export",
                              {u"タイムスタンプ", u"お名前（必須）", u"フリガナ", u"誕生日", u"血液型",
                               u"出身", u"部署", u"ひとことコメント", u"好きな曲", u"写真"},
                              {{C::Name, 1},
                               {C::BirthYear, 3},
                               {C::BirthMonth, 3},
                               {C::BirthDay, 3},
                               {C::BloodType, 4},
                               {C::Birthplace, 5},
                               {C::Affiliation, 6},
                               {C::Comment, 7},
                               {C::Song, 8},
                               {C::Photo, 9}}},
                    GuessCase{"English headers in any case and width",
                              {u"Ｎａｍｅ", u"Birthday", u"Blood", u"Birthplace", u"Company", u"Comment",
                               u"Song", u"Photo"},
                              {{C::Name, 0},
                               {C::BirthYear, 1},
                               {C::BirthMonth, 1},
                               {C::BirthDay, 1},
                               {C::BloodType, 2},
                               {C::Birthplace, 3},
                               {C::Affiliation, 4},
                               {C::Comment, 5},
                               {C::Song, 6},
                               {C::Photo, 7}}},
                    GuessCase{"separate year, month and day win over a birth date column",
                              {u"名前", u"生年月日", u"生年", u"月", u"日"},
                              {{C::Name, 0}, {C::BirthYear, 2}, {C::BirthMonth, 3}, {C::BirthDay, 4}}},
                    GuessCase{"a reading is not the name; the company name is an affiliation",
                              {u"ふりがな", u"会社名", u"フルネーム", u"好きな言葉", u"除外"},
                              {{C::Name, 2}, {C::Affiliation, 1}, {C::FavouriteWords, 3}, {C::Excluded, 4}}},
                    GuessCase{"an exact name wins over one that contains a key",
                              {u"氏名（ふりがな）", u"参加者の名前", u"お名前"},
                              {{C::Name, 2}}},
                    GuessCase{"a roster's own header maps column to column",
                              {u"氏名", u"生年", u"月", u"日", u"血液型", u"出身地", u"所属", u"趣味",
                               u"抱負", u"好きな曲", u"再生開始位置", u"再生時間", u"写真", u"除外"},
                              {{C::Name, 0},
                               {C::BirthYear, 1},
                               {C::BirthMonth, 2},
                               {C::BirthDay, 3},
                               {C::BloodType, 4},
                               {C::Birthplace, 5},
                               {C::Affiliation, 6},
                               {C::FavouriteWords, 7},
                               {C::Comment, 8},
                               {C::Song, 9},
                               {C::SongStart, 10},
                               {C::SongSeconds, 11},
                               {C::Photo, 12},
                               {C::Excluded, 13}}},
                    GuessCase{"nothing known", {u"山田 太郎", u"1990/4/1", u"A"}, {}}));

TEST(GuessMapping, KnowsTheRostersRenamedCaptions) {
    RosterTable roster;
    roster.Clear();
    roster.SetCell(C::FavouriteWords, 0, QStringLiteral("趣味"));
    const QStringList header{QStringLiteral("名前"), QStringLiteral("趣味")};
    EXPECT_EQ(GuessMapping(header, roster)[C::FavouriteWords], 1);
    EXPECT_TRUE(LooksLikeHeader(header, roster));
    EXPECT_FALSE(
        LooksLikeHeader(QStringList{QStringLiteral("山田 太郎"), QStringLiteral("1990/4/1")}, roster));
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
