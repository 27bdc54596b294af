#include "core/draw/profile.h"
#include "core/roster/roster.h"

#include <gtest/gtest.h>

namespace {
struct Person {
    const char16_t* year;
    const char16_t* month;
    const char16_t* day;
    const char16_t* place;
    const char16_t* blood;
};

RosterTable rosterWith(const Person& p) {
    RosterTable roster;
    roster.Clear();
    roster.SetCell(RosterColumn::Name, 1, QStringLiteral("山田"));
    roster.SetCell(RosterColumn::BirthYear, 1, QString::fromUtf16(p.year));
    roster.SetCell(RosterColumn::BirthMonth, 1, QString::fromUtf16(p.month));
    roster.SetCell(RosterColumn::BirthDay, 1, QString::fromUtf16(p.day));
    roster.SetCell(RosterColumn::Birthplace, 1, QString::fromUtf16(p.place));
    roster.SetCell(RosterColumn::BloodType, 1, QString::fromUtf16(p.blood));
    return roster;
}
} // namespace

TEST(Telop, LineAsTheFlagsAllow) {
    const struct {
        Person person;
        const char* dflag;
        const char16_t* expected;
    } cases[] = {
        {{u"1985", u"4", u"1", u"東京", u"A"}, "111111111", u"1985.4.1生 東京 出身  A型 の おひつじ座"},
        {{u"1985", u"4", u"1", u"東京", u"A"}, "110111111", u"1985.4.1生 東京 出身  おひつじ座"},
        {{u"1985", u"4", u"1", u"東京", u"A"}, "101111111", u"東京 出身  A型 の おひつじ座"},
        {{u"1985", u"4", u"1", u"東京", u"A"}, "111011111", u"1985.4.1生 A型 の おひつじ座"},
        {{u"1985", u"4", u"1", u"東京", u"A"}, "100011111", u""},
        {{u"", u"12", u"24", u"", u""}, "111111111", u".12.24生 やぎ座"},
        {{u"", u"", u"", u"大阪", u""}, "111111111", u"大阪 出身  "},
        {{u" 1990 ", u" 5 ", u"", u"", u" AB "}, "111111111", u"1990.5.生  AB 型 の おうし座"},
        {{u"", u"", u"", u"", u"O"}, "111111111", u"O型 "},
        {{u"", u"3", u"21", u"", u""}, "101111111", u""}, // a sign alone is not shown
    };
    for (const auto& c : cases) {
        const RosterTable roster = rosterWith(c.person);
        EXPECT_EQ(BuildTelopLine(roster, 1, QString::fromLatin1(c.dflag)), QString::fromUtf16(c.expected))
            << c.dflag << " " << QString::fromUtf16(c.expected).toStdString();
    }
}

// Each sign ends on the day before the next one begins; the keys are month * 100 + day.
TEST(Telop, ZodiacSignChangesBetweenTheLastAndTheFirstDay) {
    const struct {
        int month, lastDay; // the next sign begins on lastDay + 1 of the same month
        const char16_t *before, *after;
    } boundaries[] = {
        {1, 19, u"やぎ座", u"みずがめ座"},   {2, 18, u"みずがめ座", u"うお座"},
        {3, 20, u"うお座", u"おひつじ座"},   {4, 19, u"おひつじ座", u"おうし座"},
        {5, 20, u"おうし座", u"ふたご座"},   {6, 21, u"ふたご座", u"かに座"},
        {7, 22, u"かに座", u"しし座"},       {8, 22, u"しし座", u"おとめ座"},
        {9, 22, u"おとめ座", u"てんびん座"}, {10, 23, u"てんびん座", u"さそり座"},
        {11, 21, u"さそり座", u"いて座"},    {12, 21, u"いて座", u"やぎ座"},
    };
    for (const auto& b : boundaries) {
        SCOPED_TRACE(QStringLiteral("%1/%2").arg(b.month).arg(b.lastDay).toStdString());
        const QString month = QString::number(b.month);
        EXPECT_EQ(ZodiacSign(month, QString::number(b.lastDay)), QString::fromUtf16(b.before));
        EXPECT_EQ(ZodiacSign(month, QString::number(b.lastDay + 1)), QString::fromUtf16(b.after));
    }
}

// The month and day are read as numbers, so odd texts give a key of their own, or none.
TEST(Telop, ZodiacSignOfOddDates) {
    const struct {
        const char16_t* month;
        const char16_t* day;
        const char16_t* sign;
    } cases[] = {
        {u"12", u"31", u"やぎ座"}, {u"1", u"1", u"やぎ座"}, {u"12", u"32", u""},
        {u"5", u"", u"おうし座"},  {u"", u"", u""},         {u"", u"25", u""},
        {u"1,2", u"1", u"いて座"}, {u"abc", u"5", u""},     {u"99999", u"1", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZodiacSign(QString::fromUtf16(c.month), QString::fromUtf16(c.day)),
                  QString::fromUtf16(c.sign))
            << QString::fromUtf16(c.month).toStdString() << "/" << QString::fromUtf16(c.day).toStdString();
    }
}

TEST(Telop, TypedLinesUseTheCaptionsOfRowZero) {
    RosterTable roster;
    roster.Clear();
    roster.SetCell(RosterColumn::Name, 1, QStringLiteral("山田"));
    roster.SetCell(RosterColumn::Affiliation, 1, QStringLiteral(" 営業部 "));
    roster.SetCell(RosterColumn::FavouriteWords, 1, QStringLiteral("一期一会"));
    roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("よろしく"));
    using Lines = std::vector<ProfileLine>;
    EXPECT_EQ(BuildProfileLines(roster, 1, QStringLiteral("111111111")),
              (Lines{{QStringLiteral("営業部 所属"), true},
                     {QStringLiteral("[好きな言葉]:一期一会"), true},
                     {QStringLiteral("[一言]:よろしく"), false}}));
    roster.SetCell(RosterColumn::FavouriteWords, 0, QStringLiteral(" 座右の銘 "));
    roster.SetCell(RosterColumn::Comment, 0, QStringLiteral("ひとこと"));
    EXPECT_EQ(BuildProfileLines(roster, 1, QStringLiteral("111101111")),
              (Lines{{QStringLiteral("[座右の銘]:一期一会"), true},
                     {QStringLiteral("[ひとこと]:よろしく"), false}}));
    EXPECT_TRUE(BuildProfileLines(roster, 1, QStringLiteral("111100011")).empty());
    roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("   "));
    EXPECT_EQ(BuildProfileLines(roster, 1, QStringLiteral("000000100")).size(), 0u);
}

TEST(Telop, DflagCharacters) {
    EXPECT_TRUE(DflagOn(QStringLiteral("100000001"), IntroItem::Name));
    EXPECT_TRUE(DflagOn(QStringLiteral("100000001"), IntroItem::Photo));
    EXPECT_FALSE(DflagOn(QStringLiteral("100000001"), IntroItem::Song));
    EXPECT_FALSE(DflagOn(QStringLiteral("1"), IntroItem::BirthDate)); // short text: off
}
