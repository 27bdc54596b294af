#include "core/draw/textfit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A text whose advance grows with the size, rounded to 1/64 of a unit per glyph the way font
// engines round, and whose line height is a share of the size.
struct SyntheticText {
    int glyphs;
    double advance; // per point and glyph
    double lineHeight;
    int* count;
    TextSize operator()(double size) const {
        ++*count;
        const double glyph = std::round(advance * size * 64.0) / 64.0;
        return {glyph * glyphs, std::round(lineHeight * size * 64.0) / 64.0};
    }
};

bool same(const PanelTextFit& a, const PanelTextFit& b) {
    return a.Empty == b.Empty && a.Size == b.Size && a.X == b.X && a.Y == b.Y &&
           a.Measured.Width == b.Measured.Width && a.Measured.Height == b.Measured.Height;
}

} // namespace

// The fast searches give the literal scans' results over texts, panels and screens, and measure
// at most 10 sizes.
TEST(TextFit, FastSearchesEqualTheLiteralScans) {
    int worst = 0;
    for (int glyphs : {1, 2, 3, 5, 8, 13, 20, 30}) {
        for (double advance : {0.9, 1.33, 1.07, 0.71}) {
            const auto text = [glyphs, advance](int& count) {
                return SyntheticText{glyphs, advance, 1.5, &count};
            };
            for (double w : {3.0, 40.0, 97.0, 150.0, 201.0, 333.0, 1000.0, 1920.0, 3840.0}) {
                for (double a : {w, 3.0 * w / 4.0, 20.0, 1080.0}) {
                    int literalCount = 0;
                    int fastCount = 0;
                    const PanelTextFit literal =
                        FitPanelTextLiteral(QStringLiteral("x"), w, std::min(a, w), text(literalCount));
                    const PanelTextFit fast =
                        FitPanelText(QStringLiteral("x"), w, std::min(a, w), text(fastCount));
                    EXPECT_TRUE(same(literal, fast)) << glyphs << " " << advance << " " << w << " " << a
                                                     << ": " << literal.Size << " vs " << fast.Size;
                    worst = std::max(worst, fastCount);
                    fastCount = 0;
                    const NameTarget wholeLiteral = FindNameTargetLiteral(w, a, text(literalCount));
                    const NameTarget whole = FindNameTarget(w, a, text(fastCount));
                    EXPECT_EQ(wholeLiteral.Size, whole.Size)
                        << glyphs << " " << advance << " " << w << "x" << a;
                    EXPECT_EQ(wholeLiteral.Measured.Width, whole.Measured.Width);
                    EXPECT_EQ(wholeLiteral.Measured.Height, whole.Measured.Height);
                    worst = std::max(worst, fastCount);
                }
            }
        }
    }
    EXPECT_LE(worst, 10);
}

TEST(TextFit, PanelFitPlacesTheNameBelowThePhoto) {
    int count = 0;
    // 4 glyphs of 1 unit per point, line height 1.5 per point; panel 100, photo box 75 high.
    const PanelTextFit fit =
        FitPanelText(QStringLiteral("name"), 100, 75, SyntheticText{4, 1.0, 1.5, &count});
    // The strip is 25 high: the first size with 1.5 s <= 25 is 16.5 (24.75); printed at 16.
    EXPECT_EQ(fit.Size, 16.0);
    EXPECT_DOUBLE_EQ(fit.X, (100 - 64) / 2.0);
    EXPECT_DOUBLE_EQ(fit.Y, 75 + (25 - 24) / 2.0);
    const PanelTextFit whole =
        FitPanelText(QStringLiteral("name"), 100, 100, SyntheticText{4, 1.0, 1.5, &count});
    EXPECT_EQ(whole.Size, 24.5); // 25 * 4 = 100 fits the width
    EXPECT_DOUBLE_EQ(whole.Y, (100 - 1.5 * 24.5) / 2.0);
}

TEST(TextFit, BlankNameIsNotFitted) {
    int count = 0;
    const PanelTextFit fit = FitPanelText(QStringLiteral("  "), 100, 100, SyntheticText{1, 1, 1, &count});
    EXPECT_TRUE(fit.Empty);
    EXPECT_EQ(fit.X, 0);
    EXPECT_EQ(fit.Y, 0);
    EXPECT_EQ(count, 0);
}

TEST(TextFit, NothingFitsStopsAtTheSmallestSize) {
    int a = 0;
    int b = 0;
    const PanelTextFit literal =
        FitPanelTextLiteral(QStringLiteral("x"), 0.1, 0.1, SyntheticText{3, 1, 1, &a});
    const PanelTextFit fast = FitPanelText(QStringLiteral("x"), 0.1, 0.1, SyntheticText{3, 1, 1, &b});
    EXPECT_EQ(literal.Size, 0.5);
    EXPECT_TRUE(same(literal, fast));
}

TEST(TextFit, ANarrowerTextAtALargerSizeNextToTheBoundaryIsFound) {
    // Fits from 40 pt down, and also at 41 pt alone (a rounding dip): the literal scan from the
    // top stops at 41 pt; so must the fast search.
    int count = 0;
    const TextMeasure measure = [&count](double size) {
        ++count;
        const double width = size == 41.0 ? 90.0 : size * 2.5;
        return TextSize{width, 10};
    };
    const PanelTextFit literal = FitPanelTextLiteral(QStringLiteral("x"), 100, 100, measure);
    const PanelTextFit fast = FitPanelText(QStringLiteral("x"), 100, 100, measure);
    EXPECT_EQ(literal.Size, 40.5);
    EXPECT_TRUE(same(literal, fast)) << fast.Size;
}

TEST(TextFit, NameTargetFallsBackToTheSmallestSizeTried) {
    int count = 0;
    // Width exactly the size: at 600 pt the text is as wide as the area, which passes the coarse
    // test (no wider) but not the fine one (narrower): no size of 650 … 600 passes, 600 is taken.
    const TextMeasure measure = [&count](double size) {
        ++count;
        return TextSize{size, size / 10};
    };
    EXPECT_EQ(FindNameTargetLiteral(600, 1000, measure).Size, 600);
    EXPECT_EQ(FindNameTarget(600, 1000, measure).Size, 600);
    EXPECT_EQ(FindNameTarget(600.5, 1000, measure).Size, 600);
    EXPECT_EQ(FindNameTarget(1050, 1000, measure).Size, 1049); // the fine scan starts above 1000
    // Nothing passes: the smallest size tried.
    EXPECT_EQ(FindNameTargetLiteral(1, 1, measure).Size, 50);
    EXPECT_EQ(FindNameTarget(1, 1, measure).Size, 50);
}
