#include "core/cards/cardcontents.h"
#include "core/common/platform.h"
#include "core/common/random.h"
#include "core/roster/roster.h"
#include "support/fakes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <vector>

namespace {

RosterTable rosterNamed(std::initializer_list<int> rows) {
    RosterTable r;
    r.Clear();
    for (int row : rows) {
        r.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
    }
    return r;
}

RosterTable rosterOfFirst(int count) {
    RosterTable r;
    r.Clear();
    for (int row = 1; row <= count; ++row) {
        r.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
    }
    return r;
}

// The rows of the cells a normal card fills, in the order drawn, with their positions.
struct Fill {
    bool Filled = false;
    std::vector<std::pair<int, int>> Cells;
    std::vector<int> Rows;
};

Fill fill(const RosterTable& roster, FractionSource& random, int n, qint16 centre) {
    Fill result;
    result.Filled = FillNormalCard(roster, QStringLiteral("pics"), random, n, centre,
                                   [&](int i, int j, const CellContent& content) {
                                       result.Cells.emplace_back(i, j);
                                       result.Rows.push_back(content.Text.mid(3).toInt());
                                   });
    return result;
}

TEST(CardContents, EveryEligibleParticipantOnceWhenThereAreEnough) {
    const RosterTable roster = rosterOfFirst(24);
    ClockSeededFractions random(12345);
    for (int card = 0; card < 20; ++card) {
        const Fill f = fill(roster, random, 5, 0);
        ASSERT_TRUE(f.Filled);
        ASSERT_EQ(f.Rows.size(), 24u);
        std::map<int, int> seen;
        for (int row : f.Rows) {
            ++seen[row];
        }
        EXPECT_EQ(seen.size(), 24u);
        EXPECT_EQ(seen.begin()->first, 1);
        EXPECT_EQ(seen.rbegin()->first, 24);
    }
}

TEST(CardContents, CellsAreFilledInReadingOrderSkippingTheCentre) {
    const RosterTable roster = rosterOfFirst(30);
    ScriptedFractions first{0.0};
    const Fill f = fill(roster, first, 3, 0);
    const std::vector<std::pair<int, int>> expected = {{1, 1}, {1, 2}, {1, 3}, {2, 1},
                                                       {2, 3}, {3, 1}, {3, 2}, {3, 3}};
    EXPECT_EQ(f.Cells, expected);
    // Always picking the first entry shows the pool's order.
    EXPECT_EQ(f.Rows, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(CardContents, TooFewParticipantsCycleThroughAllBeforeRepeating) {
    const RosterTable roster = rosterOfFirst(10);
    ClockSeededFractions random(7);
    const Fill f = fill(roster, random, 5, 0);
    ASSERT_EQ(f.Rows.size(), 24u);
    for (int cycle = 0; cycle < 2; ++cycle) {
        std::set<int> rows(f.Rows.begin() + cycle * 10, f.Rows.begin() + cycle * 10 + 10);
        EXPECT_EQ(rows.size(), 10u) << "cycle " << cycle;
    }
    std::set<int> last(f.Rows.begin() + 20, f.Rows.end());
    EXPECT_EQ(last.size(), 4u);
}

TEST(CardContents, CentreRowNeverAppearsElsewhere) {
    RosterTable roster = rosterOfFirst(24);
    roster.SetCell(RosterColumn::Excluded, 3, QStringLiteral("1"));
    ClockSeededFractions random(99);
    for (int card = 0; card < 10; ++card) {
        const Fill f = fill(roster, random, 5, 7);
        ASSERT_TRUE(f.Filled);
        EXPECT_EQ(std::count(f.Rows.begin(), f.Rows.end(), 7), 0);
        EXPECT_EQ(std::count(f.Rows.begin(), f.Rows.end(), 3), 0); // excluded
        std::set<int> distinct(f.Rows.begin(), f.Rows.end());
        EXPECT_EQ(distinct.size(), 22u); // 22 eligible: all once, then two again
    }
}

TEST(CardContents, NoEligibleParticipantDrawsNothing) {
    ScriptedFractions random{0.5};
    const Fill empty = fill(rosterOfFirst(0), random, 5, 0);
    EXPECT_FALSE(empty.Filled);
    EXPECT_TRUE(empty.Cells.empty());
    const Fill onlyCentre = fill(rosterNamed({12}), random, 9, 12);
    EXPECT_FALSE(onlyCentre.Filled);
    EXPECT_TRUE(onlyCentre.Cells.empty());
    const Fill onlyOne = fill(rosterNamed({12}), random, 9, 0);
    EXPECT_TRUE(onlyOne.Filled);
    EXPECT_EQ(onlyOne.Rows, std::vector<int>(80, 12));
}

TEST(CardContents, CountUpWrapsAndSkipsUnnamedRows) {
    const struct {
        std::vector<int> named;
        qint16 designated;
        std::vector<int> centres;
    } cases[] = {
        {{299, 300, 1}, 299, {299, 300, 1, 299, 300}},
        {{5, 9}, 0, {0, 5, 9, 5}}, // row 0 holds the captions: the first card gets the mark
        {{}, 10, {0, 0, 0}},       // no names: the mark every time
        {{150}, 300, {150, 150}},
        {{1, 2}, 1, {1, 2, 1}},
    };
    for (const auto& c : cases) {
        RosterTable roster;
        roster.Clear();
        for (int row : c.named) {
            roster.SetCell(RosterColumn::Name, row, QStringLiteral("名前"));
        }
        qint16 counter = StartCounter(c.designated);
        std::vector<int> centres;
        for (size_t k = 0; k < c.centres.size(); ++k) {
            centres.push_back(ChooseCentreRow(CentreOption::CountUp, c.designated, roster, counter));
        }
        EXPECT_EQ(centres, c.centres) << "designated " << c.designated;
    }
    // With no name the counter is reset to 0 as well.
    RosterTable blank;
    blank.Clear();
    qint16 counter = StartCounter(40);
    ChooseCentreRow(CentreOption::CountUp, 40, blank, counter);
    EXPECT_EQ(counter, 0);
}

TEST(CardContents, MarkAndFixedCentreIgnoreTheCounter) {
    const RosterTable roster = rosterNamed({3});
    qint16 counter = 41;
    EXPECT_EQ(ChooseCentreRow(CentreOption::Mark, 3, roster, counter), 0);
    EXPECT_EQ(ChooseCentreRow(CentreOption::FixedRow, 7, roster, counter), 7);
    EXPECT_EQ(ChooseCentreRow(CentreOption::FixedRow, -5, roster, counter), -5);
    EXPECT_EQ(counter, 41);
}

TEST(CardContents, CentreContentOfMarkRowsAndOthers) {
    RosterTable roster;
    roster.Clear();
    roster.SetCell(RosterColumn::Name, 7, QStringLiteral(" 山田　太郎 "));
    roster.SetCell(RosterColumn::Photo, 7, QStringLiteral("P07.JPG"));
    roster.SetCell(RosterColumn::Photo, 8, QStringLiteral("P08.JPG")); // a photo without a name
    roster.SetCell(RosterColumn::Name, 9, QStringLiteral("写真なし"));
    const QString pictures = QStringLiteral("pics");
    EXPECT_EQ(CentreContent(roster, pictures, 0), (CellContent{QStringLiteral("★"), QString()}));
    EXPECT_EQ(CentreContent(roster, pictures, 7),
              (CellContent{QStringLiteral(" 山田　太郎 "), JoinPath(pictures, QStringLiteral("P07.JPG"))}));
    EXPECT_EQ(CentreContent(roster, pictures, 8),
              (CellContent{QString(), JoinPath(pictures, QStringLiteral("P08.JPG"))}));
    EXPECT_EQ(CentreContent(roster, pictures, 9), (CellContent{QStringLiteral("写真なし"), QString()}));
    EXPECT_EQ(CentreContent(roster, pictures, 301), CellContent{});
    EXPECT_EQ(CentreContent(roster, pictures, -1), CellContent{});
}

} // namespace
