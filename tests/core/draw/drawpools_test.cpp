#include "core/draw/drawpools.h"
#include "core/roster/roster.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace {
RosterTable rosterOf(int rows) {
    RosterTable roster;
    roster.Clear();
    for (int r = 1; r <= rows; ++r) {
        roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
    }
    return roster;
}

std::vector<qint16> entries(const RowPool& pool) {
    std::vector<qint16> out;
    for (int p = 1; p <= pool.Count; ++p) {
        out.push_back(pool.At(p));
    }
    return out;
}
} // namespace

TEST(DrawPools, PanelsListedByMode) {
    const RosterTable roster = rosterOf(20);
    const struct {
        int mode;
        int panels;
        int listed;
    } cases[] = {{1, 25, 25}, {2, 25, 25}, {3, 25, 20}, {4, 25, 20}, {3, 9, 9}, {0, 25, 0}, {5, 25, 0}};
    for (const auto& c : cases) {
        const DrawPools pools(roster, GameModeOf(c.mode), c.panels);
        EXPECT_EQ(pools.Panels().Count, c.listed) << c.mode;
        EXPECT_EQ(pools.Candidates().Count, 20);
        if (c.listed > 0) {
            EXPECT_EQ(pools.Panels().At(1), 0);
            EXPECT_EQ(pools.Panels().At(c.listed), c.listed - 1);
        }
    }
}

TEST(DrawPools, GridsBeyondFiveHundredPanels) {
    const RosterTable roster = rosterOf(300);
    DrawPools pools(roster, GameModeOf(2), 30 * 20);
    EXPECT_EQ(pools.Panels().Count, 600);
    ScriptedFractions random{599 / 1000000.0}; // the last of 600
    EXPECT_EQ(pools.TakePanel(random, 1, 1), 599);
}

TEST(DrawPools, RefusalsBeforeAnythingIsTaken) {
    const RosterTable roster = rosterOf(30);
    DrawPools mode1(roster, GameModeOf(1), 25);
    EXPECT_EQ(mode1.Refusal(24), QString());
    EXPECT_EQ(mode1.Refusal(25), QStringLiteral("全てのパネルが開きました。\r\nこれ以上抽選はできません。"));
    EXPECT_EQ(mode1.Candidates().Count, 30); // nothing taken

    const DrawPools empty(rosterOf(0), GameModeOf(1), 25);
    EXPECT_EQ(empty.Refusal(0), QStringLiteral("これ以上データが登録されていません"));

    DrawPools mode2(roster, GameModeOf(2), 2);
    ScriptedFractions random{0.0};
    EXPECT_EQ(mode2.TakePanel(random, 1, mode2.TakeRow(random)), 0);
    EXPECT_EQ(mode2.TakePanel(random, 2, mode2.TakeRow(random)), 1);
    EXPECT_EQ(mode2.Refusal(2), DrawPools::AllPanelsOpen());
    DrawPools mode3(roster, GameModeOf(3), 2);
    EXPECT_EQ(mode3.Refusal(100), QString()); // modes 3 and 4 stop only when nobody is left
}

TEST(DrawPools, OwnPanelModesDropRowsWithoutAPanel) {
    const RosterTable roster = rosterOf(30);
    DrawPools pools(roster, GameModeOf(3), 25);
    // Always the last entry: rows 30, 29 … 26 are taken and dropped, then 25.
    ScriptedFractions random{};
    for (int n = 30; n >= 1; --n) {
        random.Push((n - 1) / 1000000.0);
    }
    EXPECT_EQ(pools.TakeRow(random), 25);
    EXPECT_EQ(pools.Candidates().Count, 24);
    EXPECT_EQ(pools.TakePanel(random, 1, 25), 24);
    EXPECT_EQ(FindEntry(pools.Panels(), 24), -1);
    for (int i = 0; i < 24; ++i) {
        EXPECT_LE(pools.TakeRow(random), 25);
    }
    EXPECT_EQ(pools.TakeRow(random), 0);
}

TEST(DrawPools, SequentialPanels) {
    DrawPools pools(rosterOf(10), GameModeOf(1), 25);
    ScriptedFractions random{0.5};
    for (int n = 1; n <= 10; ++n) {
        const qint16 r = pools.TakeRow(random);
        EXPECT_EQ(pools.TakePanel(random, n, r), n - 1);
    }
    EXPECT_EQ(pools.TakeRow(random), 0);
    EXPECT_EQ(pools.Refusal(10), DrawPools::NoMoreData());
}

