#include "core/cards/cardgeometry.h"
#include "core/cards/celltextfit.h"

#include <gtest/gtest.h>

namespace {

MmPoint mm(double x, double y) {
    return {ToUnits(x), ToUnits(y)};
}

TEST(CardGeometry, OriginsOfEveryLayout) {
    const struct {
        int layout;
        std::vector<MmPoint> origins;
    } cases[] = {
        {0, {mm(12.5, 34.25), mm(117.5, 34.25), mm(12.5, 182.75), mm(117.5, 182.75)}},
        {1, {mm(43.25, 12.5), mm(43.25, 161)}},
        {2, {mm(12.5, 56)}},
        {3, {mm(34.25, 12.5), mm(182.75, 12.5), mm(34.25, 117.5), mm(182.75, 117.5)}},
        {4, {mm(12.5, 43.25), mm(161, 43.25)}},
        {5, {mm(56, 12.5)}},
        {6, {mm(39.25, 12.5), mm(39.25, 141)}},
        {7, {mm(12.5, 50)}},
        {8, {mm(12.5, 39.25), mm(141, 39.25)}},
        {9, {mm(50, 12.5)}},
        {10, {mm(12.5, 36.5)}},
        {11, {mm(36.5, 12.5)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CardOrigins(PaperLayouts()[static_cast<size_t>(c.layout)]), c.origins)
            << "layout " << c.layout;
    }
    EXPECT_EQ(PageSize(PaperLayouts()[8]), mm(257, 182));
}

TEST(CardGeometry, CellsAndGridOfASevenBySevenCard) {
    const MmUnits side = ToUnits(123.5);
    const MmUnits c = CellSide(side, 7);
    EXPECT_EQ(c, 176429);
    const MmPoint origin = mm(43.25, 12.5);
    const CardGrid grid = GridLines(origin, side, 7);
    EXPECT_EQ(grid.Outline, (MmRect{origin.X, origin.Y, side, side}));
    ASSERT_EQ(grid.Lines.size(), 12u);
    // Vertical and horizontal lines alternate; the sixth vertical one is at X + 105.8574.
    EXPECT_EQ(grid.Lines[10],
              (MmLine{{origin.X + 1058574, origin.Y}, {origin.X + 1058574, origin.Y + side}}));
    EXPECT_EQ(grid.Lines[11],
              (MmLine{{origin.X, origin.Y + 1058574}, {origin.X + side, origin.Y + 1058574}}));
    EXPECT_EQ(CellOrigin(origin, c, 4, 2), (MmPoint{origin.X + c, origin.Y + 3 * c}));
    EXPECT_EQ(PhotoBoxHeight(c), 132322); // 13.232175 rounded to the unit
    EXPECT_EQ(CellSide(ToUnits(80), 9), 88889);
    EXPECT_EQ(GridLines(origin, ToUnits(80), 3).Lines.size(), 4u);
}

TEST(CardGeometry, DivisionRoundsHalvesToEven) {
    EXPECT_EQ(DivideUnits(5, 2), 2);
    EXPECT_EQ(DivideUnits(7, 2), 4);
    EXPECT_EQ(DivideUnits(-5, 2), -2);
    EXPECT_EQ(DivideUnits(-7, 2), -4);
    EXPECT_EQ(DivideUnits(10, 3), 3);
    EXPECT_EQ(DivideUnits(11, 3), 4);
    EXPECT_EQ(DivideUnits(-11, 3), -4);
}

TEST(CardGeometry, PhotoFillsTheTopThreeQuartersCentredOnTheFreeAxis) {
    const MmUnits x = 1000, y = 2000, c = 80000; // box 8 × 6 mm
    const struct {
        double w, h;
        MmRect expected;
    } cases[] = {
        {4000, 3000, {x, y, c, 60000}},             // 4:3 fills the box
        {200, 100, {x, y + 10000, c, 40000}},       // wider: width decides, centred vertically
        {3000, 4000, {x + 17500, y, 45000, 60000}}, // portrait: height decides, centred horizontally
        {100, 100, {x + 10000, y, 60000, 60000}},   // square is narrower than 4:3
        {1600, 1200, {x, y, c, 60000}},
    };
    for (const auto& t : cases) {
        EXPECT_EQ(PlacePhoto(x, y, c, t.w, t.h), t.expected) << t.w << "x" << t.h;
    }
}

// Full-width characters of 0.3528 mm per point, lines 1.2 times as high.
class FakeMeasurer : public TextMeasurer {
public:
    TextExtent Measure(const QString& text, double size) override {
        ++Calls;
        const double em = size * 0.3528;
        return {text.size() * em, em * 1.2, em};
    }
    int Calls = 0;
};

TEST(TextFit, FitsTheWholeCellOrTheStripUnderThePhoto) {
    FakeMeasurer m;
    const FittedText whole = FitText(m, QStringLiteral("山田太郎"), 200000, 200000);
    EXPECT_FALSE(whole.Blank);
    EXPECT_DOUBLE_EQ(whole.PointSize, 13.5); // 14 is the first size that fits, less half a point
    EXPECT_EQ(whole.Dx, 4744);
    EXPECT_EQ(whole.Dy, 71423);

    const FittedText under = FitText(m, QStringLiteral("山田太郎"), 200000, 150000);
    EXPECT_DOUBLE_EQ(under.PointSize, 11.0); // the 5 mm strip decides
    EXPECT_EQ(under.Dy, 150000 + 1715);
    EXPECT_EQ(under.Dx, ToUnits((20 - 4 * 11 * 0.3528) / 2));

    const FittedText blank = FitText(m, QStringLiteral("   "), 200000, 200000);
    EXPECT_TRUE(blank.Blank);
    EXPECT_EQ(blank.Dx, 0);
    EXPECT_EQ(blank.Dy, 0);

    // Nothing fits: the search stops at the smallest size.
    const FittedText tiny = FitText(m, QString(200, QChar(u'あ')), 10000, 10000);
    EXPECT_DOUBLE_EQ(tiny.PointSize, kFitSmallestSize);
    // A short text in a large cell stays below 50 points.
    EXPECT_DOUBLE_EQ(FitText(m, QStringLiteral("★"), 1850000, 1850000).PointSize, 49.0);
}

TEST(TextFit, FewMeasurementsSameResultAsTheStepSearch) {
    const QString texts[] = {QStringLiteral("★"),          QStringLiteral("林　舞"),
                             QStringLiteral("山田　太郎"), QStringLiteral("マクファーソン　ジェニファー"),
                             QStringLiteral("A"),          QStringLiteral("Abcdefghijklmnopqrstuvwxyz")};
    const MmUnits sides[] = {88889, 160000, 176429, 246667, 616667, 750000};
    for (const QString& text : texts) {
        for (MmUnits c : sides) {
            for (MmUnits q : {c, PhotoBoxHeight(c)}) {
                FakeMeasurer fast;
                FakeMeasurer slow;
                const FittedText a = FitText(fast, text, c, q);
                const FittedText b = FitTextStepByStep(slow, text, c, q);
                EXPECT_DOUBLE_EQ(a.PointSize, b.PointSize) << text.toStdString() << " " << c;
                EXPECT_EQ(a.Dx, b.Dx);
                EXPECT_EQ(a.Dy, b.Dy);
                EXPECT_LE(fast.Calls, 5) << text.toStdString() << " " << c;
            }
        }
    }
}

} // namespace
