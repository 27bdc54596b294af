#include "core/draw/profile.h"
#include "core/roster/roster.h"

#include <gtest/gtest.h>

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
