#include "core/draw/effects.h"

#include "core/common/designfonts.h"
#include "core/common/random.h"
#include "core/roster/pool.h"

#include <algorithm>
#include <cmath>

namespace {
double fourDecimals(double value) {
    return std::round(value * 10000.0) / 10000.0;
}
} // namespace

QString EffectFontFace(int index) {
    switch (std::clamp(index, 1, 8)) {
    case 1:
        return QStringLiteral("HG正楷書体-PRO");
    case 2:
        return QStringLiteral("HGP創英角ﾎﾟｯﾌﾟ体");
    case 3:
        return QStringLiteral("HG丸ｺﾞｼｯｸM-PRO");
    case 4:
        return FaceName(DesignFace::PMincho);
    case 5:
        return QStringLiteral("HGS創英角ﾎﾟｯﾌﾟ体");
    case 6:
        return QStringLiteral("HG行書体");
    case 7:
        return FaceName(DesignFace::PGothic);
    default:
        return QStringLiteral("HGS明朝B");
    }
}

QColor EffectColour(int index) {
    static const int colours[][3] = {{0, 255, 255},   {255, 0, 255},   {255, 255, 0},   {128, 255, 255},
                                     {128, 255, 128}, {128, 128, 255}, {255, 128, 255}, {0, 255, 128}};
    const auto& c = colours[std::clamp(index, 1, 8) - 1];
    return QColor(c[0], c[1], c[2]);
}

QString PickEffectFont(FractionSource& random) {
    return EffectFontFace(RandomIndex(random, 8));
}

QColor PickEffectColour(FractionSource& random) {
    return EffectColour(RandomIndex(random, 8));
}

AnimationParams ChooseAnimation(int speedIndex, int style, bool simple) {
    AnimationParams p;
    if (speedIndex <= 2) {
        p = {40, 5, 80, 0.0};
    } else if (speedIndex <= 5) {
        p = {150, 3, 30, fourDecimals(1256.0 / 150.0)};
    } else {
        p = {120, 4, 40, fourDecimals(628.0 / 120.0)};
    }
    if (style == 1) {
        p = {200, 1, 30, fourDecimals(1256.0 / 200.0)};
    }
    if (simple) {
        p = {25, 10, 30, fourDecimals(1256.0 / 25.0)};
    }
    return p;
}

NameAnimation PlanNameAnimation(FractionSource& random, double pw, double ph, bool simple,
                                const FaceMeasure& measure) {
    NameAnimation plan;
    plan.Face = PickEffectFont(random);
    const QString face = plan.Face;
    plan.Target = FindNameTarget(pw, ph, [&](double size) { return measure(face, size); });
    const double s = plan.Target.Size;
    const double tw = plan.Target.Measured.Width;
    const double th = plan.Target.Measured.Height;

    const double s0 = 3;
    const TextSize small = measure(face, s0);
    const double w0 = small.Width;
    const double h0 = small.Height;

    int style = RandomIndex(random, 5);
    if (style == 5) {
        style = 1;
    }
    const int speed = RandomIndex(random, 8);
    if (simple) {
        style = 1;
    }
    plan.Params = ChooseAnimation(speed, style, simple);
    const int n = plan.Params.Frames;

    double startX = 0;
    switch (RandomIndex(random, 3)) {
    case 2:
        startX = (pw - w0) / 2;
        break;
    case 3:
        startX = pw;
        break;
    default:
        break;
    }
    double startY = 0;
    switch (RandomIndex(random, 3)) {
    case 2:
        startY = (ph - h0) / 2;
        break;
    case 3:
        startY = (ph - h0) - h0 / 6;
        break;
    default:
        break;
    }
    const double finalX = (pw - tw) / 2;
    double finalY = 0;
    switch (RandomIndex(random, 3)) {
    case 2:
        finalY = (ph - th) / 2;
        break;
    case 3:
        finalY = (ph - th) - th / 6;
        break;
    default:
        break;
    }
    const double dx = (finalX - startX) / n;
    const double dy = (finalY - startY) / n;
    const double ds = (s - s0) / n;

    plan.Rainbow = RandomIndex(random, 20) == 1 && n != 40;
    if (startX == pw && style == 4) {
        style = 3;
    }
    plan.Style = style;

    const double angle = plan.Params.AngleStep;
    int grey = 0;
    plan.Frames.reserve(static_cast<size_t>(n));
    for (int k = 1; k <= n; ++k) {
        NameFrame f;
        f.Size = k * ds + s0;
        switch (style) {
        case 2:
            f.X = k * dx + startX;
            f.Y = k * dy + startY;
            break;
        case 3:
            f.X = k * dx + startX;
            f.Y = std::cos(k * angle / 100.0) * (k * dy) + startY;
            break;
        case 4:
            f.X = std::cos(k * angle / 100.0) * (k * dx) + startX;
            f.Y = k * dy + startY;
            break;
        default:
            f.X = finalX;
            f.Y = finalY;
            f.Size = s;
            break;
        }
        if (plan.Rainbow) {
            f.Colour = PickEffectColour(random);
        } else {
            grey = (grey + plan.Params.ColourStep) % 255;
            f.Colour = QColor(grey, grey, grey);
        }
        plan.Frames.push_back(f);
    }
    plan.Last.X = finalX;
    plan.Last.Y = finalY;
    plan.Last.Size = s;
    plan.Last.Colour = plan.Rainbow ? QColor(255, 255, 255) : PickEffectColour(random);
    return plan;
}

TelopPlan PlanTelop(FractionSource& random, double ws, double hs) {
    TelopPlan plan;
    const int r = RandomIndex(random, 10);
    if (r <= 3) {
        plan.Top = hs / 2;
    } else if (r <= 6) {
        plan.Top = hs * 3 / 4;
    } else {
        plan.Top = hs / 4;
    }
    const int s = RandomIndex(random, 9);
    if (s <= 3) {
        plan.Step = fourDecimals(ws / 40);
    } else if (s <= 6) {
        plan.Step = fourDecimals(ws / 20);
    } else {
        plan.Step = fourDecimals(ws / 30);
    }
    plan.IntervalMs = RandomIndex(random, 2) == 1 ? 40 : 50;
    return plan;
}
