#include "core/common/random.h"
#include "core/roster/pool.h"
#include "core/roster/roster.h"
#include "support/fakes.h"

#include <gtest/gtest.h>
#include <set>

namespace {

RosterTable rosterWith(std::initializer_list<std::pair<int, const char16_t*>> excluded,
                       std::initializer_list<int> named) {
    RosterTable r;
    r.Clear();
    for (int row : named) {
        r.SetCell(RosterColumn::Name, row, QStringLiteral("P%1").arg(row));
    }
    for (const auto& [row, mark] : excluded) {
        r.SetCell(RosterColumn::Excluded, row, QString::fromUtf16(mark));
    }
    return r;
}

std::vector<int> contents(const RowPool& pool) {
    std::vector<int> v;
    for (int i = 1; i <= pool.Count; ++i) {
        v.push_back(pool.At(i));
    }
    return v;
}

TEST(CollectEligibleRows, SkipsBlankExcludedAndLeftOutRows) {
    RosterTable r = rosterWith({{2, u"1"}, {3, u"2"}, {4, u"0"}, {5, u"01"}, {6, u"1,0"}, {7, u"1.0"}},
                               {1, 2, 3, 4, 5, 6, 7, 9});
    r.SetCell(RosterColumn::Name, 8, QStringLiteral("   "));
    r.SetCell(RosterColumn::Photo, 8, QStringLiteral("x.jpg"));
    RowPool pool;
    CollectEligibleRows(r, pool, 0);
    EXPECT_EQ(contents(pool), (std::vector<int>{1, 3, 4, 6, 9}));
    CollectEligibleRows(r, pool, 4);
    EXPECT_EQ(contents(pool), (std::vector<int>{1, 3, 6, 9}));
    CollectEligibleRows(r, pool, 2); // an ineligible row to leave out changes nothing
    EXPECT_EQ(contents(pool), (std::vector<int>{1, 3, 4, 6, 9}));
    EXPECT_EQ(pool.At(6), 0);

    RosterTable empty;
    empty.Clear();
    CollectEligibleRows(empty, pool, 0);
    EXPECT_EQ(pool.Count, 0);
}

TEST(RandomIndex, UsesTheSixDigitReduction) {
    const std::tuple<double, qint16, qint32> table[] = {
        {0.0, 5, 1},
        {0.1234564999, 10, 7},  // k = 123456, 123456 mod 10 = 6
        {0.12345699999, 10, 8}, // "0.1234570000": rounding at the tenth decimal carries into k
        {0.99999999999, 7, 1},  // "1.0000000000": k = 0
        {0.0000070000, 3, 2},   // k = 7
        {0.5, 1, 1},
        {0.999999, 300, 1 + 999999 % 300},
    };
    for (const auto& [fraction, n, expected] : table) {
        ScriptedFractions fractions({fraction});
        EXPECT_EQ(RandomIndex(fractions, n), expected) << fraction;
    }
}

TEST(PoolOperations, TakeFindRemoveAppend) {
    RowPool pool(10);
    for (qint16 v : {5, 8, 2, 8}) {
        AppendEntry(pool, v);
    }
    EXPECT_EQ(FindEntry(pool, 8), 2);
    EXPECT_EQ(FindEntry(pool, 9), -1);
    RemoveEntry(pool, 9);
    EXPECT_EQ(pool.Count, 4);
    RemoveEntry(pool, 8); // only the first occurrence
    EXPECT_EQ(contents(pool), (std::vector<int>{5, 2, 8}));
    EXPECT_EQ(pool.At(4), 0);

    ScriptedFractions fractions({0.000002}); // k = 2 -> 2 mod 3 + 1 = 3
    EXPECT_EQ(TakeRandomEntry(fractions, pool), 8);
    EXPECT_EQ(contents(pool), (std::vector<int>{5, 2}));

    RowPool one(3);
    AppendEntry(one, 42);
    ScriptedFractions any({0.7});
    EXPECT_EQ(TakeRandomEntry(any, one), 42);
    EXPECT_EQ(one.Count, 0);
    EXPECT_EQ(one.At(1), 0);

    RowPool full(1); // appending beyond the capacity grows the pool
    AppendEntry(full, 1);
    AppendEntry(full, 2);
    EXPECT_EQ(contents(full), (std::vector<int>{1, 2}));
}

TEST(PoolOperations, TakingEverythingReturnsEachRowOnce) {
    RosterTable r = rosterWith({{10, u"1"}}, {1, 2, 3, 5, 8, 10, 13, 21, 34, 55, 89, 144, 233, 300});
    RowPool pool;
    CollectEligibleRows(r, pool, 0);
    ClockSeededFractions random(12345);
    std::multiset<int> taken;
    while (pool.Count > 0) {
        taken.insert(TakeRandomEntry(random, pool));
    }
    EXPECT_EQ(taken, (std::multiset<int>{1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 300}));
}

TEST(ClockSeededFractions, StaysInTheUnitIntervalWithSinglePrecision) {
    ClockSeededFractions random(7);
    for (int i = 0; i < 10000; ++i) {
        const double r = random.NextFraction();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        ASSERT_EQ(static_cast<double>(static_cast<float>(r)), r);
    }
}

} // namespace
