#include "core/cards/cardrenderer.h"

#include "core/common/messages.h"
#include "core/common/photo.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kMmPerInch = 25.4;
// Photos are decoded at no more than this resolution, and no larger than this many pixels, which
// keeps 300 photos of the largest cells within a few hundred megabytes.
constexpr double kPhotoDpi = 300;
constexpr double kPhotoMaxPixels = 512.0 * 512.0;

} // namespace

DeviceTextMeasurer::DeviceTextMeasurer(const QFont& font, const QPaintDevice& device)
    : m_font(font), m_device(device) {}

TextExtent DeviceTextMeasurer::Measure(const QString& text, double pointSize) {
    QFont font = m_font;
    font.setPointSizeF(pointSize);
    const QFontMetricsF metrics(font, &m_device);
    const double toMmX = kMmPerInch / m_device.logicalDpiX();
    const double toMmY = kMmPerInch / m_device.logicalDpiY();
    return {metrics.horizontalAdvance(text) * toMmX, metrics.height() * toMmY, metrics.ascent() * toMmY};
}

CardRenderer::CardRenderer(const QColor& textColour, const QString& fontFace)
    : m_textColour(textColour), m_font(fontFace) {
    m_font.setBold(false);
    m_font.setStyleStrategy(QFont::PreferOutline);
}

void CardRenderer::AdoptDevice(QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (device == m_device) {
        return;
    }
    m_device = device;
    m_dpiX = device->logicalDpiX();
    m_dpiY = device->logicalDpiY();
    m_measurer = std::make_unique<DeviceTextMeasurer>(m_font, *device);
    m_fits.clear(); // measured for another device
}

double CardRenderer::ToPixelsX(MmUnits units) const {
    return ToMillimetres(units) * m_dpiX / kMmPerInch;
}
double CardRenderer::ToPixelsY(MmUnits units) const {
    return ToMillimetres(units) * m_dpiY / kMmPerInch;
}

CardRenderer::Photo& CardRenderer::PhotoEntry(const QString& path) {
    auto found = m_photos.find(path);
    if (found != m_photos.end()) {
        return *found;
    }
    Photo entry;
    entry.Size = PhotoSize(path);
    entry.Readable = !entry.Size.isEmpty();
    return *m_photos.insert(path, std::move(entry));
}

const QImage& CardRenderer::DecodedImage(const QString& path, Photo& entry, QSize pixels) {
    const auto key = std::make_pair(pixels.width(), pixels.height());
    auto found = entry.Decoded.find(key);
    if (found != entry.Decoded.end()) {
        return found->second;
    }
    ++m_photoDecodes;
    QImage image = LoadPhoto(path, pixels);
    if (image.isNull()) {
        entry.Readable = false;
    }
    return entry.Decoded.emplace(key, std::move(image)).first->second;
}

const FittedText& CardRenderer::Fitted(const QString& text, MmUnits c, MmUnits q) {
    auto key = std::make_tuple(text, c, q);
    auto found = m_fits.find(key);
    if (found == m_fits.end()) {
        ++m_textFits;
        FittedText fitted = FitText(*m_measurer, text, c, q);
        m_textMeasurements += fitted.Measurements;
        found = m_fits.emplace(std::move(key), fitted).first;
    }
    return found->second;
}

