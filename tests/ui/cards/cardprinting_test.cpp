#include "core/cards/cardrenderer.h"
#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "core/programstate.h"
#include "support/fakes.h"
#include "support/testservices.h"
#include "support/tinyfilesystem.h"
#include "ui/cards/cardprintrun.h"
#include "ui/cards/pdfcount.h"
#include "ui/cards/postcardpaper.h"

#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

RosterTable rosterOf(int count, const QStringList& photos = {}) {
    RosterTable roster;
    roster.Clear();
    for (int row = 1; row <= count; ++row) {
        roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者　%1").arg(row));
        if (!photos.isEmpty()) {
            roster.SetCell(RosterColumn::Photo, row, photos.at((row - 1) % photos.size()));
        }
    }
    return roster;
}

CardRunValues runValues(CardMode mode, int sheets, int layout = 0, int n = 5) {
    CardRunValues values;
    values.Mode = mode;
    values.Sheets = static_cast<qint16>(sheets);
    values.LayoutIndex = layout;
    values.FramesPerSide = n;
    return values;
}

void setUpWriter(QPdfWriter& writer, const CardRunValues& values) {
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageOrientation(values.Layout().Orientation == 2 ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
}

// Prints a whole run to a PDF file the way the issue run does.
int printToPdf(CardSheetPrinter& sheets, const CardRunValues& values, const QString& path) {
    QPdfWriter writer(path);
    setUpWriter(writer, values);
    QPainter painter(&writer);
    while (!sheets.Finished()) {
        if (sheets.SheetsDrawn() > 0) {
            writer.newPage();
        }
        sheets.DrawNextSheet(painter);
    }
    painter.end();
    return sheets.SheetsDrawn();
}

// A photo whose left half is red and right half blue, saved as JPEG with an EXIF turn.
QString writePhoto(const QString& folder, const QString& name, QSize size,
                   QImageIOHandler::Transformations turn = QImageIOHandler::TransformationNone) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    p.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()), Qt::blue);
    p.end();
    QImageWriter writer(JoinPath(folder, name), "jpeg");
    writer.setTransformation(turn);
    writer.write(image);
    return name;
}

bool isWhite(QRgb pixel) {
    return qRed(pixel) > 240 && qGreen(pixel) > 240 && qBlue(pixel) > 240;
}

// A sheet of paper as an image of 10 pixels per millimetre.
QImage paper(int widthMm, int heightMm) {
    QImage image(widthMm * 10, heightMm * 10, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    return image;
}

// Whether any pixel of the area (millimetres) is not white.
bool anyInk(const QImage& image, double xMm, double yMm, double wMm, double hMm) {
    for (int y = static_cast<int>(yMm * 10); y < static_cast<int>((yMm + hMm) * 10); ++y) {
        for (int x = static_cast<int>(xMm * 10); x < static_cast<int>((xMm + wMm) * 10); ++x) {
            if (!isWhite(image.pixel(x, y))) {
                return true;
            }
        }
    }
    return false;
}

QPoint at(double xMm, double yMm) {
    return QPoint(static_cast<int>(xMm * 10), static_cast<int>(yMm * 10));
}

} // namespace

class CardPrintingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void everySheetIsOnePageWithoutATrailingBlankPage() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cards.pdf"));
        const CardRunValues values = runValues(CardMode::Normal, 3);
        ScriptedFractions random{0.1, 0.7, 0.35, 0.92};
        RecordingMessages messages;
        CardSheetPrinter sheets(values, rosterOf(30), dir.path(), random, messages);
        QCOMPARE(printToPdf(sheets, values, path), 3);
        QCOMPARE(CountPdfPages(path), 3);
        QVERIFY(messages.Shown.isEmpty());
    }

    void noParticipantStopsAfterTheFirstSheetWithOneMessage() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cards.pdf"));
        const CardRunValues values = runValues(CardMode::Normal, 3);
        ScriptedFractions random{0.5};
        RecordingMessages messages;
        RosterTable roster = rosterOf(1);
        CardRunValues fixed = values;
        fixed.Centre = CentreOption::FixedRow; // the only participant sits in the centre
        fixed.DesignatedRow = 1;
        CardSheetPrinter sheets(fixed, roster, dir.path(), random, messages);
        QCOMPARE(printToPdf(sheets, fixed, path), 1);
        QCOMPARE(CountPdfPages(path), 1);
        QCOMPARE(messages.Shown,
                 QStringList{
                     QStringLiteral("データが登録されていません。\r\n通常ビンゴカード発行を打ち切ります。")});
    }

    void blankCardsPrintOnAnEmptyRoster() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cards.pdf"));
        const CardRunValues values = runValues(CardMode::Blank, 2, 1, 7);
        ScriptedFractions random{0.5};
        RecordingMessages messages;
        CardSheetPrinter sheets(values, rosterOf(0), dir.path(), random, messages);
        QCOMPARE(printToPdf(sheets, values, path), 2);
        QCOMPARE(CountPdfPages(path), 2);
        QVERIFY(messages.Shown.isEmpty());
    }

    void noSheetsPrintNothing() {
        ScriptedFractions random{0.5};
        RecordingMessages messages;
        for (int sheets : {0, -4}) {
            CardSheetPrinter printer(runValues(CardMode::Normal, sheets), rosterOf(5), QString(), random,
                                     messages);
            QCOMPARE(printer.SheetCount(), 0);
            QVERIFY(printer.Finished());
        }
    }

    void eachPhotoIsDecodedAndEmbeddedOnce() {
        QTemporaryDir dir;
        const QStringList photos = {writePhoto(dir.path(), QStringLiteral("a.jpg"), QSize(800, 600)),
                                    writePhoto(dir.path(), QStringLiteral("b.jpg"), QSize(600, 800)),
                                    writePhoto(dir.path(), QStringLiteral("c.jpg"), QSize(900, 300))};
        const QString path = dir.filePath(QStringLiteral("cards.pdf"));
        const CardRunValues values = runValues(CardMode::Normal, 2);
        ClockSeededFractions random(3);
        RecordingMessages messages;
        CardSheetPrinter sheets(values, rosterOf(24, photos), dir.path(), random, messages);
        printToPdf(sheets, values, path);
        QCOMPARE(sheets.Renderer().PhotoDecodes(), 3);
        QCOMPARE(CountPdfImages(path), 3);
        // Every distinct name is fitted once for the one cell size, and the centre mark once.
        QCOMPARE(sheets.Renderer().TextFits(), 25);
    }

    void turnedPhotoIsPlacedUprightAndCentred() {
        QTemporaryDir dir;
        // Stored 400 × 300 and turned a quarter: shown 300 × 400, so the height decides.
        const QString name = writePhoto(dir.path(), QStringLiteral("turned.jpg"), QSize(400, 300),
                                        QImageIOHandler::TransformationRotate90);
        CardRenderer renderer(Qt::black);
        QImage sheet = paper(60, 60);
        QPainter painter(&sheet);
        renderer.DrawCell(painter, {100000, 100000}, 400000, {QString(), JoinPath(dir.path(), name)});
        painter.end();
        // Cell at (10, 10) mm, 40 mm: box 40 × 30 mm; the photo is 22.5 mm wide from x = 18.75.
        QVERIFY(isWhite(sheet.pixel(at(15, 25))));
        QVERIFY(isWhite(sheet.pixel(at(45, 25))));
        QVERIFY(!isWhite(sheet.pixel(at(22, 25))));
        QVERIFY(!isWhite(sheet.pixel(at(38, 25))));
        // Turned clockwise, the red left half is now on top.
        const QRgb top = sheet.pixel(at(30, 13));
        const QRgb bottom = sheet.pixel(at(30, 37));
        QVERIFY(qRed(top) > 150 && qBlue(top) < 100);
        QVERIFY(qBlue(bottom) > 150 && qRed(bottom) < 100);
        QVERIFY(isWhite(sheet.pixel(at(30, 42)))); // below the box: the empty name strip
    }

    void nameIsCentredUnderThePhotoOrInTheWholeCell() {
        QTemporaryDir dir;
        const QString photo = writePhoto(dir.path(), QStringLiteral("wide.jpg"), QSize(800, 600));
        CardRenderer renderer(QColor(0, 0, 255));
        QImage sheet = paper(100, 50);
        QPainter painter(&sheet);
        const CellContent withPhoto{QStringLiteral("山田　太郎"), JoinPath(dir.path(), photo)};
        const CellContent missingPhoto{QStringLiteral("山田　太郎"),
                                       JoinPath(dir.path(), QStringLiteral("none.jpg"))};
        const CellContent noPhoto{QStringLiteral("山田　太郎"), QString()};
        renderer.DrawCell(painter, {0, 0}, 300000, withPhoto);
        renderer.DrawCell(painter, {300000, 0}, 300000, missingPhoto);
        renderer.DrawCell(painter, {600000, 0}, 300000, noPhoto);
        painter.end();
        // The ink of each cell's text: horizontally centred; under the photo within the bottom quarter.
        for (int cell = 0; cell < 3; ++cell) {
            int left = 10000, right = -1, top = 10000, bottom = -1;
            for (int y = 0; y < 300; ++y) {
                for (int x = cell * 300; x < cell * 300 + 300; ++x) {
                    const QRgb p = sheet.pixel(x, y);
                    if (qBlue(p) > 150 && qRed(p) < 120 && qGreen(p) < 120 && (cell == 2 || y >= 225)) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
                }
            }
            QVERIFY2(right > left, qPrintable(QStringLiteral("no text in cell %1").arg(cell)));
            const int cellLeft = cell * 300;
            QVERIFY2(std::abs((left - cellLeft) - (cellLeft + 299 - right)) <= 12,
                     qPrintable(QStringLiteral("cell %1: %2..%3").arg(cell).arg(left).arg(right)));
            if (cell < 2) {
                QVERIFY(top >= 225);
            } else {
                QVERIFY(std::abs(top - (299 - bottom)) <= 40);
                QVERIFY(right - left > 200); // fitted to the whole cell: wide
            }
        }
        // The missing photo leaves its box blank.
        QVERIFY(isWhite(sheet.pixel(at(45, 10))));
        QVERIFY(!isWhite(sheet.pixel(at(15, 10))));
    }

    void gridLiesOnTopOfThePhotos() {
        QTemporaryDir dir;
        const QString photo = writePhoto(dir.path(), QStringLiteral("p.jpg"), QSize(400, 300));
        CardRenderer renderer(Qt::black);
        QImage sheet = paper(40, 40);
        QPainter painter(&sheet);
        const MmUnits c = 100000;
        for (int j = 1; j <= 3; ++j) {
            renderer.DrawCell(painter, {(j - 1) * c, 0}, c, {QString(), JoinPath(dir.path(), photo)});
        }
        renderer.DrawGrid(painter, {0, 0}, 3 * c, 3);
        painter.end();
        const QRgb onLine = sheet.pixel(at(10, 3)); // the first inner vertical line crosses the photos
        QVERIFY(qRed(onLine) < 60 && qGreen(onLine) < 60 && qBlue(onLine) < 60);
    }

    void fewMeasurementsGiveTheStepSearchResultWithTheRealFont() {
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath(QStringLiteral("m.pdf")));
        writer.setResolution(1200);
        QFont font(CardFontFace());
        DeviceTextMeasurer measurer(font, writer);
        const QString texts[] = {QStringLiteral("★"),
                                 QStringLiteral("林　舞"),
                                 QStringLiteral("山田　太郎"),
                                 QStringLiteral("マクファーソン　ジェニファー"),
                                 QStringLiteral("Ｗｉｌｌｉａｍ"),
                                 QStringLiteral("ij")};
        for (const QString& text : texts) {
            for (MmUnits c : {88889, 176429, 205556, 411111, 616667, 1850000}) {
                for (MmUnits q : {c, PhotoBoxHeight(c)}) {
                    const FittedText fast = FitText(measurer, text, c, q);
                    const FittedText slow = FitTextStepByStep(measurer, text, c, q);
                    QCOMPARE(fast.PointSize, slow.PointSize);
                    QCOMPARE(fast.Dx, slow.Dx);
                    QCOMPARE(fast.Dy, slow.Dy);
                    QVERIFY(fast.Measurements <= 6);
                }
            }
        }
    }

    void postcardPaperIsFoundAmongThePrintersSizes() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        QCOMPARE(SelectPostcardPaper(printer, {}), qint16(43));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        const QSizeF size = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
        QCOMPARE(size, QSizeF(100, 148));

        QVERIFY(SetPaperByCode(printer, 13));
        QCOMPARE(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(182, 257));
        QVERIFY(SetPaperByCode(printer, 9));
        QCOMPARE(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(210, 297));
        QVERIFY(!SetPaperByCode(printer, 0));
    }

    void pdfIsNamedWithDateAndTimeInTheWorkingFolder() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Mrda/Pictures")));
        ProgramState state;
        state.Settings.Pictures =
            JoinPath(JoinPath(dir.path(), QStringLiteral("Mrda")), QStringLiteral("Pictures"));
        state.ProgramFolder = dir.path() + QStringLiteral("/");
        const QString working = CardOutputFolder(state);
        QCOMPARE(QDir(working).absolutePath(), QDir(dir.filePath(QStringLiteral("Mrda"))).absolutePath());
        const QDateTime when(QDate(2026, 12, 6), QTime(22, 30, 0));
        const QString first = CardPdfPath(working, when);
        QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("ビンゴカード_20261206_223000.pdf"));
        QFile existing(first);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        QCOMPARE(QFileInfo(CardPdfPath(working, when)).fileName(),
                 QStringLiteral("ビンゴカード_20261206_223000_2.pdf"));
        // A pictures folder that does not exist: the program folder.
        state.Settings.Pictures = dir.filePath(QStringLiteral("gone/Pictures"));
        QCOMPARE(QDir(CardOutputFolder(state)).absolutePath(), QDir(dir.path()).absolutePath());
    }

    void postcardSearchKeepsToThePrintersSizes() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        const QList<QPageSize> noPostcard = {QPageSize(QPageSize::A4), QPageSize(QPageSize::Letter),
                                             QPageSize(QPageSize::B5)};
        QCOMPARE(SelectPostcardPaper(printer, noPostcard), qint16(0));
        QCOMPARE(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(210, 297));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);

        // The driver's own postcard, under a name of its own.
        const QList<QPageSize> withPostcard = {
            QPageSize(QPageSize::A4),
            QPageSize(QSizeF(100, 148), QPageSize::Millimeter, QStringLiteral("はがき"))};
        QCOMPARE(SelectPostcardPaper(printer, withPostcard), qint16(43));
        QCOMPARE(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(100, 148));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    }

    void printerWithoutPostcardAsksBeforePrinting() {
        for (const Dialogs::Answer answer : {Dialogs::Answer::No, Dialogs::Answer::Yes}) {
            QTemporaryDir dir;
            ProgramState state = StateWithNames({u"一郎"});
            TestServices t;
            CardPrintRun run(state, t.services, nullptr);
            run.SetPaperSizesLookup(
                [](const QPrinter&) { return QList<QPageSize>{QPageSize(QPageSize::A4)}; });
            t.dialogs.YesNo.push_back(answer);
            const QString path = dir.filePath(QStringLiteral("cards.pdf"));
            int finished = 0;
            const bool started =
                run.Start(runValues(CardMode::Blank, 1, 10), QPrinterInfo(), path, [&] { ++finished; });
            QCOMPARE(
                t.dialogs.Questions(),
                QStringList{QStringLiteral(
                    "接続されているプリンタでは\r\n用紙をはがきに設定出来ません.\r\n印刷を続けますか？")});
            QCOMPARE(t.dialogs.LastDefault, Dialogs::Answer::No);
            QCOMPARE(started, answer == Dialogs::Answer::Yes);
            for (int i = 0; i < 100 && t.clock.AdvanceToNext(); ++i) {
            }
            if (answer == Dialogs::Answer::No) {
                QVERIFY(!QFileInfo::exists(path));
                QCOMPARE(finished, 0);
            } else {
                QCOMPARE(CountPdfPages(path), 1);
                QCOMPARE(finished, 1);
            }
        }
    }

    void pdfThatCannotBeOpenedIsRefusedWithAMessage() {
        QTemporaryDir dir;
        ProgramState state = StateWithNames({u"一郎"});
        TestServices t;
        CardPrintRun run(state, t.services, nullptr);
        const QString path = dir.filePath(QStringLiteral("gone/cards.pdf"));
        QVERIFY(!run.Start(runValues(CardMode::Normal, 2), QPrinterInfo(), path, [] {}));
        QVERIFY(!run.IsRunning());
        QCOMPARE(t.dialogs.Messages().size(), 1);
        QVERIFY(t.dialogs.Messages().first().startsWith(QStringLiteral("印刷を開始できませんでした。\r\n")));
        QVERIFY(!QFileInfo::exists(path));
    }

    // The PDF printed at 100 %: every grid line of every card is a solid line at least 0.1 mm
    // wide, not a hairline that a smoothing printer or viewer turns grey. Checked on the PDF
    // itself, rasterised: the whole page at 254 dpi (0.1 mm a pixel), and the width of lines at
    // 2540 dpi.
    void pdfGridLinesPrintSolid() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
            QSKIP("pdftoppm (poppler-utils) is needed to rasterise the PDF");
        }
        QTemporaryDir dir;
        ProgramState state = StateWithNames({});
        TestServices t;
        CardPrintRun run(state, t.services, nullptr);
        const QString path = dir.filePath(QStringLiteral("cards.pdf"));
        QVERIFY(run.Start(runValues(CardMode::Blank, 1, 0, 5), QPrinterInfo(), path, [] {}));
        for (int i = 0; i < 10 && t.clock.AdvanceToNext(); ++i) {
        }
        QVERIFY(QFileInfo::exists(path));
        // Renders part of the page: pixels per millimetre, the area's top left and size in pixels.
        const auto render = [&](int pixelsPerMm, QRect area) {
            const QString out = dir.filePath(QStringLiteral("page"));
            QProcess pdftoppm;
            pdftoppm.start(QStringLiteral("pdftoppm"),
                           {QStringLiteral("-r"), QString::number(pixelsPerMm * 254 / 10),
                            QStringLiteral("-gray"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                            QStringLiteral("-x"), QString::number(area.x()), QStringLiteral("-y"),
                            QString::number(area.y()), QStringLiteral("-W"), QString::number(area.width()),
                            QStringLiteral("-H"), QString::number(area.height()), path, out});
            return pdftoppm.waitForFinished(60000) ? QImage(out + QStringLiteral(".png")) : QImage();
        };
        const QImage page = render(10, QRect(0, 0, 2100, 2970));
        QCOMPARE(page.size(), QSize(2100, 2970));
        // The darkest pixel across a line, within half a millimetre of where it lies.
        const auto darkest = [&page](double xMm, double yMm, bool vertical) {
            int dark = 255;
            for (int d = -5; d <= 5; ++d) {
                const int x = static_cast<int>(xMm * 10) + (vertical ? d : 0);
                const int y = static_cast<int>(yMm * 10) + (vertical ? 0 : d);
                dark = std::min(dark, qGray(page.pixel(x, y)));
            }
            return dark;
        };
        // The width of a line in millimetres, measured across it at 100 pixels a millimetre.
        const auto widthMm = [&render](double xMm, double yMm, bool vertical) {
            const QImage area = render(
                100, QRect(static_cast<int>(xMm * 100) - 100, static_cast<int>(yMm * 100) - 100, 200, 200));
            int dark = 0;
            for (int d = 0; d < 200; ++d) {
                dark += qGray(vertical ? area.pixel(d, 100) : area.pixel(100, d)) < 128 ? 1 : 0;
            }
            return dark / 100.0;
        };
        const double c = 16; // 80 mm cards of 5 × 5
        for (const QPointF origin :
             {QPointF(12.5, 34.25), QPointF(117.5, 34.25), QPointF(12.5, 182.75), QPointF(117.5, 182.75)}) {
            for (int i = 0; i <= 5; ++i) {
                QVERIFY2(darkest(origin.x() + i * c, origin.y() + 3.3, true) < 100, "vertical line missing");
                QVERIFY2(darkest(origin.x() + 3.3, origin.y() + i * c, false) < 100,
                         "horizontal line missing");
            }
        }
        for (const auto& [x, y, vertical] :
             {std::tuple{12.5, 37.55, true}, std::tuple{12.5 + 2 * 16, 37.55, true},
              std::tuple{15.8, 34.25 + 16, false}, std::tuple{15.8, 34.25 + 80, false}}) {
            const double w = widthMm(x, y, vertical);
            QVERIFY2(w >= 0.1 && w <= 0.3, qPrintable(QStringLiteral("line %1 mm wide").arg(w)));
        }
    }

    // A PDF written onto a full disk is reported with the system's error and leaves nothing.
    void pdfOnAFullDiskLeavesNoFileAndSaysWhy() {
        TinyFileSystem fs;
        QString reason;
        if (!fs.Mount(512, reason)) {
            QSKIP(qPrintable(reason));
        }
        QVERIFY(fs.FillLeaving(8192));
        ProgramState state = StateWithNames({u"一郎", u"二郎", u"三郎"});
        TestServices t;
        CardPrintRun run(state, t.services, nullptr);
        const QString path = fs.FilePath(QStringLiteral("cards.pdf"));
        int finished = 0;
        QVERIFY(run.Start(runValues(CardMode::Normal, 8), QPrinterInfo(), path, [&] { ++finished; }));
        for (int i = 0; i < 100 && t.clock.AdvanceToNext(); ++i) {
        }
        QCOMPARE(finished, 1);
        QCOMPARE(t.dialogs.Messages().size(), 1);
        const QString message = t.dialogs.Messages().first();
        QVERIFY2(
            message.startsWith(QStringLiteral("PDFファイルを書き込めなかったため、印刷を中止しました。")),
            qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("エラー番号=28")), qPrintable(message));
        QCOMPARE(fs.Entries(), QStringList());
    }

    void sheetWhereNobodyIsLeftIsStillCompleted() {
        // The only participant is fixed in the centre: every card of the sheet fails, yet each
        // gets its centre and its grid, and the other cells stay empty.
        CardRunValues values = runValues(CardMode::Normal, 3, 0, 5);
        values.Centre = CentreOption::FixedRow;
        values.DesignatedRow = 1;
        ScriptedFractions random{0.5};
        RecordingMessages messages;
        CardSheetPrinter sheets(values, rosterOf(1), QString(), random, messages);
        QImage sheet = paper(210, 297);
        QPainter painter(&sheet);
        sheets.DrawNextSheet(painter);
        painter.end();
        QVERIFY(sheets.Finished());
        QCOMPARE(messages.Shown.size(), 1);
        const double c = 16; // 80 mm / 5
        for (const QPointF origin :
             {QPointF(12.5, 34.25), QPointF(117.5, 34.25), QPointF(12.5, 182.75), QPointF(117.5, 182.75)}) {
            // Outline and inner lines.
            QVERIFY(anyInk(sheet, origin.x() - 0.2, origin.y() + 5, 0.4, 1));
            QVERIFY(anyInk(sheet, origin.x() + 4 * c - 0.2, origin.y() + 5, 0.4, 1));
            QVERIFY(anyInk(sheet, origin.x() + 5, origin.y() + 5 * c - 0.2, 1, 0.4));
            // The centre shows the participant; the cell before it stays empty.
            QVERIFY(anyInk(sheet, origin.x() + 2 * c + 0.5, origin.y() + 2 * c + 0.5, c - 1, c - 1));
            QVERIFY(!anyInk(sheet, origin.x() + c + 0.5, origin.y() + 2 * c + 0.5, c - 1, c - 1));
        }
    }

    void textIsPrintedInTheRunsColour() {
        CardRunValues values = runValues(CardMode::Blank, 1, 10, 3); // postcard, one 75 mm card
        values.TextColour = ReadTextColour(QStringLiteral("255"));   // red
        ScriptedFractions random{0.5};
        RecordingMessages messages;
        CardSheetPrinter sheets(values, rosterOf(0), QString(), random, messages);
        QImage sheet = paper(100, 148);
        QPainter painter(&sheet);
        sheets.DrawNextSheet(painter);
        painter.end();
        // The mark in the centre cell (at 12.5 + 25, 36.5 + 25, 25 mm square) is red.
        int red = 0;
        for (int y = 615; y < 865; ++y) {
            for (int x = 380; x < 620; ++x) {
                const QRgb p = sheet.pixel(x, y);
                red += qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80 ? 1 : 0;
            }
        }
        QVERIFY(red > 1000);
    }
};

QTEST_MAIN(CardPrintingTest)
#include "cardprinting_test.moc"
