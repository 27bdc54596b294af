#pragma once

#include "core/cards/cardcontents.h"
#include "core/cards/cardgeometry.h"
#include "core/cards/celltextfit.h"
#include "core/common/designfonts.h"
#include "core/record/cardrecord.h"
#include "core/roster/roster.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>
#include <limits>
#include <map>
#include <memory>

class FractionSource;
class MessageSink;
class QPaintDevice;
class QPainter;

// The face cards are printed in.
inline QString CardFontFace() {
    return FaceName(DesignFace::Mincho);
}

// Measures texts with the card font on a paint device (a printer, a PDF, an image).
class DeviceTextMeasurer : public TextMeasurer {
public:
    DeviceTextMeasurer(const QFont& font, const QPaintDevice& device);
    TextExtent Measure(const QString& text, double pointSize) override;

private:
    QFont m_font;
    const QPaintDevice& m_device;
};

// Draws card cells and grids onto any painter whose origin is the top-left corner of the page,
// taking millimetres and converting them by the painter device's resolution. Within one renderer
// every photo is decoded once per drawn size (at the size it is printed, at most 300 dpi, turned
// as its EXIF data says) and reused, so a PDF embeds it once; every distinct text is fitted once
// per cell size.
// A photo to decode, at the size in pixels it is printed at.
struct PhotoRequest {
    QString Path;
    QSize Pixels;
};

class CardRenderer {
public:
    explicit CardRenderer(const QColor& textColour, const QString& fontFace = CardFontFace());

    // The photo a cell at cell of side c with this content decodes on painter's device, unless it
    // has been decoded already or there is none (false).
    bool PhotoToDecode(QPainter& painter, MmPoint cell, MmUnits c, const CellContent& content,
                       PhotoRequest& request);
    // A photo decoded elsewhere (another thread): DrawCell uses it instead of decoding it itself.
    void AddDecodedPhoto(const PhotoRequest& request, QImage image);

    void DrawCell(QPainter& painter, MmPoint cell, MmUnits cellSide, const CellContent& content);
    void DrawGrid(QPainter& painter, MmPoint origin, MmUnits cardSide, int n);
    // The card's number ("No.0001") in the margin above the card at origin of side S, right-aligned.
    void DrawCardNumber(QPainter& painter, MmPoint origin, MmUnits side, int number);
    // The QR code of text in the margin of the card at origin on a sheet of the layout
    // (CardQrPlace). The margin around it is blank paper, which serves as the code's quiet zone.
    void DrawCardQr(QPainter& painter, const PaperLayout& layout, MmPoint origin, const QString& text);
    // Grid lines of this width in millimetres; 0 (the default) draws them one device pixel wide.
    void SetGridLineWidth(double millimetres) { m_gridLineMm = millimetres; }

    // For tests and measurements.
    int PhotoDecodes() const { return m_photoDecodes; }
    int TextFits() const { return m_textFits; }
    int TextMeasurements() const { return m_textMeasurements; }

private:
    struct Photo {
        bool Readable = false;
        QSize Size; // as shown, after the EXIF turn
        std::map<std::pair<int, int>, QImage> Decoded;
    };

    void AdoptDevice(QPainter& painter);
    double ToPixelsX(MmUnits units) const;
    double ToPixelsY(MmUnits units) const;
    Photo& PhotoEntry(const QString& path);
    QRectF PhotoTarget(MmPoint cell, MmUnits c, const Photo& entry) const;
    QSize DecodePixels(const QRectF& target) const;
    const QImage& DecodedImage(const QString& path, Photo& entry, QSize pixels);
    const FittedText& Fitted(const QString& text, MmUnits c, MmUnits q);

    QColor m_textColour;
    QFont m_font;
    const QPaintDevice* m_device = nullptr;
    double m_dpiX = 72;
    double m_dpiY = 72;
    double m_gridLineMm = 0;
    std::unique_ptr<DeviceTextMeasurer> m_measurer;
    QHash<QString, Photo> m_photos;
    std::map<std::tuple<QString, MmUnits, MmUnits>, FittedText> m_fits;
    int m_photoDecodes = 0;
    int m_textFits = 0;
    int m_textMeasurements = 0;
};

// The point size of a card's number: small, yet read easily at arm's length.
constexpr double kCardNumberPoints = 9.0;