TEST(DrawPools, OpeningAndClosingByHandInModeTwo) {
    const RosterTable roster = rosterOf(3);
    DrawPools pools(roster, GameModeOf(2), 4);
    ScriptedFractions random{0.0};
    EXPECT_EQ(pools.MenuModeSwitch(2), 0);
    EXPECT_EQ(pools.OpenByHand(random, 2), 1);
    EXPECT_EQ(pools.MenuModeSwitch(2), 1);
    EXPECT_EQ(entries(pools.Candidates()), (std::vector<qint16>{2, 3}));
    EXPECT_EQ(entries(pools.Panels()), (std::vector<qint16>{0, 1, 3}));
    EXPECT_TRUE(pools.CloseByHand(roster, 2, 1));
    EXPECT_EQ(entries(pools.Candidates()), (std::vector<qint16>{2, 3, 1}));
    EXPECT_EQ(entries(pools.Panels()), (std::vector<qint16>{0, 1, 3, 2}));
    EXPECT_EQ(pools.OpenByHand(random, 0), 2);
    EXPECT_EQ(pools.OpenByHand(random, 1), 3);
    EXPECT_EQ(pools.OpenByHand(random, 3), 1);
    EXPECT_EQ(pools.OpenByHand(random, 2), 0); // nobody left: refused
}

TEST(DrawPools, OpeningAndClosingByHandInModeThree) {
    RosterTable roster = rosterOf(20);
    roster.SetCell(RosterColumn::Name, 8, QString());
    roster.SetCell(RosterColumn::Excluded, 9, QStringLiteral("1"));
    DrawPools pools(roster, GameModeOf(3), 25);
    ScriptedFractions random{0.0};
    EXPECT_EQ(pools.Candidates().Count, 18);
    EXPECT_EQ(pools.Panels().Count, 18);
    // Panels 18 … 24 were never listed: the box offers closing, which does nothing.
    EXPECT_EQ(pools.MenuModeSwitch(20), 1);
    EXPECT_FALSE(pools.CloseByHand(roster, 20, 0));
    EXPECT_EQ(pools.Panels().Count, 18);
    // Panel 6 opens row 7's participant, who leaves the draw.
    EXPECT_EQ(pools.OpenByHand(random, 6), 7);
    EXPECT_EQ(FindEntry(pools.Candidates(), 7), -1);
    EXPECT_EQ(FindEntry(pools.Panels(), 6), -1);
    EXPECT_TRUE(pools.CloseByHand(roster, 6, 7));
    EXPECT_EQ(pools.Candidates().At(pools.Candidates().Count), 7);
    // Panel 7 shows row 8, which is empty: closing it must not put row 8 in the draw; nor row 9,
    // who is excluded.
    EXPECT_EQ(pools.OpenByHand(random, 7), 8);
    EXPECT_TRUE(pools.CloseByHand(roster, 7, 8));
    EXPECT_EQ(FindEntry(pools.Candidates(), 8), -1);
    EXPECT_EQ(pools.OpenByHand(random, 8), 9);
    EXPECT_TRUE(pools.CloseByHand(roster, 8, 9));
    EXPECT_EQ(FindEntry(pools.Candidates(), 9), -1);
    EXPECT_EQ(pools.Candidates().Count, 18);
}

// A game resumed from a record with a line that could not be read has a gap among its open panels:
// no draw lands on a panel that is open, in any mode, and every panel opens once.
TEST(DrawPools, NoDrawLandsOnAnOpenPanel) {
    const RosterTable roster = rosterOf(30);
    for (int mode = 1; mode <= 4; ++mode) {
        DrawPools pools(roster, GameModeOf(mode), 9);
        std::vector<bool> open(9, false);
        // Panels 1, 3 and 4 (from 1) were read back; the line of panel 2 was not.
        for (const int k : {0, 2, 3}) {
            pools.TakeOut(static_cast<qint16>(k + 1), k);
            open[static_cast<size_t>(k)] = true;
        }
        ScriptedFractions random{0.999};
        for (int drawCount = 4; pools.Refusal(drawCount - 1).isEmpty(); ++drawCount) {
            const qint16 row = pools.TakeRow(random);
            if (row == 0) {
                break;
            }
            const int k = pools.TakePanel(random, drawCount, row);
            ASSERT_GE(k, 0) << mode;
            EXPECT_FALSE(open[static_cast<size_t>(k)]) << "mode " << mode << " panel " << k;
            if (mode == 1 && drawCount == 4) {
                EXPECT_EQ(k, 1); // the gap first: panels open in order
            }
            open[static_cast<size_t>(k)] = true;
        }
        EXPECT_EQ(std::count(open.begin(), open.end(), true), 9) << mode;
    }
}