void CardRenderer::DrawCell(QPainter& painter, MmPoint cell, MmUnits c, const CellContent& content) {
    AdoptDevice(painter);
    MmUnits q = c;
    if (!content.PhotoPath.isEmpty()) {
        q = PhotoBoxHeight(c);
        Photo& entry = PhotoEntry(content.PhotoPath);
        if (entry.Readable) {
            const MmRect place = PlacePhoto(cell.X, cell.Y, c, entry.Size.width(), entry.Size.height());
            const QRectF target(ToPixelsX(place.X), ToPixelsY(place.Y), ToPixelsX(place.Width),
                                ToPixelsY(place.Height));
            // The resolution the photo is decoded at: the device's, within the limits above.
            double scale = std::min({m_dpiX, m_dpiY, kPhotoDpi}) / std::min(m_dpiX, m_dpiY);
            const double area = target.width() * target.height() * scale * scale;
            if (area > kPhotoMaxPixels) {
                scale *= std::sqrt(kPhotoMaxPixels / area);
            }
            const QSize pixels(std::max(1, static_cast<int>(std::lround(target.width() * scale))),
                               std::max(1, static_cast<int>(std::lround(target.height() * scale))));
            const QImage& image = DecodedImage(content.PhotoPath, entry, pixels);
            if (!image.isNull()) {
                painter.drawImage(target, image);
            }
        }
    }
    const FittedText& fitted = Fitted(content.Text, c, q);
    if (fitted.Blank) {
        return;
    }
    QFont font = m_font;
    font.setPointSizeF(fitted.PointSize);
    painter.setFont(font);
    painter.setPen(m_textColour);
    const double baseline = ToMillimetres(cell.Y + fitted.Dy) + fitted.Extent.Ascent;
    painter.drawText(QPointF(ToPixelsX(cell.X + fitted.Dx), baseline * m_dpiY / kMmPerInch), content.Text);
}

void CardRenderer::DrawGrid(QPainter& painter, MmPoint origin, MmUnits cardSide, int n) {
    AdoptDevice(painter);
    const CardGrid grid = GridLines(origin, cardSide, n);
    // The finest line the device draws: one pixel of a printer; a PDF has no pixel of its own, so
    // it gets a line that prints solid on any printer.
    const double width = m_gridLineMm > 0 ? m_gridLineMm * m_dpiX / kMmPerInch : 1.0;
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(ToPixelsX(grid.Outline.X), ToPixelsY(grid.Outline.Y),
                            ToPixelsX(grid.Outline.Width), ToPixelsY(grid.Outline.Height)));
    for (const MmLine& line : grid.Lines) {
        painter.drawLine(QPointF(ToPixelsX(line.From.X), ToPixelsY(line.From.Y)),
                         QPointF(ToPixelsX(line.To.X), ToPixelsY(line.To.Y)));
    }
}

CardSheetPrinter::CardSheetPrinter(const CardRunValues& values, const RosterTable& roster,
                                   const QString& picturesFolder, FractionSource& random,
                                   MessageSink& messages)
    : m_values(values), m_roster(roster), m_pictures(picturesFolder), m_random(random), m_messages(messages),
      m_renderer(values.TextColour), m_origins(CardOrigins(values.Layout())),
      m_counter(StartCounter(values.DesignatedRow)) {}

int CardSheetPrinter::SheetCount() const {
    return std::max<int>(0, m_values.Sheets);
}

void CardSheetPrinter::DrawNextSheet(QPainter& painter) {
    const int n = m_values.FramesPerSide;
    const MmUnits side = m_values.Layout().CardSide;
    const MmUnits c = CellSide(side, n);
    const int centre = (n + 1) / 2;
    for (const MmPoint& origin : m_origins) {
        const qint16 centreRow =
            ChooseCentreRow(m_values.Centre, m_values.DesignatedRow, m_roster, m_counter);
        m_renderer.DrawCell(painter, CellOrigin(origin, c, centre, centre), c,
                            CentreContent(m_roster, m_pictures, centreRow));
        if (m_values.Mode == CardMode::Normal) {
            const bool filled = FillNormalCard(
                m_roster, m_pictures, m_random, n, centreRow, [&](int i, int j, const CellContent& content) {
                    m_renderer.DrawCell(painter, CellOrigin(origin, c, i, j), c, content);
                });
            if (!filled && ++m_failures == 1) {
                m_messages.ShowMessage(NoParticipantMessage());
            }
        }
        m_renderer.DrawGrid(painter, origin, side, n);
    }
    ++m_sheetsDrawn;
}
