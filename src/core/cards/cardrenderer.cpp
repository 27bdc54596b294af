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
    : CardSheetPrinter(values, std::make_shared<CardRunPlanner>(values, roster), {}, picturesFolder, random,
                       messages) {}

CardSheetPrinter::CardSheetPrinter(const CardRunValues& values, std::shared_ptr<CardRunPlanner> planner,
                                   std::vector<PlannedSheet> chosen, const QString& picturesFolder,
                                   FractionSource& random, MessageSink& messages)
    : m_values(values), m_planner(std::move(planner)), m_pictures(picturesFolder), m_random(random),
      m_messages(messages), m_renderer(m_values.TextColour), m_origins(CardOrigins(m_values.Layout())) {
    for (PlannedSheet& sheet : chosen) {
        if (static_cast<int>(m_sheets.size()) >= SheetCount()) {
            break;
        }
        TakeSheet(std::move(sheet));
    }
}

int CardSheetPrinter::SheetCount() const {
    const int asked = std::max<int>(0, m_values.Sheets);
    return m_failedSheet >= 0 ? std::min(asked, m_failedSheet + 1) : asked;
}

void CardSheetPrinter::Mark(PlannedSheet& sheet, int index) {
    for (size_t k = 0; k < sheet.Cards.size(); ++k) {
        RecordedCard& card = sheet.Cards[k];
        if (!m_marks.Numbered) {
            card.Number = 0;
            continue;
        }
        card.Number = m_marks.FirstNumber + index * CardsPerSheet() + static_cast<int>(k);
        card.RosterPath = m_marks.RosterPath;
        if (m_marks.PhoneAddress.isEmpty()) {
            card.Token.clear();
            card.PhoneAddress.clear();
        } else {
            if (card.Token.isEmpty()) {
                card.Token = NewCardToken();
            }
            card.PhoneAddress = m_marks.PhoneAddress;
        }
    }
}

void CardSheetPrinter::SetMarks(const CardMarks& marks) {
    m_marks = marks;
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        Mark(m_sheets[i], static_cast<int>(i));
    }
}

void CardSheetPrinter::TakeSheet(PlannedSheet sheet) {
    const int index = static_cast<int>(m_sheets.size());
    Mark(sheet, index);
    if (sheet.Failed && m_failedSheet < 0) {
        m_failedSheet = index;
        m_messages.ShowMessage(NoParticipantMessage());
    }
    m_sheets.push_back(std::move(sheet));
}

void CardSheetPrinter::PlanNextSheet() {
    if (!Planned() && static_cast<int>(m_sheets.size()) < SheetCount()) {
        TakeSheet(m_planner->NextSheet(m_random, CardsPerSheet()));
    }
}

void CardSheetPrinter::PlanSheets(int count) {
    while (static_cast<int>(m_sheets.size()) < std::min(count, SheetCount())) {
        TakeSheet(m_planner->NextSheet(m_random, CardsPerSheet()));
    }
}

std::vector<RecordedCard> CardSheetPrinter::NumberedCards(int from) const {
    std::vector<RecordedCard> cards;
    if (!m_marks.Numbered) {
        return cards;
    }
    for (size_t i = static_cast<size_t>(std::max(0, from)); i < m_sheets.size(); ++i) {
        cards.insert(cards.end(), m_sheets[i].Cards.begin(), m_sheets[i].Cards.end());
    }
    return cards;
}

namespace {

// What a chosen cell prints: the name as chosen, the photo of its row as the roster names it.
CellContent contentOf(const RecordedCell& cell, const RosterTable& roster, const QString& pictures) {
    CellContent content;
    content.Text = cell.Name;
    if (cell.Row >= 1 && cell.Row <= RosterTable::kCapacity) {
        content.PhotoPath = RowContent(roster, pictures, cell.Row).PhotoPath;
    }
    return content;
}

// The cells of a card in the order they are drawn: the centre first, then the others in reading
// order; a cell that shows nothing (a blank card's, or one a failed fill left) is not drawn.
template <typename Visit> void forEachShownCell(const RecordedCard& card, Visit&& visit) {
    const int n = card.Side;
    const int centre = (n + 1) / 2;
    const auto at = [&](int i, int j) -> const RecordedCell& {
        return card.Cells[static_cast<size_t>((i - 1) * n + (j - 1))];
    };
    visit(centre, centre, at(centre, centre));
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const RecordedCell& cell = at(i, j);
            if ((i != centre || j != centre) && (cell.Row != 0 || !cell.Name.isEmpty())) {
                visit(i, j, cell);
            }
        }
    }
}

} // namespace

std::vector<PhotoRequest> CardSheetPrinter::PhotosToDecode(QPainter& painter) {
    std::vector<PhotoRequest> requests;
    if (!Planned()) {
        return requests;
    }
    const MmUnits c = CellSide(m_values.Layout().CardSide, m_values.FramesPerSide);
    const PlannedSheet& sheet = m_sheets[static_cast<size_t>(m_sheetsDrawn)];
    for (size_t k = 0; k < sheet.Cards.size() && k < m_origins.size(); ++k) {
        forEachShownCell(sheet.Cards[k], [&](int i, int j, const RecordedCell& cell) {
            PhotoRequest request;
            if (m_renderer.PhotoToDecode(painter, CellOrigin(m_origins[k], c, i, j), c,
                                         contentOf(cell, m_planner->Roster(), m_pictures), request) &&
                std::none_of(requests.begin(), requests.end(), [&](const PhotoRequest& r) {
                    return r.Path == request.Path && r.Pixels == request.Pixels;
                })) {
                requests.push_back(std::move(request));
            }
        });
    }
    return requests;
}

void CardSheetPrinter::DrawSheet(QPainter& painter, int sheet) {
    if (sheet < 0 || sheet >= static_cast<int>(m_sheets.size())) {
        return;
    }
    const MmUnits side = m_values.Layout().CardSide;
    const MmUnits c = CellSide(side, m_values.FramesPerSide);
    const PlannedSheet& planned = m_sheets[static_cast<size_t>(sheet)];
    for (size_t k = 0; k < planned.Cards.size() && k < m_origins.size(); ++k) {
        const RecordedCard& card = planned.Cards[k];
        forEachShownCell(card, [&](int i, int j, const RecordedCell& cell) {
            m_renderer.DrawCell(painter, CellOrigin(m_origins[k], c, i, j), c,
                                contentOf(cell, m_planner->Roster(), m_pictures));
        });
        m_renderer.DrawGrid(painter, m_origins[k], side, m_values.FramesPerSide);
        if (m_marks.Numbered) {
            m_renderer.DrawCardNumber(painter, m_origins[k], side, card.Number);
            if (!card.Token.isEmpty()) {
                m_renderer.DrawCardQr(painter, m_values.Layout(), m_origins[k],
                                      CardPageUrl(card.PhoneAddress, card.Token));
            }
        }
    }
}

void CardSheetPrinter::DrawNextSheet(QPainter& painter) {
    PlanNextSheet();
    if (!Planned()) {
        return;
    }
    DrawSheet(painter, m_sheetsDrawn);
    if (!m_marks.Numbered) {
        // A long run keeps no more than the sheet it draws.
        m_sheets[static_cast<size_t>(m_sheetsDrawn)].Cards = {};
    }
    ++m_sheetsDrawn;
}
