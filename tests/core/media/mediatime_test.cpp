#include "core/media/mediatime.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(MediaTime, RoundsHalfUp) {
    const std::pair<double, qint32> cases[] = {
        {125.4, 125},
        {125.5, 126},
        {125.499, 125},
        {0.0, 0},
        {0.49, 0},
        {0.5, 1},
        {2.5, 3},
        {3.5, 4},
        {-0.5, 0},
        {-0.51, -1},
        {1e12, std::numeric_limits<qint32>::max()},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(RoundHalfUp(value), expected) << value;
    }
}

// Whole seconds, or frames / 10 for a file named .AVI in any case whose frame rate is known.
TEST(MediaTime, ReportsSecondsOrFramesByTen) {
    const std::tuple<qint64, const char*, double, qint32> cases[] = {
        {125400, "/m/song.mp3", 0, 125}, {125500, "/m/song.mp3", 0, 126}, {125499, "/m/song.wav", 25, 125},
        {10000, "/m/movie.avi", 25, 25}, {10000, "/m/MOVIE.AVI", 30, 30}, {10020, "/m/movie.Avi", 25, 25},
        {10000, "/m/movie.avi", 0, 10},  {10000, "/m/avi", 25, 10},
    };
    for (const auto& [ms, path, fps, expected] : cases) {
        EXPECT_EQ(ReportedTime(ms, QString::fromUtf8(path), fps), expected) << path << " " << ms;
    }
}

} // namespace
