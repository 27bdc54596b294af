#include "core/cards/cardgeometry.h"
#include "core/cards/celltextfit.h"
#include "support/casefile.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

MmPoint Mm(double x, double y) {
    return {ToUnits(x), ToUnits(y)};
}

TEST(CardGeometry, CellsAndGridOfASevenBySevenCard) {
    const MmUnits side = ToUnits(123.5);
    const MmUnits c = CellSide(side, 7);
    EXPECT_EQ(c, 176429);
    const MmPoint o = Mm(43.25, 12.5);
    const CardGrid grid = GridLines(o, side, 7);
    EXPECT_EQ(grid.Outline, (MmRect{o.X, o.Y, side, side}));
    ASSERT_EQ(grid.Lines.size(), 12u);
    // Vertical and horizontal lines alternate; the sixth vertical one is at X + 105.8574.
    EXPECT_EQ(grid.Lines[10], (MmLine{{o.X + 1058574, o.Y}, {o.X + 1058574, o.Y + side}}));
    EXPECT_EQ(grid.Lines[11], (MmLine{{o.X, o.Y + 1058574}, {o.X + side, o.Y + 1058574}}));
    EXPECT_EQ(CellOrigin(o, c, 4, 2), (MmPoint{o.X + c, o.Y + 3 * c}));
    EXPECT_EQ(PhotoBoxHeight(c), 132322); // 13.232175 rounded to the unit
    EXPECT_EQ(CellSide(ToUnits(80), 9), 88889);
}

// Full-width characters of 0.3528 mm per point, lines 1.2 times as high; with a grain, extents
// grow in steps of that many millimetres, as on a device of coarse pixels.
class FakeMeasurer : public TextMeasurer {
public:
    explicit FakeMeasurer(double grain = 0) : m_grain(grain) {}
    TextExtent Measure(const QString& text, double size) override {
        ++Calls;
        const auto step = [this](double mm) { return m_grain > 0 ? std::ceil(mm / m_grain) * m_grain : mm; };
        const double em = size * 0.3528;
        return {step(text.size() * em), step(em * 1.2), em};
    }
    int Calls = 0;

private:
    double m_grain;
};

// tests/data/cards/text_fit.tsv: a text fitted to a cell: its size, and where it stands.
TEST(TextFit, FitsTheWholeCellOrTheStripUnderThePhoto) {
    const int cases = ForEachCase(QStringLiteral("cards"), QStringLiteral("text_fit.tsv"),
                                  [](const std::string& where, const QStringList& f) {
                                      FakeMeasurer m(f[3].toDouble());
                                      const FittedText fit = FitText(m, f[0], f[1].toInt(), f[2].toInt());
                                      EXPECT_EQ(QStringLiteral("%1%2 %3 %4")
                                                    .arg(QLatin1String(fit.Blank ? "blank " : ""))
                                                    .arg(fit.PointSize)
                                                    .arg(fit.Dx)
                                                    .arg(fit.Dy)
                                                    .toStdString(),
                                                f[4].toStdString())
                                          << where;
                                  });
    EXPECT_GE(cases, 6);
}

TEST(TextFit, FewMeasurementsSameResultAsTheStepSearch) {
    for (const char16_t* text :
         {u"★", u"林　舞", u"山田　太郎", u"マクファーソン　ジェニファー", u"A", u"Abcdefghijklmnop"}) {
        for (MmUnits c : {88889, 160000, 176429, 246667, 351000, 616667, 750000}) {
            for (MmUnits q : {c, PhotoBoxHeight(c)}) {
                for (double grain : {0.0, 0.5}) {
                    FakeMeasurer fast(grain), slow(grain);
                    const FittedText a = FitText(fast, QString::fromUtf16(text), c, q);
                    const FittedText b = FitTextStepByStep(slow, QString::fromUtf16(text), c, q);
                    EXPECT_DOUBLE_EQ(a.PointSize, b.PointSize) << c << " " << q << " " << grain;
                    EXPECT_EQ(a.Dx, b.Dx);
                    EXPECT_EQ(a.Dy, b.Dy);
                    EXPECT_LE(fast.Calls, grain > 0 ? 6 : 5) << c << " " << q;
                }
            }
        }
    }
}

} // namespace
