#include "core/cards/cardcontents.h"
#include "core/common/platform.h"
#include "core/common/random.h"
#include "core/roster/roster.h"
#include "support/fakes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <tuple>
#include <vector>

namespace {

RosterTable RosterNamed(const std::vector<int>& rows) {
    RosterTable r;
    r.Clear();
    for (int row : rows) {
        r.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
    }
    return r;
}

std::vector<int> FirstRows(int count) {
    std::vector<int> rows(static_cast<size_t>(count));
    std::iota(rows.begin(), rows.end(), 1);
    return rows;
}

// The rows a normal card draws, in order, with the cells they go to.
struct Fill {
    bool Filled = false;
    std::vector<std::pair<int, int>> Cells;
    std::vector<int> Rows;
};

Fill FillCard(const RosterTable& roster, FractionSource& random, int n, qint16 centre) {
    Fill f;
    f.Filled = FillNormalCard(roster, QStringLiteral("pics"), random, n, centre,
                              [&](int i, int j, const CellContent& content) {
                                  f.Cells.emplace_back(i, j);
                                  f.Rows.push_back(content.Text.mid(3).toInt());
                              });
    return f;
}

// Every eligible participant once before any comes again; never the centre row, never an excluded
// one; nothing at all when nobody is eligible.
TEST(CardContents, ParticipantsComeInRoundsOfEveryEligibleRow) {
    const struct {
        std::vector<int> named;
        int excluded;
        int n;
        qint16 centre;
        std::vector<int> eligible;
    } cases[] = {
        {FirstRows(24), 0, 5, 0, FirstRows(24)},
        {FirstRows(10), 0, 5, 0, FirstRows(10)},
        {FirstRows(24), 3, 5, 7, {1,  2,  4,  5,  6,  8,  9,  10, 11, 12, 13,
                                  14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
        {{12}, 0, 9, 0, {12}},
        {{12}, 0, 9, 12, {}},
        {{}, 0, 5, 0, {}},
    };
    for (const auto& c : cases) {
        RosterTable roster = RosterNamed(c.named);
        if (c.excluded > 0) {
            roster.SetCell(RosterColumn::Excluded, c.excluded, QStringLiteral("1"));
        }
        for (double fraction : {0.000005, 0.618034, 0.999999}) {
            SCOPED_TRACE(testing::Message()
                         << c.named.size() << " named, centre " << c.centre << ", " << fraction);
            ScriptedFractions random{fraction};
            const Fill f = FillCard(roster, random, c.n, c.centre);
            ASSERT_EQ(f.Filled, !c.eligible.empty());
            ASSERT_EQ(f.Rows.size(), c.eligible.empty() ? 0u : size_t(c.n * c.n - 1));
            for (size_t round = 0; round < f.Rows.size(); round += c.eligible.size()) {
                const auto end = f.Rows.begin() + std::min(f.Rows.size(), round + c.eligible.size());
                std::vector<int> rows(f.Rows.begin() + round, end);
                std::sort(rows.begin(), rows.end());
                EXPECT_TRUE(std::unique(rows.begin(), rows.end()) == rows.end());
                EXPECT_TRUE(std::includes(c.eligible.begin(), c.eligible.end(), rows.begin(), rows.end()));
            }
        }
    }
}

TEST(CardContents, CellsAreFilledInReadingOrderSkippingTheCentre) {
    ScriptedFractions first{0.0}; // always the first entry: the pool's order shows
    const Fill f = FillCard(RosterNamed(FirstRows(30)), first, 3, 0);
    EXPECT_EQ(f.Cells, (std::vector<std::pair<int, int>>{
                           {1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 3}, {3, 1}, {3, 2}, {3, 3}}));
    EXPECT_EQ(f.Rows, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(CardContents, CentreContentOfMarkRowsAndOthers) {
    RosterTable roster;
    roster.Clear();
    roster.SetCell(RosterColumn::Name, 7, QStringLiteral(" 山田　太郎 "));
    roster.SetCell(RosterColumn::Photo, 7, QStringLiteral("P07.JPG"));
    roster.SetCell(RosterColumn::Photo, 8, QStringLiteral("P08.JPG")); // a photo without a name
    roster.SetCell(RosterColumn::Name, 9, QStringLiteral("写真なし"));
    roster.SetCell(RosterColumn::Name, 300, QStringLiteral("最後"));
    const QString pics = QStringLiteral("pics");
    const std::pair<qint16, CellContent> cases[] = {
        {0, {QStringLiteral("★"), QString()}},
        {7, {QStringLiteral(" 山田　太郎 "), JoinPath(pics, QStringLiteral("P07.JPG"))}},
        {8, {QString(), JoinPath(pics, QStringLiteral("P08.JPG"))}},
        {9, {QStringLiteral("写真なし"), QString()}},
        {300, {QStringLiteral("最後"), QString()}},
        {301, {}},
        {-1, {}},
    };
    for (const auto& [row, expected] : cases) {
        EXPECT_EQ(CentreContent(roster, pics, row), expected) << row;
    }
}

} // namespace

// Told by row, a fill draws the same participants into the same cells with the same random
// draws: a numbered card is the card an unnumbered run would print.
TEST(CardContents, FillByRowsGivesTheCellsOfTheFill) {
    const struct {
        int named;
        int n;
        qint16 centre;
        std::uint32_t seed;
    } cases[] = {{30, 5, 0, 1}, {10, 5, 3, 2}, {300, 9, 150, 3}, {5, 7, 0, 4}, {1, 3, 1, 5}, {0, 3, 0, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.named << " named, " << c.n << " × " << c.n << ", seed " << c.seed);
        RosterTable roster = RosterNamed(FirstRows(c.named));
        roster.SetCell(RosterColumn::Photo, 2, QStringLiteral("two.jpg"));
        ClockSeededFractions drawn(c.seed);
        ClockSeededFractions told(c.seed);
        std::vector<std::tuple<int, int, CellContent>> cells;
        const bool filled = FillNormalCard(
            roster, QStringLiteral("pics"), drawn, c.n, c.centre,
            [&](int i, int j, const CellContent& content) { cells.emplace_back(i, j, content); });
        std::vector<std::tuple<int, int, CellContent>> byRows;
        EXPECT_EQ(FillNormalCardRows(roster, told, c.n, c.centre,
                                     [&](int i, int j, qint16 row) {
                                         byRows.emplace_back(i, j,
                                                             RowContent(roster, QStringLiteral("pics"), row));
                                     }),
                  filled);
        EXPECT_EQ(byRows, cells);
        EXPECT_EQ(drawn.NextFraction(), told.NextFraction()); // as many draws taken
    }
}
