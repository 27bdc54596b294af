#include "core/draw/panelgrid.h"

#include <gtest/gtest.h>

namespace {
constexpr double kWide = 1e6; // a client wide enough for any grid: the side follows the height
} // namespace

TEST(PanelGrid, LaysOutSquaresDownEachColumn) {
    std::vector<PanelRect> rects;
    ASSERT_TRUE(LayoutPanelGrid(kWide, 8880, 375, 5, 5, rects));
    ASSERT_EQ(rects.size(), 25u);
    const int lefts[] = {10, 1711, 3412, 5113, 6814};
    const int tops[] = {380, 2081, 3782, 5483, 7184};
    for (int k = 0; k < 25; ++k) {
        const PanelRect& r = rects[static_cast<size_t>(k)];
        EXPECT_EQ(r.Left, lefts[PanelColumn(k, 5)]) << k;
        EXPECT_EQ(r.Top, tops[PanelRow(k, 5)]) << k;
        EXPECT_EQ(r.Width, 1651) << k;
        EXPECT_EQ(r.Height, 1651) << k;
    }
    // Panel 5 is the top of the second column.
    EXPECT_EQ(rects[5].Left, 1711);
    EXPECT_EQ(rects[5].Top, 380);
    EXPECT_EQ(rects[4].Top, 7184);
}

TEST(PanelGrid, RoundsTheSideHalfToEven) {
    // a = 1000 - 375 = 625; (625 - 2 * 50) / 2 = 262.5 -> 262; 2.5 per row in the other case.
    std::vector<PanelRect> rects;
    ASSERT_TRUE(LayoutPanelGrid(kWide, 1000, 375, 1, 2, rects));
    EXPECT_EQ(rects[0].Width, 262);
    EXPECT_EQ(rects[1].Top, 380 + 262 + 50);
    ASSERT_TRUE(LayoutPanelGrid(kWide, 1005, 375, 1, 2, rects)); // (630 - 100) / 2 = 265
    EXPECT_EQ(rects[0].Width, 265);
}

TEST(PanelGrid, TooLowWindowKeepsTheLastLayout) {
    std::vector<PanelRect> rects(1, PanelRect{1, 2, 3, 4});
    const struct {
        double client;
        double button;
        int rows;
    } cases[] = {
        {375 + 250, 375, 5},     // g = 0
        {375 + 250 + 5, 375, 5}, // g = 1, 6g/8 rounds to 1: still laid out (checked below)
        {375 + 251, 375, 5},     // g = 0.2 -> 0
        {100, 375, 5},           // a < 1
        {8880, 0, 5},            // b < 1
    };
    for (const auto& c : cases) {
        std::vector<PanelRect> out = rects;
        const bool laid = LayoutPanelGrid(kWide, c.client, c.button, 1, c.rows, out);
        if (!laid) {
            EXPECT_EQ(out, rects) << c.client;
        }
    }
    std::vector<PanelRect> out = rects;
    EXPECT_FALSE(LayoutPanelGrid(kWide, 375 + 250, 375, 1, 5, out));
    EXPECT_TRUE(LayoutPanelGrid(kWide, 375 + 255, 375, 1, 5, out)); // g = 1: 6/8 rounds to 1
    EXPECT_EQ(out[0].Width, 1);
    out = rects;
    EXPECT_FALSE(LayoutPanelGrid(kWide, 8880, 0, 1, 5, out));
    EXPECT_FALSE(LayoutPanelGrid(kWide, 100, 375, 1, 5, out));
    EXPECT_EQ(out, rects);
}

