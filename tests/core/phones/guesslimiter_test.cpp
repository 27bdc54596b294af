#include "core/phones/guesslimiter.h"
#include "support/fakeclock.h"

#include <gtest/gtest.h>

namespace {

const QString kGuest = QStringLiteral("192.168.0.20");
const QString kOther = QStringLiteral("192.168.0.21");

TEST(GuessLimiter, BlocksAnAddressAfterTooManyGuessesInTheWindowForAWhile) {
    FakeClock clock;
    GuessLimiter limiter(clock, 3, 60000, 300000);
    EXPECT_FALSE(limiter.CountGuess(kGuest));
    clock.Advance(59000);
    EXPECT_FALSE(limiter.CountGuess(kGuest));
    clock.Advance(2000); // the first guess is out of the window now
    EXPECT_FALSE(limiter.CountGuess(kGuest));
    EXPECT_FALSE(limiter.IsBlocked(kGuest));
    EXPECT_TRUE(limiter.CountGuess(kGuest));
    EXPECT_TRUE(limiter.IsBlocked(kGuest));
    EXPECT_FALSE(limiter.IsBlocked(kOther));
    clock.Advance(299999);
    EXPECT_TRUE(limiter.IsBlocked(kGuest));
    clock.Advance(1);
    EXPECT_FALSE(limiter.IsBlocked(kGuest));
    // The guesses before the block are forgotten with it.
    EXPECT_FALSE(limiter.CountGuess(kGuest));
}

TEST(GuessLimiter, FollowsABoundedNumberOfAddresses) {
    FakeClock clock;
    GuessLimiter limiter(clock, 2, 60000, 300000);
    limiter.CountGuess(kGuest);
    limiter.CountGuess(kGuest); // blocked
    for (int k = 0; k < GuessLimiter::kAddresses * 2; ++k) {
        clock.Advance(1);
        limiter.CountGuess(QStringLiteral("10.0.%1.%2").arg(k / 256).arg(k % 256));
    }
    // The blocked one is kept while quiet ones make room for the newcomers.
    EXPECT_TRUE(limiter.IsBlocked(kGuest));
}

} // namespace
