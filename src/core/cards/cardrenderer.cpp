#include "core/cards/cardrenderer.h"

#include "core/cards/cardmargin.h"
#include "core/common/messages.h"
#include "core/common/photo.h"
#include "core/phones/cardtoken.h"
#include "core/phones/qrcode.h"
#include "core/record/recordfile.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
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

QRectF CardRenderer::PhotoTarget(MmPoint cell, MmUnits c, const Photo& entry) const {
    const MmRect place = PlacePhoto(cell.X, cell.Y, c, entry.Size.width(), entry.Size.height());
    return QRectF(ToPixelsX(place.X), ToPixelsY(place.Y), ToPixelsX(place.Width), ToPixelsY(place.Height));
}

QSize CardRenderer::DecodePixels(const QRectF& target) const {
    // The resolution the photo is decoded at: the device's, within the limits above.
    double scale = std::min({m_dpiX, m_dpiY, kPhotoDpi}) / std::min(m_dpiX, m_dpiY);
    const double area = target.width() * target.height() * scale * scale;
    if (area > kPhotoMaxPixels) {
        scale *= std::sqrt(kPhotoMaxPixels / area);
    }
    return QSize(std::max(1, static_cast<int>(std::lround(target.width() * scale))),
                 std::max(1, static_cast<int>(std::lround(target.height() * scale))));
}

bool CardRenderer::PhotoToDecode(QPainter& painter, MmPoint cell, MmUnits c, const CellContent& content,
                                 PhotoRequest& request) {
    AdoptDevice(painter);
    if (content.PhotoPath.isEmpty()) {
        return false;
    }
    Photo& entry = PhotoEntry(content.PhotoPath);
    if (!entry.Readable) {
        return false;
    }
    const QSize pixels = DecodePixels(PhotoTarget(cell, c, entry));
    if (entry.Decoded.count(std::make_pair(pixels.width(), pixels.height())) > 0) {
        return false;
    }
    request = PhotoRequest{content.PhotoPath, pixels};
    return true;
}

void CardRenderer::AddDecodedPhoto(const PhotoRequest& request, QImage image) {
    Photo& entry = PhotoEntry(request.Path);
    ++m_photoDecodes;
    if (image.isNull()) {
        entry.Readable = false;
    }
    entry.Decoded.insert_or_assign(std::make_pair(request.Pixels.width(), request.Pixels.height()),
                                   std::move(image));
}

