#include "core/draw/drawsequence.h"
#include "core/draw/effects.h"
#include "core/programstate.h"
#include "support/fakeclock.h"
#include "support/fakedrawview.h"
#include "support/fakemusicplayer.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace {
// The fraction that makes RandomIndex(n) return v (v <= n).
double pick(int v) {
    return (v - 1) / 1000000.0;
}

ScriptedFractions picks(std::initializer_list<int> values) {
    ScriptedFractions random{};
    for (int v : values) {
        random.Push(pick(v));
    }
    return random;
}

// Text of 4 glyphs, one unit per point each, line height 1.5 per point.
TextSize measure(const QString&, double size) {
    return {4 * size, 1.5 * size};
}
} // namespace

TEST(Effects, SimpleDrawFadesInPlaceInTwentyFiveGreys) {
    // face 7, style 3 (forced to 1), speed 6, start x 3, start y 2, final y 2, no rainbow (2), last colour 5.
    ScriptedFractions random = picks({7, 3, 6, 3, 2, 2, 2, 5});
    const NameAnimation plan = PlanNameAnimation(random, 1001, 800, true, measure);
    EXPECT_EQ(plan.Face, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(plan.Style, 1);
    EXPECT_EQ(plan.Params.Frames, 25);
    EXPECT_EQ(plan.Params.IntervalMs, 30);
    EXPECT_FALSE(plan.Rainbow);
    // Final size: 4 s < 1001 and 1.5 s < 480 -> 250 pt (1000 wide, 375 high).
    EXPECT_EQ(plan.Target.Size, 250);
    ASSERT_EQ(plan.Frames.size(), 25u);
    for (int k = 0; k < 25; ++k) {
        const NameFrame& f = plan.Frames[static_cast<size_t>(k)];
        EXPECT_EQ(f.Colour, QColor(10 * (k + 1), 10 * (k + 1), 10 * (k + 1))) << k;
        EXPECT_EQ(f.Size, 250);
        EXPECT_DOUBLE_EQ(f.X, 0.5);
        EXPECT_DOUBLE_EQ(f.Y, (800 - 375) / 2.0);
    }
    EXPECT_EQ(plan.Last.Colour, EffectColour(5));
    EXPECT_EQ(plan.Last.Size, 250);
}

TEST(Effects, StraightLineGrowsFromTheStartToTheFinalPlace) {
    // face 1, style 2, speed 1 (40 frames), start x 1 (0), start y 1 (0), final y 3, rainbow pick 1 (ignored
    // at 40 frames), last colour 2
    ScriptedFractions random = picks({1, 2, 1, 1, 1, 3, 1, 2});
    const NameAnimation plan = PlanNameAnimation(random, 1001, 800, false, measure);
    EXPECT_EQ(plan.Style, 2);
    EXPECT_EQ(plan.Params.Frames, 40);
    EXPECT_FALSE(plan.Rainbow); // never with 40 frames
    const double th = 1.5 * 250;
    const double finalY = (800 - th) - th / 6;
    const NameFrame& last = plan.Frames.back();
    EXPECT_NEAR(last.X, 0.5, 1e-9);
    EXPECT_NEAR(last.Y, finalY, 1e-9);
    EXPECT_NEAR(last.Size, 250, 1e-9);
    EXPECT_NEAR(plan.Frames.front().Size, 3 + (250 - 3) / 40.0, 1e-9);
    EXPECT_EQ(plan.Frames.front().Colour, QColor(5, 5, 5));
    EXPECT_EQ(plan.Last.Colour, EffectColour(2));
}

TEST(Effects, RainbowFramesTakeRandomColoursAndEndWhite) {
    // face 2, style 1 (200 frames), speed 4, positions 1,1,1, rainbow 1, then frame colours 3, 4, 5 …
    ScriptedFractions random = picks({2, 1, 4, 1, 1, 1, 1, 3, 4, 5});
    const NameAnimation plan = PlanNameAnimation(random, 1001, 800, false, measure);
    EXPECT_TRUE(plan.Rainbow);
    EXPECT_EQ(plan.Params.Frames, 200);
    EXPECT_EQ(plan.Frames[0].Colour, EffectColour(3));
    EXPECT_EQ(plan.Frames[1].Colour, EffectColour(4));
    EXPECT_EQ(plan.Frames[2].Colour, EffectColour(5));
    EXPECT_EQ(plan.Last.Colour, QColor(Qt::white));
}

TEST(Effects, WaveToAndFroFromTheRightEdgeBecomesAWaveUpAndDown) {
    // style 4, speed 3, start x 3 (= pw) -> style 3
    ScriptedFractions random = picks({1, 4, 3, 3, 1, 1, 2, 1});
    const NameAnimation plan = PlanNameAnimation(random, 1001, 800, false, measure);
    EXPECT_EQ(plan.Style, 3);
    const double dx = (0.5 - 1001) / 150;
    EXPECT_NEAR(plan.Frames[9].X, 10 * dx + 1001, 1e-9);
}

// The name's animation is planned while the photo shows; a screen that changes its size meanwhile
// (F11) gets the animation planned for the size it shows it on.
TEST(Effects, NameIsAnimatedForTheScreenItIsShownOn) {
    const auto names = [](QSizeF from, QSizeF to) {
        FakeClock clock;
        FakeMusicPlayer music{clock};
        ScriptedFractions random{0.5};
        ProgramState state;
        state.Settings.ApplyDefaults();
        state.DrawKind = DrawKind::Simple;
        state.Roster.SetCell(RosterColumn::Name, 1, QStringLiteral("山田 太郎"));
        state.Roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("photo.png"));
        FakeDrawView view{clock};
        view.Size = from;
        DrawSequence draw(state, view, clock, music, random);
        draw.Press();
        for (int guard = 0; view.TimesOf(QStringLiteral("photo")).empty() && guard < 1000; ++guard) {
            clock.AdvanceToNext();
        }
        view.Size = to;
        for (int guard = 0; draw.IsRunning() && guard < 100000; ++guard) {
            clock.AdvanceToNext();
        }
        // Where and how large the clean copy at the end is printed.
        const NameFrame last = view.NameFrames.empty() ? NameFrame{} : view.NameFrames.back();
        return std::tuple(last.X, last.Y, last.Size);
    };
    const QSizeF window(1024, 700), full(1920, 1080);
    const auto onFull = names(full, full);
    ASSERT_GT(std::get<2>(onFull), 0);
    EXPECT_NE(names(window, window), onFull);
    EXPECT_EQ(names(window, full), onFull);
}
