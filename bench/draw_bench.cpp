// Speed of the draw screen's text fitting and of one frame of the animated name.
#include "core/common/designfonts.h"
#include "core/draw/effects.h"
#include "core/draw/textfit.h"
#include "ui/draw/drawcanvas.h"
#include "ui/draw/panelwidget.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

const char16_t* const kNames[] = {u"森", u"山田 太郎", u"佐々木 小次郎", u"長谷川 ジェニファー",
                                  u"Jean-Pierre Dupont"};

QImage device96() {
    QImage device(8, 8, QImage::Format_RGB32);
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    return device;
}

template <bool Fast> void BM_FitPanelText(benchmark::State& state) {
    const QImage device = device96();
    const QFont font = UnhintedFont(FaceName(DesignFace::PGothic), true);
    int measured = 0;
    int fits = 0;
    size_t i = 0;
    for (auto _ : state) {
        const QString name = QString::fromUtf16(kNames[i++ % std::size(kNames)]);
        const TextMeasure inner = TextMeasureFor(font, name, &device);
        const TextMeasure measure = [&](double size) {
            ++measured;
            return inner(size);
        };
        const double w = 201; // a panel of a 5 × 5 grid on 1920 × 1080
        const PanelTextFit fit = Fast ? FitPanelText(name, w, 3 * w / 4, measure)
                                      : FitPanelTextLiteral(name, w, 3 * w / 4, measure);
        benchmark::DoNotOptimize(fit.Size);
        ++fits;
    }
    state.counters["measurements_per_fit"] = static_cast<double>(measured) / fits;
}
BENCHMARK(BM_FitPanelText<false>)->Name("FitPanelText/literal")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FitPanelText<true>)->Name("FitPanelText/fast")->Unit(benchmark::kMicrosecond);

template <bool Fast> void BM_NameTarget(benchmark::State& state) {
    const QImage device = device96();
    int measured = 0;
    int fits = 0;
    size_t i = 0;
    for (auto _ : state) {
        const QString name = QString::fromUtf16(kNames[i % std::size(kNames)]);
        const QFont font = UnhintedFont(EffectFontFace(static_cast<int>(i % 8) + 1), false);
        ++i;
        const TextMeasure inner = TextMeasureFor(font, name, &device);
        const TextMeasure measure = [&](double size) {
            ++measured;
            return inner(size);
        };
        const NameTarget target =
            Fast ? FindNameTarget(1920, 1080, measure) : FindNameTargetLiteral(1920, 1080, measure);
        benchmark::DoNotOptimize(target.Size);
        ++fits;
    }
    state.counters["measurements_per_fit"] = static_cast<double>(measured) / fits;
}
BENCHMARK(BM_NameTarget<false>)->Name("AnimateNameTarget/literal")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NameTarget<true>)->Name("AnimateNameTarget/fast")->Unit(benchmark::kMicrosecond);

// One frame of the animated name at 1920 × 1080: the copy drawn onto the kept image at the
// final (largest) size, and the touched part copied to the screen's backing image.
void BM_AnimateNameFrame(benchmark::State& state) {
    const QString name = QString::fromUtf16(kNames[state.range(0)]);
    QImage canvas(1920, 1080, QImage::Format_RGB32);
    canvas.setDotsPerMeterX(3780);
    canvas.setDotsPerMeterY(3780);
    canvas.fill(Qt::black);
    QImage screen(1920, 1080, QImage::Format_RGB32);
    QFont font = UnhintedFont(EffectFontFace(2), false);
    const NameTarget target = FindNameTarget(1920, 1080, TextMeasureFor(font, name, &canvas));
    font.setPointSizeF(target.Size);
    const double x = (1920 - target.Measured.Width) / 2;
    const double y = (1080 - target.Measured.Height) / 2;
    int grey = 0;
    for (auto _ : state) {
        grey = (grey + 1) % 255;
        QPainter painter(&canvas);
        painter.setFont(font);
        painter.setPen(QColor(grey, grey, grey));
        const QFontMetricsF metrics(font, &canvas);
        painter.drawText(QPointF(x, y + metrics.ascent()), name);
        painter.end();
        const QRect touched =
            metrics.boundingRect(name).translated(x, y + metrics.ascent()).toAlignedRect() & canvas.rect();
        QPainter blit(&screen);
        blit.drawImage(touched.topLeft(), canvas, touched);
    }
    state.counters["point_size"] = target.Size;
}
BENCHMARK(BM_AnimateNameFrame)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
