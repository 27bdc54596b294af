#include "core/draw/textfit.h"
#include "core/common/blank.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Measurements by point size, each size measured at most once.
class MeasureMemo {
public:
    explicit MeasureMemo(const TextMeasure& measure) : m_measure(measure) {}
    TextSize operator()(double size) {
        const auto found = m_sizes.find(size);
        if (found != m_sizes.end()) {
            return found->second;
        }
        const TextSize measured = m_measure(size);
        m_sizes.emplace(size, measured);
        return measured;
    }

private:
    const TextMeasure& m_measure;
    std::map<double, TextSize> m_sizes;
};

// A yes/no test over the positions lo..hi of a scan, remembering every answer.
class ScanTest {
public:
    ScanTest(int lo, int hi, std::function<bool(int)> test) : m_lo(lo), m_hi(hi), m_test(std::move(test)) {}
    bool operator()(int i) {
        const auto found = m_seen.find(i);
        if (found != m_seen.end()) {
            return found->second;
        }
        const bool result = m_test(i);
        m_seen.emplace(i, result);
        return result;
    }

    // The first position at which the test holds (hi + 1 when none), found from a guess by
    // galloping and bisection, as the literal scan from lo upwards finds it when the test fails
    // up to one position and holds from there on. Answers contradicting that shape (among them
    // the neighbours of the boundary, looked at unless told not to) make it scan literally.
    int FirstPassing(int guess, bool checkNeighbours = true) {
        const int found = bracket(std::clamp(guess, m_lo, m_hi));
        // Where rounding could make a text narrower at a larger size, it would show next to the
        // boundary: look at one more size on each side (needless where sizes are far apart).
        if (!checkNeighbours) {
            return consistent(found);
        }
        if (found - 2 >= m_lo) {
            (*this)(found - 2);
        }
        if (found + 1 <= m_hi) {
            (*this)(found + 1);
        }
        return consistent(found);
    }

private:
    int consistent(int found) {
        for (const auto& [i, passed] : m_seen) {
            if (passed != (i >= found)) {
                return literal();
            }
        }
        return found;
    }

    int literal() {
        for (int i = m_lo; i <= m_hi; ++i) {
            if ((*this)(i)) {
                return i;
            }
        }
        return m_hi + 1;
    }

    int bracket(int guess) {
        int failing = m_lo - 1; // a position known to fail (or before the scan)
        int passing = m_hi + 1; // a position known to pass (or after the scan)
        int step = 1;
        if ((*this)(guess)) {
            passing = guess;
            while (passing > m_lo) {
                const int probe = std::max(m_lo, passing - step);
                if ((*this)(probe)) {
                    passing = probe;
                    step *= 2;
                } else {
                    failing = probe;
                    break;
                }
            }
        } else {
            failing = guess;
            while (failing < m_hi) {
                const int probe = std::min(m_hi, failing + step);
                if ((*this)(probe)) {
                    passing = probe;
                    break;
                }
                failing = probe;
                step *= 2;
            }
        }
        while (passing - failing > 1) {
            const int middle = failing + (passing - failing) / 2;
            if ((*this)(middle)) {
                passing = middle;
            } else {
                failing = middle;
            }
        }
        return passing;
    }

    int m_lo;
    int m_hi;
    std::function<bool(int)> m_test;
    std::map<int, bool> m_seen;
};

// Panel sizes: position i (1 … 199) is 100 - 0.5 i.
constexpr int kPanelSteps = 199;
double panelSize(int i) {
    return 100.0 - 0.5 * i;
}

double nameArea(double w, double a) {
    return a == w ? a : w - a;
}

PanelTextFit placePanelText(double size, TextSize measured, double w, double a) {
    PanelTextFit fit;
    fit.Empty = false;
    fit.Size = size;
    fit.Measured = measured;
    const double h = nameArea(w, a);
    fit.X = (w - measured.Width) / 2.0;
    fit.Y = (h - measured.Height) / 2.0;
    if (a != w) {
        fit.Y += a;
    }
    return fit;
}

// The size printed with: half a point below the first size that fits, never below 0.5 pt.
double finalPanelSize(int first) {
    const int i = std::min(first, kPanelSteps);
    return std::max(0.5, panelSize(i) - 0.5);
}