void CardRenderer::DrawCell(QPainter& painter, MmPoint cell, MmUnits c, const CellContent& content) {
    AdoptDevice(painter);
    MmUnits q = c;
    if (!content.PhotoPath.isEmpty()) {
        q = PhotoBoxHeight(c);
        Photo& entry = PhotoEntry(content.PhotoPath);
        if (entry.Readable) {
            const QRectF target = PhotoTarget(cell, c, entry);
            const QImage& image = DecodedImage(content.PhotoPath, entry, DecodePixels(target));
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

void CardRenderer::DrawCardNumber(QPainter& painter, MmPoint origin, MmUnits side, int number) {
    AdoptDevice(painter);
    const QString text = CardNumberText(number);
    const TextExtent extent = m_measurer->Measure(text, kCardNumberPoints);
    const MmRect place = CardNumberPlace(origin, side, ToUnits(extent.Width), ToUnits(extent.Height));
    QFont font = m_font;
    font.setPointSizeF(kCardNumberPoints);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double baseline = ToMillimetres(place.Y) + extent.Ascent;
    painter.drawText(QPointF(ToPixelsX(place.X), baseline * m_dpiY / kMmPerInch), text);
}

void CardRenderer::DrawCardQr(QPainter& painter, const PaperLayout& layout, MmPoint origin,
                              const QString& text) {
    AdoptDevice(painter);
    const QImage code = QrCode(text, 1);
    if (code.isNull()) {
        return;
    }
    // Drawn as one filled outline of the dark modules rather than as a picture: crisp on any
    // printer, and no viewer smooths its edges into grey.
    const int modules = code.width() - 2 * kQrQuietModules;
    QPainterPath dark;
    dark.setFillRule(Qt::WindingFill);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            if (qGray(code.pixel(x + kQrQuietModules, y + kQrQuietModules)) >= 128) {
                continue;
            }
            int run = 1;
            while (x + run < modules &&
                   qGray(code.pixel(x + run + kQrQuietModules, y + kQrQuietModules)) < 128) {
                ++run;
            }
            dark.addRect(QRectF(x, y, run, 1));
            x += run - 1;
        }
    }
    const MmRect place = CardQrPlace(layout, origin);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(ToPixelsX(place.X), ToPixelsY(place.Y));
    painter.scale(ToPixelsX(place.Width) / modules, ToPixelsY(place.Height) / modules);
    painter.fillPath(dark, Qt::black);
    painter.restore();
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

QString CardPageUrl(const QString& phoneAddress, const QString& token) {
    // Upper case all through: with the token's base 32 the whole address fits the alphanumeric
    // mode of a QR code, the code has fewer modules, and each module prints larger. Browsers take
    // the scheme and the address in any case; the server takes the path as printed.
    return QStringLiteral("HTTP://%1/C/%2").arg(phoneAddress.toUpper(), token);
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

void CardSheetPrinter::SetMarks(const CardMarks& marks) {
    m_marks = marks;
    m_fingerprint = RosterFingerprint(m_roster);
}

void CardSheetPrinter::PlanNextSheet() {
    const int n = m_values.FramesPerSide;
    const MmUnits c = CellSide(m_values.Layout().CardSide, n);
    const int centre = (n + 1) / 2;
    m_plan.clear();
    for (const MmPoint& origin : m_origins) {
        PlannedCard card;
        card.Origin = origin;
        RecordedCard& record = card.Record;
        if (m_marks.Numbered) {
            record.Number = m_marks.FirstNumber + static_cast<int>(m_cards.size() + m_plan.size());
            record.RosterPath = m_marks.RosterPath;
            record.Fingerprint = m_fingerprint;
            record.Layout = m_values.Layout().Text;
            record.Side = n;
            record.Cells.resize(static_cast<size_t>(n * n));
            if (!m_marks.PhoneAddress.isEmpty()) {
                record.Token = NewCardToken();
                record.PhoneAddress = m_marks.PhoneAddress;
            }
        }
        const auto keep = [&](int i, int j, qint16 row, const CellContent& content, bool isCentre) {
            card.Cells.push_back(PlannedCell{CellOrigin(origin, c, i, j), content});
            if (m_marks.Numbered) {
                record.Cells[static_cast<size_t>((i - 1) * n + (j - 1))] =
                    RecordedCell{row, content.Text, isCentre};
            }
        };
        const qint16 centreRow =
            ChooseCentreRow(m_values.Centre, m_values.DesignatedRow, m_roster, m_counter);
        keep(centre, centre, centreRow >= 1 && centreRow <= RosterTable::kCapacity ? centreRow : qint16(0),
             CentreContent(m_roster, m_pictures, centreRow), true);
        if (m_values.Mode == CardMode::Normal) {
            const bool filled =
                FillNormalCardRows(m_roster, m_random, n, centreRow, [&](int i, int j, qint16 row) {
                    keep(i, j, row, RowContent(m_roster, m_pictures, row), false);
                });
            if (!filled && ++m_failures == 1) {
                m_messages.ShowMessage(NoParticipantMessage());
            }
        }
        m_plan.push_back(std::move(card));
    }
    m_planned = true;
}

std::vector<PhotoRequest> CardSheetPrinter::PhotosToDecode(QPainter& painter) {
    const MmUnits c = CellSide(m_values.Layout().CardSide, m_values.FramesPerSide);
    std::vector<PhotoRequest> requests;
    for (const PlannedCard& card : m_plan) {
        for (const PlannedCell& cell : card.Cells) {
            PhotoRequest request;
            if (m_renderer.PhotoToDecode(painter, cell.At, c, cell.Content, request) &&
                std::none_of(requests.begin(), requests.end(), [&](const PhotoRequest& r) {
                    return r.Path == request.Path && r.Pixels == request.Pixels;
                })) {
                requests.push_back(std::move(request));
            }
        }
    }
    return requests;
}

void CardSheetPrinter::DrawNextSheet(QPainter& painter) {
    if (!m_planned) {
        PlanNextSheet();
    }
    const MmUnits side = m_values.Layout().CardSide;
    const MmUnits c = CellSide(side, m_values.FramesPerSide);
    for (PlannedCard& card : m_plan) {
        for (const PlannedCell& cell : card.Cells) {
            m_renderer.DrawCell(painter, cell.At, c, cell.Content);
        }
        m_renderer.DrawGrid(painter, card.Origin, side, m_values.FramesPerSide);
        if (m_marks.Numbered) {
            m_renderer.DrawCardNumber(painter, card.Origin, side, card.Record.Number);
            if (!card.Record.Token.isEmpty()) {
                m_renderer.DrawCardQr(painter, m_values.Layout(), card.Origin,
                                      CardPageUrl(card.Record.PhoneAddress, card.Record.Token));
            }
            m_cards.push_back(std::move(card.Record));
        }
    }
    m_plan.clear();
    m_planned = false;
    ++m_sheetsDrawn;
}
