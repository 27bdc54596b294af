#pragma once

#include "core/cards/cardsettings.h"

#include <QString>

// Fitting a name into a card cell: the largest size, in half points from 49.5 down, at which the
// text fits, lowered by a further half point, then centred.

struct TextExtent {
    double Width = 0;  // millimetres
    double Height = 0; // millimetres (the font's line height)
    double Ascent = 0; // millimetres from the top of the line to the baseline
};

// Measures a text in the card font at a point size, in millimetres.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual TextExtent Measure(const QString& text, double pointSize) = 0;
};

constexpr double kFitStartSize = 50.0;
constexpr double kFitStep = 0.5;
constexpr double kFitSmallestSize = 1.0;

struct FittedText {
    bool Blank = true;    // nothing to print: the offsets are (0, 0)
    double PointSize = 0; // the size to print at
    TextExtent Extent;    // measured at PointSize
    MmUnits Dx = 0;       // offset of the text's top-left corner from the cell's
    MmUnits Dy = 0;
    int Measurements = 0; // how many times the text was measured
};

// Fits text into a cell of side c whose text starts at q from the cell top (q = c: the whole
// cell; otherwise the strip under the photo, c - q high). Measures only a few sizes: one at 50
// points predicts the size, then neighbours on the half-point grid confirm it. The result is the
// one of the step-by-step search whenever the measured size grows with the point size.
FittedText FitText(TextMeasurer& measurer, const QString& text, MmUnits c, MmUnits q);

// The plain search: from 50 points down half a point at a time (stopping at 1 point).
FittedText FitTextStepByStep(TextMeasurer& measurer, const QString& text, MmUnits c, MmUnits q);