// What a numbered run adds to each card: its number, and for phones a fresh token and the QR code
// of its page. The cards printed are kept with their cells for the card record.
struct CardMarks {
    bool Numbered = false;
    int FirstNumber = 1;
    QString RosterPath;
    QString PhoneAddress; // "address:port" the QR codes point at; empty: no QR code
};

// The address of a card's page for phones as its QR code holds it: "HTTP://<ADDRESS:PORT>/C/<token>".
QString CardPageUrl(const QString& phoneAddress, const QString& token);

// Grid lines of a card written to a PDF: thin, and solid black at 100 % on any printer.
constexpr double kPdfGridLineMm = 0.15;

// The message shown once per run when a normal card finds no participant.
inline QString NoParticipantMessage() {
    return QStringLiteral("データが登録されていません。\r\n通常ビンゴカード発行を打ち切ります。");
}

// The sheets of one issue run, drawn one at a time: their cards chosen by a CardRunPlanner (centre
// row choice with its count-up counter, normal-card filling), the failure count and its one-time
// message. The cards of a sheet are chosen before it is drawn, and a numbered run chooses every
// sheet's cards before the first is drawn, so that they can be recorded first.
class CardSheetPrinter {
public:
    CardSheetPrinter(const CardRunValues& values, const RosterTable& roster, const QString& picturesFolder,
                     FractionSource& random, MessageSink& messages);
    // Prints the sheets a preview chose first, then goes on choosing with the preview's planner
    // (whose values must choose cards as values do: SameCardChoices).
    CardSheetPrinter(const CardRunValues& values, std::shared_ptr<CardRunPlanner> planner,
                     std::vector<PlannedSheet> chosen, const QString& picturesFolder, FractionSource& random,
                     MessageSink& messages);

    // Sheets the run prints at most (0 when the sheets value is 0 or less); once a sheet on which a
    // normal card found nobody is chosen, no more than up to it.
    int SheetCount() const;
    int SheetsDrawn() const { return m_sheetsDrawn; }
    // The next sheet's cards are chosen and not yet drawn.
    bool Planned() const { return static_cast<int>(m_sheets.size()) > m_sheetsDrawn; }
    bool Finished() const { return m_sheetsDrawn >= SheetCount(); }

    // Draws the next sheet onto painter (one page; the caller starts a new page between sheets).
    // Its cards are chosen first, unless they have been chosen already.
    void DrawNextSheet(QPainter& painter);
    // Chooses the cards of the next sheet (every random draw, and the message when nobody is
    // left) without drawing them, so that their photos can be decoded before they are drawn.
    void PlanNextSheet();
    // Chooses the cards of the sheets up to count (every sheet the run prints by default).
    void PlanSheets(int count = std::numeric_limits<int>::max());
    // Draws a sheet already chosen again, without taking it (a preview repaints).
    void DrawSheet(QPainter& painter, int sheet);
    // The photos of the next sheet not yet decoded, each once, at their size on painter's device.
    std::vector<PhotoRequest> PhotosToDecode(QPainter& painter);

    CardRenderer& Renderer() { return m_renderer; }

    // Numbers the cards chosen and to come (and gives them QR codes when an address is set).
    void SetMarks(const CardMarks& marks);
    // The numbered cards of the sheets chosen from sheet `from` on, without their issue time.
    std::vector<RecordedCard> NumberedCards(int from = 0) const;
    // How many cards a sheet holds.
    int CardsPerSheet() const { return static_cast<int>(m_origins.size()); }
    // The sheets chosen so far and the planner that goes on after them.
    const std::vector<PlannedSheet>& Sheets() const { return m_sheets; }
    const std::shared_ptr<CardRunPlanner>& Planner() const { return m_planner; }

private:
    void Mark(PlannedSheet& sheet, int index);
    void TakeSheet(PlannedSheet sheet);

    CardRunValues m_values;
    std::shared_ptr<CardRunPlanner> m_planner;
    QString m_pictures;
    FractionSource& m_random;
    MessageSink& m_messages;
    CardRenderer m_renderer;
    std::vector<MmPoint> m_origins;
    CardMarks m_marks;
    std::vector<PlannedSheet> m_sheets; // every sheet chosen; those drawn by a run are let go
    int m_failedSheet = -1;             // the first sheet on which a normal card found nobody
    int m_sheetsDrawn = 0;
};
