#include "core/media/mediatime.h"
#include "support/fakemusicplayer.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct RoundingCase {
    double value;
    qint32 expected;
};

TEST(MediaTime, RoundsHalfUp) {
    const RoundingCase cases[] = {
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
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfUp(c.value), c.expected) << c.value;
    }
}

struct ReportCase {
    qint64 ms;
    const char* path;
    double fps;
    qint32 expected;
};

TEST(MediaTime, ReportsSecondsOrFramesByTen) {
    const ReportCase cases[] = {
        {125400, "/m/song.mp3", 0, 125},  {125500, "/m/song.mp3", 0, 126},
        {125499, "/m/song.wav", 25, 125}, // frame rate only matters for frame-timed files
        {0, "/m/song.wav", 0, 0},         {10000, "/m/movie.avi", 25, 25}, // 250 frames / 10
        {10000, "/m/MOVIE.AVI", 30, 30},  {10020, "/m/movie.Avi", 25, 25}, // 250.5 frames / 10 = 25.05
        {10000, "/m/movie.avi", 0, 10},                                    // frame rate unknown: seconds
        {10000, "/m/avi", 25, 10},                                         // only the extension counts
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReportedTime(c.ms, QString::fromUtf8(c.path), c.fps), c.expected) << c.path << " " << c.ms;
    }
}

TEST(FakeMusicPlayer, PlaysFromItsStartInVirtualTime) {
    FakeClock clock;
    FakeMusicPlayer music(clock);
    music.AddSong(QStringLiteral("a"), 180);
    music.PlayMusic(QStringLiteral("a"), 30);
    EXPECT_EQ(music.MusicPosition(QStringLiteral("a")), 30);
    EXPECT_EQ(music.MusicLength(QStringLiteral("a")), 180);
    clock.Advance(15'000);
    EXPECT_EQ(music.MusicPosition(QStringLiteral("a")), 45);
    clock.Advance(1'000'000);
    EXPECT_EQ(music.MusicPosition(QStringLiteral("a")), 180); // stops at its end
    music.CloseMusic(QStringLiteral("a"));
    EXPECT_EQ(music.MusicPosition(QStringLiteral("a")), 0);
    EXPECT_EQ(music.MusicLength(QStringLiteral("a")), 0);
    // A song it does not know reads like a missing file.
    music.PlayMusic(QStringLiteral("missing"), 0);
    EXPECT_EQ(music.MusicLength(QStringLiteral("missing")), 0);
    EXPECT_EQ(music.MusicPosition(QStringLiteral("missing")), 0);
}

} // namespace
