#pragma once

#include <QString>
#include <functional>

// Text fitting of the draw screen: the size of a name on a panel and the final size of the
// animated name. Each search exists twice: the literal step-by-step scan, which defines the
// result, and the fast search the screen uses, which gives the same result with a handful of
// measurements (it brackets the answer from a first measurement, checks the neighbours, and
// falls back to the literal scan when the measured sizes contradict each other).

struct TextSize {
    double Width = 0;
    double Height = 0;
};

// Measures the text in the font face of the caller at a point size, in the units of the boxes.
using TextMeasure = std::function<TextSize(double pointSize)>;

struct PanelTextFit {
    bool Empty = true; // the name is blank: nothing to print, position (0, 0)
    double Size = 0;   // point size to print with
    TextSize Measured; // the text's size at that point size
    double X = 0;
    double Y = 0;
};

// A name on a panel of width w whose name area is a high (a == w: the whole panel; otherwise the
// strip of w - a below a photo of height a): the size 0.5 pt below the first size from 99.5 pt
// down in steps of 0.5 at which the name fits, centred in its area. Sizes stop at 0.5 pt.
PanelTextFit FitPanelTextLiteral(const QString& name, double w, double a, const TextMeasure& measure);
PanelTextFit FitPanelText(const QString& name, double w, double a, const TextMeasure& measure);

struct NameTarget {
    double Size = 0;   // the final point size of the animated name
    TextSize Measured; // the name's size at that point size
};

// The final size of the animated name on an effect area pw × ph: the first of 1000, 950 … 50 pt
// at which the name is lower than 3/5 ph and no wider than pw gives L; then the first of L + 50
// down to L (steps of 1) at which it is lower than 3/5 ph and narrower than pw. When no size
// passes, the smallest size tried is taken.
NameTarget FindNameTargetLiteral(double pw, double ph, const TextMeasure& measure);
NameTarget FindNameTarget(double pw, double ph, const TextMeasure& measure);
