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
    const std::vector<PanelRect> last(1, PanelRect{1, 2, 3, 4});
    const struct {
        double client, button;
        bool laid;
    } cases[] = {
        {375 + 250, 375, false}, // g = 0
        {375 + 251, 375, false}, // g = 0.2 -> 0
        {375 + 255, 375, true},  // g = 1: 6g/8 rounds to 1
        {100, 375, false},       // a < 1
        {8880, 0, false},        // b < 1
    };
    for (const auto& c : cases) {
        std::vector<PanelRect> out = last;
        EXPECT_EQ(LayoutPanelGrid(kWide, c.client, c.button, 1, 5, out), c.laid) << c.client;
        EXPECT_EQ(out == last, !c.laid) << c.client;
        EXPECT_TRUE(!c.laid || out[0].Width == 1);
    }
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