TEST(PanelGrid, WideGridsFitTheWidthWholeAndOthersKeepTheirSide) {
    // Client sizes in twips: 1920 × 1080 and 1024 × 700 pixels at 15 twips a pixel.
    const struct {
        double width, height;
        int cols, rows;
        int side; // the side the height alone gives, when the width does not decide
    } cases[] = {
        {28800, 16200, 18, 1, 0},   {28800, 16200, 100, 1, 0},    {28800, 16200, 100, 5, 0},
        {15360, 10500, 5, 5, 1975}, {28800, 16200, 18, 12, 1269}, {15360, 10500, 25, 20, 0},
    };
    for (const auto& c : cases) {
        std::vector<PanelRect> rects;
        ASSERT_TRUE(LayoutPanelGrid(c.width, c.height, 375, c.cols, c.rows, rects))
            << c.cols << "x" << c.rows;
        for (const PanelRect& r : rects) {
            EXPECT_GE(r.Left, 10);
            EXPECT_LE(r.Left + r.Width, c.width - 10) << c.cols << "x" << c.rows;
            EXPECT_LE(r.Top + r.Height, c.height) << c.cols << "x" << c.rows;
            EXPECT_EQ(r.Width, r.Height);
        }
        if (c.side > 0) {
            EXPECT_EQ(rects.front().Width, c.side) << c.cols << "x" << c.rows;
        }
    }
    // Too narrow for panels of side 1: the last layout stays.
    std::vector<PanelRect> rects(1, PanelRect{1, 2, 3, 4});
    EXPECT_FALSE(LayoutPanelGrid(20 + 50 * 99 + 99, 16200, 375, 100, 1, rects));
    EXPECT_EQ(rects.size(), 1u);
}

TEST(PanelGrid, SidesBelowOneCountAsFive) {
    EXPECT_EQ(EffectiveGridSide(0), 5);
    EXPECT_EQ(EffectiveGridSide(-3), 5);
    EXPECT_EQ(EffectiveGridSide(1), 1);
    EXPECT_EQ(EffectiveGridSide(18), 18);
}

TEST(PanelGrid, HandEditedHugeGridsAreBounded) {
    // A settings file edited by hand may say anything: the grid must stay one the screen can
    // build, within the list of closed panels, instead of eating the memory or hanging.
    const struct {
        int cols, rows;
        GridSize grid;
    } cases[] = {
        {18, 12, {18, 12}},        {25, 20, {25, 20}},  {100, 100, {5, 100}}, {30, 20, {25, 20}},
        {2147483647, 2, {100, 2}}, {1, 1000, {1, 100}}, {0, -4, {5, 5}},      {501, 1, {100, 1}},
    };
    for (const auto& c : cases) {
        const GridSize grid = EffectiveGrid(c.cols, c.rows);
        EXPECT_EQ(grid, c.grid) << c.cols << "x" << c.rows;
        EXPECT_LE(grid.Cols * grid.Rows, kMaxPanels);
    }
}

TEST(PanelGrid, PhotoPlacement) {
    const struct {
        double pw, w, h;
        QRectF panel;
    } cases[] = {
        {1000, 4000, 3000, {0, 0, 1000, 750}},       // 4:3 fills the panel's photo box exactly
        {1000, 4000, 1000, {0, 250, 1000, 250}},     // wide: fills the width, centred vertically
        {1000, 1000, 4000, {406.25, 0, 187.5, 750}}, // tall: fills the height, centred horizontally
        {12000, 3000, 4000, {2625, 0, 6750, 9000}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PanelPhotoPlacement(c.pw, c.w, c.h), c.panel) << c.w << "x" << c.h;
    }
    EXPECT_TRUE(PanelPhotoPlacement(1000, 0, 10).isNull());
}

TEST(PanelGrid, TheFullScreenPhotoIsWholeAndCentred) {
    const struct {
        double pw, ph, w, h;
        QRectF effect;
    } cases[] = {
        {1920, 1080, 480, 640, {555, 0, 810, 1080}},    // portrait on 16:9: whole, centred across
        {1920, 1080, 4000, 3000, {240, 0, 1440, 1080}}, // 4:3 keeps its bottom quarter
        {1920, 1080, 1920, 1080, {0, 0, 1920, 1080}},   // the screen's own shape fills it
        {1920, 1080, 4000, 1000, {0, 300, 1920, 480}},  // very wide: centred down
        {1024, 700, 100, 100, {162, 0, 700, 700}},      // small photos grow to the screen
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EffectPhotoPlacement(c.pw, c.ph, c.w, c.h), c.effect) << c.w << "x" << c.h;
    }
    EXPECT_TRUE(EffectPhotoPlacement(1920, 1080, 0, 10).isNull());
}
