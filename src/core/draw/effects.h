#pragma once

#include "core/draw/textfit.h"

#include <QColor>
#include <QString>
#include <vector>

class FractionSource;

// The random choices of the draw's full-screen effects and of the scrolling line, planned as
// plain data so that the screen only paints and paces them. Every random pick goes through
// RandomIndex, in the order the effects make them.

// The faces the animated name is printed in, chosen by RandomIndex(8).
QString EffectFontFace(int index);
// The colours of PrintInRandomColour, chosen by RandomIndex(8).
QColor EffectColour(int index);
QString PickEffectFont(FractionSource& random);
QColor PickEffectColour(FractionSource& random);

// Frames, grey step, pacing and angle step of the name animation.
struct AnimationParams {
    int Frames = 0;
    int ColourStep = 0;
    int IntervalMs = 0;
    double AngleStep = 0; // four decimals; applied as cos(frame × step / 100)
    bool operator==(const AnimationParams&) const = default;
};

// The parameters for a speed index 1 … 8 and a style 1 … 4; style 1 and a simple draw replace
// the speed's row (a simple draw forces style 1 itself: see PlanNameAnimation).
AnimationParams ChooseAnimation(int speedIndex, int style, bool simple);

// One printed copy of the name: top left corner, point size and colour.
struct NameFrame {
    double X = 0;
    double Y = 0;
    double Size = 0;
    QColor Colour;
};

struct NameAnimation {
    QString Face;
    int Style = 1;
    AnimationParams Params;
    bool Rainbow = false;
    NameTarget Target;             // final size and the name's size at it
    std::vector<NameFrame> Frames; // one per pacing tick
    NameFrame Last;                // the clean copy printed after the last tick
};

// Measures the name in a face at a point size.
using FaceMeasure = std::function<TextSize(const QString& face, double pointSize)>;

// Plans the animated name on an effect area pw × ph: face, final size, style, speed, start and
// final positions, rainbow choice, then every frame.
NameAnimation PlanNameAnimation(FractionSource& random, double pw, double ph, bool simple,
                                const FaceMeasure& measure);

// The scrolling line's place and pace on a screen ws × hs.
struct TelopPlan {
    double Top = 0;
    double Step = 0; // moved left per tick
    int IntervalMs = 0;
};
TelopPlan PlanTelop(FractionSource& random, double ws, double hs);

// Most ticks a scrolling line moves.
constexpr int kTelopMaxSteps = 200;
