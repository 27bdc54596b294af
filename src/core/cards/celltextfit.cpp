#include "core/cards/celltextfit.h"

#include "core/cards/cardgeometry.h"
#include "core/common/blank.h"
#include "core/common/numeric.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Sizes tried are 50 - 0.5 k for k = 1 .. kLastStep (49.5 down to 1 point).
constexpr int kLastStep = static_cast<int>((kFitStartSize - kFitSmallestSize) / kFitStep);

double SizeAt(int k) {
    return kFitStartSize - kFitStep * k;
}

class Search {
public:
    Search(TextMeasurer& measurer, const QString& text, MmUnits c, MmUnits q)
        : m_measurer(measurer), m_text(text), m_width(ToMillimetres(c)),
          m_height(ToMillimetres(q == c ? q : c - q)) {}

    const TextExtent& Measure(double size) {
        auto found = m_cache.find(size);
        if (found == m_cache.end()) {
            ++m_measurements;
            found = m_cache.emplace(size, m_measurer.Measure(m_text, size)).first;
        }
        return found->second;
    }
    bool FitsAt(int k) {
        const TextExtent& e = Measure(SizeAt(k));
        return e.Width <= m_width && e.Height <= m_height;
    }
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    int Measurements() const { return m_measurements; }

private:
    TextMeasurer& m_measurer;
    const QString& m_text;
    double m_width;
    double m_height;
    std::map<double, TextExtent> m_cache;
    int m_measurements = 0;
};

FittedText Finish(Search& search, int fittingStep, MmUnits c, MmUnits q) {
    FittedText fit;
    fit.Blank = false;
    fit.PointSize = std::max(SizeAt(fittingStep) - kFitStep, kFitSmallestSize);
    fit.Extent = search.Measure(fit.PointSize);
    fit.Dx = ToUnits((search.Width() - fit.Extent.Width) / 2);
    fit.Dy = ToUnits((search.Height() - fit.Extent.Height) / 2);
    if (q != c) {
        fit.Dy += q;
    }
    fit.Measurements = search.Measurements();
    return fit;
}

} // namespace

FittedText FitTextStepByStep(TextMeasurer& measurer, const QString& text, MmUnits c, MmUnits q) {
    if (IsBlank(text)) {
        return {};
    }
    Search search(measurer, text, c, q);
    int k = 1;
    while (k < kLastStep && !search.FitsAt(k)) {
        ++k;
    }
    return Finish(search, k, c, q);
}

FittedText FitText(TextMeasurer& measurer, const QString& text, MmUnits c, MmUnits q) {
    if (IsBlank(text)) {
        return {};
    }
    Search search(measurer, text, c, q);
    // The extent grows about in proportion to the size: predict from the start size.
    const TextExtent& start = search.Measure(kFitStartSize);
    double predicted = 0;
    if (start.Width > 0 && start.Height > 0) {
        predicted = kFitStartSize * std::min(search.Width() / start.Width, search.Height() / start.Height);
    } else if (start.Height > 0) {
        predicted = kFitStartSize * search.Height() / start.Height;
    } else {
        predicted = kFitStartSize;
    }
    int k = static_cast<int>(std::ceil((kFitStartSize - predicted) / kFitStep - 1e-9));
    k = std::clamp(k, 1, kLastStep);
    if (search.FitsAt(k)) {
        while (k > 1 && search.FitsAt(k - 1)) {
            --k;
        }
    } else {
        while (k < kLastStep && !search.FitsAt(k)) {
            ++k;
        }
    }
    return Finish(search, k, c, q);
}