// Coarse name sizes: position j (0 … 19) is 1000 - 50 j.
constexpr int kCoarseSteps = 19;
double coarseSize(int j) {
    return 1000.0 - 50.0 * j;
}

bool coarseFits(TextSize t, double pw, double ph) {
    return t.Height < 3.0 / 5.0 * ph && t.Width <= pw;
}
bool fineFits(TextSize t, double pw, double ph) {
    return t.Height < 3.0 / 5.0 * ph && t.Width < pw;
}

// The share of a measured size at which the text would just fit (linear estimate).
double fitRatio(TextSize t, double pw, double ph) {
    double ratio = 1.0;
    if (t.Width > 0) {
        ratio = std::min(ratio, pw / t.Width);
    }
    if (t.Height > 0) {
        ratio = std::min(ratio, 3.0 / 5.0 * ph / t.Height);
    }
    return ratio;
}

} // namespace

PanelTextFit FitPanelTextLiteral(const QString& name, double w, double a, const TextMeasure& measure) {
    if (IsBlank(name)) {
        return {};
    }
    const double h = nameArea(w, a);
    int i = 1;
    for (; i <= kPanelSteps; ++i) {
        const TextSize t = measure(panelSize(i));
        if (t.Width <= w && t.Height <= h) {
            break;
        }
    }
    const double size = finalPanelSize(i);
    return placePanelText(size, measure(size), w, a);
}

PanelTextFit FitPanelText(const QString& name, double w, double a, const TextMeasure& measure) {
    if (IsBlank(name)) {
        return {};
    }
    const double h = nameArea(w, a);
    MeasureMemo memo(measure);
    ScanTest fits(1, kPanelSteps, [&](int i) {
        const TextSize t = memo(panelSize(i));
        return t.Width <= w && t.Height <= h;
    });
    int guess = 1;
    if (!fits(1)) {
        const TextSize first = memo(panelSize(1));
        double ratio = 1.0;
        if (first.Width > 0) {
            ratio = std::min(ratio, w / first.Width);
        }
        if (first.Height > 0) {
            ratio = std::min(ratio, h / first.Height);
        }
        guess = static_cast<int>(std::ceil((100.0 - panelSize(1) * ratio) / 0.5));
    }
    const double size = finalPanelSize(fits.FirstPassing(guess));
    return placePanelText(size, memo(size), w, a);
}

NameTarget FindNameTargetLiteral(double pw, double ph, const TextMeasure& measure) {
    double l = coarseSize(kCoarseSteps);
    for (int j = 0; j <= kCoarseSteps; ++j) {
        if (coarseFits(measure(coarseSize(j)), pw, ph)) {
            l = coarseSize(j);
            break;
        }
    }
    for (double size = l + 50; size >= l; size -= 1) {
        const TextSize t = measure(size);
        if (fineFits(t, pw, ph)) {
            return {size, t};
        }
    }
    return {l, measure(l)};
}

NameTarget FindNameTarget(double pw, double ph, const TextMeasure& measure) {
    MeasureMemo memo(measure);
    ScanTest coarse(0, kCoarseSteps, [&](int j) { return coarseFits(memo(coarseSize(j)), pw, ph); });
    const TextSize largest = memo(coarseSize(0));
    const int coarseGuess = static_cast<int>(std::ceil((1000.0 - 1000.0 * fitRatio(largest, pw, ph)) / 50.0));
    // Steps of 50 pt: no rounding makes a text narrower at a size 50 pt larger.
    const int j = coarse.FirstPassing(coarseGuess, false);
    const double l = coarseSize(std::min(j, kCoarseSteps));

    // Fine positions t = 0 … 50 stand for the sizes l + 50 - t.
    ScanTest fine(0, 50, [&](int t) { return fineFits(memo(l + 50 - t), pw, ph); });
    const TextSize above = memo(l + 50);
    const int fineGuess = static_cast<int>(std::ceil(50.0 - (l + 50.0) * fitRatio(above, pw, ph) + l));
    const int t = fine.FirstPassing(fineGuess);
    if (t > 50) {
        return {l, memo(l)};
    }
    return {l + 50 - t, memo(l + 50 - t)};
}
