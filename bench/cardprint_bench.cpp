// Card printing speed: 100 A4 sheets of four 9 × 9 normal cards, 300 participants each with a
// 4000 × 3000 JPEG photo, printed to a PDF file. Compared with decoding the 300 photos once and
// with the same run without photos. The photos are made in a temporary folder first.
//
//   ./build/bench/cardprint_bench
//   /usr/bin/time -v ./build/bench/cardprint_bench --benchmark_filter=WithPhotos   (peak memory)

#include "core/cards/cardrenderer.h"
#include "core/common/designfonts.h"
#include "core/common/messages.h"
#include "core/common/platform.h"
#include "core/common/random.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int kParticipants = 300;
constexpr int kSheets = 100;
constexpr int kDistinctImages = 12; // written once each, then copied: every file is decoded on its own

class SilentMessages : public MessageSink {
public:
    void ShowMessage(const QString&) override {}
};

// A photo-like picture: gradients, shapes and fine noise, so the JPEG is of a realistic size.
QImage makePhoto(int seed) {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator random(static_cast<quint32>(seed + 1));
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, QColor::fromHsv(seed * 29 % 360, 120, 230));
    gradient.setColorAt(1, QColor::fromHsv((seed * 29 + 60) % 360, 200, 90));
    p.fillRect(image.rect(), gradient);
    for (int i = 0; i < 400; ++i) {
        p.setBrush(QColor::fromRgb(random.generate() | 0xFF000000u));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(random.bounded(4000), random.bounded(3000)), random.bounded(20, 300),
                      random.bounded(20, 300));
    }
    p.end();
    for (int y = 0; y < 3000; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < 4000; ++x) {
            const int n = static_cast<int>(random.bounded(24)) - 12;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                           std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    return image;
}

struct Data {
    QTemporaryDir dir;
    QString pictures;
    RosterTable withPhotos;
    RosterTable withoutPhotos;
    qint64 photoBytes = 0;

    Data() {
        pictures = dir.filePath(QStringLiteral("Pictures"));
        QDir().mkpath(pictures);
        for (int i = 0; i < kDistinctImages; ++i) {
            QImageWriter writer(JoinPath(pictures, QStringLiteral("src%1.jpg").arg(i)), "jpeg");
            writer.setQuality(90);
            writer.write(makePhoto(i));
        }
        withPhotos.Clear();
        withoutPhotos.Clear();
        const QString families[] = {QStringLiteral("山田"), QStringLiteral("佐藤"),
                                    QStringLiteral("マクファーソン"), QStringLiteral("林"),
                                    QStringLiteral("長谷川")};
        const QString given[] = {QStringLiteral("太郎"), QStringLiteral("花子"),
                                 QStringLiteral("ジェニファー"), QStringLiteral("舞"),
                                 QStringLiteral("健一郎")};
        for (int row = 1; row <= kParticipants; ++row) {
            const QString photo = QStringLiteral("P%1.JPG").arg(row, 3, 10, QLatin1Char('0'));
            QFile::copy(JoinPath(pictures, QStringLiteral("src%1.jpg").arg(row % kDistinctImages)),
                        JoinPath(pictures, photo));
            photoBytes += QFileInfo(JoinPath(pictures, photo)).size();
            const QString name =
                families[row % 5] + QStringLiteral("　") + given[(row / 5) % 5] + QString::number(row);
            withPhotos.SetCell(RosterColumn::Name, row, name);
            withPhotos.SetCell(RosterColumn::Photo, row, photo);
            withoutPhotos.SetCell(RosterColumn::Name, row, name);
        }
    }
};

CardRunValues benchValues() {
    CardRunValues values;
    values.Mode = CardMode::Normal;
    values.FramesPerSide = 9;
    values.LayoutIndex = 0; // Ａ４縦  ４面付け
    values.Sheets = kSheets;
    return values;
}

// One run to a PDF file; returns the file's size.
qint64 printRun(const Data& data, const RosterTable& roster, CardSheetPrinter*& lastPrinter,
                std::unique_ptr<CardSheetPrinter>& keep) {
    const QString path = data.dir.filePath(QStringLiteral("cards.pdf"));
    ClockSeededFractions random(42);
    SilentMessages messages;
    const CardRunValues values = benchValues();
    keep = std::make_unique<CardSheetPrinter>(values, roster, data.pictures, random, messages);
    lastPrinter = keep.get();
    {
        QPdfWriter writer(path);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        while (!keep->Finished()) {
            if (keep->SheetsDrawn() > 0) {
                writer.newPage();
            }
            keep->DrawNextSheet(painter);
        }
    }
    return QFileInfo(path).size();
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void decodePhotos(benchmark::State& state, const Data& data) {
    // The size the renderer decodes a photo of a 9 × 9 cell of an 80 mm card at: 8.8889 mm at 300 dpi.
    const int width = static_cast<int>(std::lround(8.8889 / 25.4 * 300));
    const int height = static_cast<int>(std::lround(8.8889 * 0.75 / 25.4 * 300));
    for (auto _ : state) {
        for (int row = 1; row <= kParticipants; ++row) {
            QImageReader reader(JoinPath(data.pictures, data.withPhotos.Cell(RosterColumn::Photo, row)));
            reader.setAutoTransform(true);
            reader.setScaledSize(QSize(width, height));
            QImage image = reader.read();
            benchmark::DoNotOptimize(image);
        }
    }
    state.counters["photo_MB"] = static_cast<double>(data.photoBytes) / 1e6;
}

void run(benchmark::State& state, const Data& data, bool photos) {
    std::unique_ptr<CardSheetPrinter> keep;
    CardSheetPrinter* printer = nullptr;
    qint64 size = 0;
    for (auto _ : state) {
        size = printRun(data, photos ? data.withPhotos : data.withoutPhotos, printer, keep);
    }
    state.counters["pdf_MB"] = static_cast<double>(size) / 1e6;
    state.counters["decodes"] = printer->Renderer().PhotoDecodes();
    state.counters["fits"] = printer->Renderer().TextFits();
    state.counters["measures"] = printer->Renderer().TextMeasurements();
    state.counters["peak_RSS_MB"] = peakMegabytes();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    const Data data;
    benchmark::RegisterBenchmark("BM_DecodePhotosOnce", [&](benchmark::State& s) { decodePhotos(s, data); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("BM_PrintWithoutPhotos", [&](benchmark::State& s) { run(s, data, false); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("BM_PrintWithPhotos", [&](benchmark::State& s) { run(s, data, true); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
