#include "core/common/waitseconds.h"

#include <gtest/gtest.h>

namespace {

struct SimulatedClock {
    long long now = 0;
    int pumps = 0;
    WaitHooks hooks() {
        return WaitHooks{[this] { return now; }, [this](int ms) { now += ms; }, [this] { ++pumps; }};
    }
};

TEST(WaitSeconds, EndsOnTheNPlusFirstChangeOfTheSecond) {
    const struct {
        long long start;
        int n;
        long long endAtLeast;
        long long endBefore;
    } cases[] = {
        {0, 0, 1000, 1010},   // n = 0 returns at the next change of the second
        {999, 0, 1000, 1010}, // ... which may be almost at once
        {0, 2, 3000, 3010},   // the splash: between 2 and 3 seconds
        {500, 2, 3000, 3010},
    };
    for (const auto& c : cases) {
        SimulatedClock clock{c.start};
        WaitSeconds(c.n, clock.hooks());
        EXPECT_GE(clock.now, c.endAtLeast) << c.start << " " << c.n;
        EXPECT_LT(clock.now, c.endBefore) << c.start << " " << c.n;
        EXPECT_EQ(clock.pumps, c.n + 1); // events run once per second, nowhere else
    }
}

} // namespace
