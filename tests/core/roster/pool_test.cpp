#include "core/roster/pool.h"
#include "core/roster/roster.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> Contents(const RowPool& pool) {
    std::vector<int> v;
    for (int i = 1; i <= pool.Count; ++i) {
        v.push_back(pool.At(i));
    }
    return v;
}

// Eligible: named (not only spaces), and a 除外 cell that does not read as 1.
TEST(CollectEligibleRows, SkipsBlankExcludedAndLeftOutRows) {
    RosterTable r;
    r.Clear();
    for (int row : {1, 2, 3, 4, 5, 6, 7, 9, 300}) {
        r.SetCell(RosterColumn::Name, row, QStringLiteral("P%1").arg(row));
    }
    for (const auto& [row, mark] :
         {std::pair{2, "1"}, {3, "2"}, {4, "0"}, {5, "01"}, {6, "1,0"}, {7, "1.0"}}) {
        r.SetCell(RosterColumn::Excluded, row, QString::fromLatin1(mark));
    }
    r.SetCell(RosterColumn::Name, 8, QStringLiteral("   "));
    const std::pair<qint16, std::vector<int>> cases[] = {
        {0, {1, 3, 4, 6, 9, 300}}, {4, {1, 3, 6, 9, 300}}, {300, {1, 3, 4, 6, 9}}, {2, {1, 3, 4, 6, 9, 300}}};
    RowPool pool;
    for (const auto& [leaveOut, expected] : cases) {
        CollectEligibleRows(r, pool, leaveOut);
        EXPECT_EQ(Contents(pool), expected) << leaveOut;
        EXPECT_EQ(pool.At(int(expected.size()) + 1), 0);
    }
    r.Clear();
    CollectEligibleRows(r, pool, 0);
    EXPECT_EQ(pool.Count, 0);
}

TEST(PoolOperations, TakeFindRemoveAppend) {
    RowPool pool(3); // appending beyond the capacity grows the pool
    for (qint16 v : {5, 8, 2, 8}) {
        AppendEntry(pool, v);
    }
    EXPECT_EQ(FindEntry(pool, 8), 2);
    EXPECT_EQ(FindEntry(pool, 9), -1);
    RemoveEntry(pool, 9);
    RemoveEntry(pool, 8); // only the first occurrence
    EXPECT_GT(pool.Entries.size(), 4u);
    EXPECT_EQ(Contents(pool), (std::vector<int>{5, 2, 8}));
    EXPECT_EQ(pool.At(4), 0);
    ScriptedFractions fractions({0.000002, 0.7}); // k = 2: 2 mod 3 + 1 = 3
    EXPECT_EQ(TakeRandomEntry(fractions, pool), 8);
    EXPECT_EQ(Contents(pool), (std::vector<int>{5, 2}));
    EXPECT_EQ(pool.At(3), 0);
}

TEST(ClockSeededFractions, StaysInTheUnitIntervalWithSinglePrecision) {
    ClockSeededFractions random(7);
    for (int i = 0; i < 10000; ++i) {
        const double r = random.NextFraction();
        ASSERT_TRUE(r >= 0.0 && r < 1.0 && static_cast<double>(static_cast<float>(r)) == r) << r;
    }
}

} // namespace
