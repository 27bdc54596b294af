#include "core/cards/cardmargin.h"
#include "core/cards/cardrenderer.h"
#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "core/common/random.h"
#include "core/record/recordedcard.h"
#include "support/casefile.h"
#include "support/testservices.h"
#include "support/tinyfilesystem.h"
#include "ui/cards/cardprintrun.h"
#include "ui/cards/pdfcount.h"
#include "ui/cards/postcardpaper.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

RosterTable RosterOf(int count) {
    RosterTable roster;
    roster.Clear();
    for (int row = 1; row <= count; ++row) {
        roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者　%1").arg(row));
    }
    return roster;
}

CardRunValues RunValues(CardMode mode, int sheets, int layout = 0, int n = 5) {
    CardRunValues values;
    values.Mode = mode;
    values.Sheets = static_cast<qint16>(sheets);
    values.LayoutIndex = layout;
    values.FramesPerSide = n;
    return values;
}

// A photo whose left half is red and right half blue, saved as JPEG; a turned one carries the
// EXIF orientation of a phone photo that is shown turned a quarter clockwise.
QString WritePhoto(const QString& folder, const QString& name, QSize size, bool turned = false) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(QRect(size.width() / 2, 0, size.width(), size.height()), Qt::blue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    image.save(&buffer, "JPEG");
    if (turned) { // APP1 "Exif", big-endian TIFF, one entry: Orientation (0x0112) = 6
        jpeg.insert(2,
                    QByteArray("\xFF\xE1\x00\x22"
                               "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                               36));
    }
    QFile file(JoinPath(folder, name));
    return file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size() ? file.fileName() : QString();
}

bool IsWhite(QRgb p) {
    return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240;
}

// A sheet of paper as an image of 10 pixels per millimetre.
QImage Paper(int widthMm, int heightMm) {
    QImage image(widthMm * 10, heightMm * 10, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    return image;
}

// The bounding box, in pixels, of the pixels of an area (millimetres) that pass a test.
QRect Ink(const QImage& image, QRectF mm, const std::function<bool(QRgb)>& test) {
    QRect box;
    for (int y = int(mm.top() * 10); y < int(mm.bottom() * 10); ++y) {
        for (int x = int(mm.left() * 10); x < int(mm.right() * 10); ++x) {
            box = test(image.pixel(x, y)) ? box.united(QRect(x, y, 1, 1)) : box;
        }
    }
    return box;
}

// The scenes of tests/data/cards/pixels.txt, drawn on paper; a null image when one went wrong.
QImage Scene(const QString& name, const QString& folder) {
    QImage sheet = Paper(name == u"nobody" ? 210 : 100, name == u"nobody" ? 297 : 60);
    QPainter painter(&sheet);
    if (name == u"turned") {
        const QString photo = WritePhoto(folder, QStringLiteral("turned.jpg"), QSize(400, 300), true);
        CardRenderer(Qt::black).DrawCell(painter, {100000, 100000}, 400000, {QString(), photo});
    } else if (name == u"names") {
        const QString photo = WritePhoto(folder, QStringLiteral("wide.jpg"), QSize(800, 600));
        CardRenderer renderer(QColor(0, 160, 0));
        const QString name = QStringLiteral("山田　太郎");
        const QString missing = JoinPath(folder, QStringLiteral("none.jpg"));
        for (const auto& [x, content] : {std::pair{0, CellContent{name, photo}},
                                         {300000, CellContent{QStringLiteral("森"), missing}},
                                         {600000, CellContent{name, QString()}}}) {
            renderer.DrawCell(painter, {x, 0}, 300000, content);
        }
        for (int j = 0; j < 6; ++j) {
            renderer.DrawCell(painter, {j * 100000, 300000}, 100000, {QString(), photo});
        }
        renderer.DrawGrid(painter, {0, 300000}, 600000, 6);
    } else if (name == u"nobody") {
        CardRunValues values = RunValues(CardMode::Normal, 3, 0, 5);
        values.Centre = CentreOption::FixedRow;
        values.DesignatedRow = 1;
        values.TextColour = ReadTextColour(QStringLiteral("255"));
        ScriptedFractions random{0.5};
        RecordingMessages messages;
        CardSheetPrinter sheets(values, RosterOf(1), QString(), random, messages);
        sheets.DrawNextSheet(painter);
        if (!sheets.Finished() || messages.Shown != QStringList{NoParticipantMessage()}) {
            return {};
        }
    }
    return sheet;
}

// One line of tests/data/cards/pixels.txt: whether the pixels of a colour in an area do as said.
bool Probe(const QImage& image, const QString& area, const QString& colour, const QString& expect) {
    const QStringList n = area.split(u' ');
    const QRectF mm(n.value(0).toDouble(), n.value(1).toDouble(), n.value(2).toDouble(),
                    n.value(3).toDouble());
    const std::map<QString, std::function<bool(QRgb)>> colours{
        {QStringLiteral("white"), IsWhite},
        {QStringLiteral("ink"), [](QRgb p) { return !IsWhite(p); }},
        {QStringLiteral("red"), [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100; }},
        {QStringLiteral("blue"), [](QRgb p) { return qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100; }},
        {QStringLiteral("green"), [](QRgb p) { return qGreen(p) > 100 && qRed(p) < 100 && qBlue(p) < 100; }},
        {QStringLiteral("dark"), [](QRgb p) { return qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60; }}};
    if (image.isNull() || !colours.count(colour)) {
        return false;
    }
    const QRect box = Ink(image, mm, colours.at(colour));
    const QRect px(QPoint(int(mm.left() * 10), int(mm.top() * 10)),
                   QPoint(int(mm.right() * 10) - 1, int(mm.bottom() * 10) - 1));
    const QString kind = expect.section(u':', 0, 0);
    const double tenths = expect.section(u':', 1).toDouble() * 10;
    return kind == u"none"      ? box.isEmpty()
           : box.isEmpty()      ? false
           : kind == u"some"    ? true
           : kind == u"centred" ? std::abs((box.left() - px.left()) - (px.right() - box.right())) <= 12
           : kind == u"middle"  ? std::abs((box.top() - px.top()) - (px.bottom() - box.bottom())) <= 40
           : kind == u"from"    ? box.top() - px.top() >= tenths
                                : kind == u"wider" && box.width() > tenths;
}

// A page with what draw paints on it.
QImage Drawn(QImage page, const std::function<void(QPainter&)>& draw) {
    QPainter painter(&page);
    draw(painter);
    painter.end();
    return page;
}

// The pixels of an area in millimetres, as a copy.
QImage Area(const QImage& image, double x, double y, double w, double h) {
    return image.copy(QRect(int(x * 10), int(y * 10), int(w * 10), int(h * 10)));
}

// Runs the clock's timers and the event loop (a numbered run reads and writes its record on other
// threads) until the run has ended.
void RunToEnd(TestServices& t, const CardPrintRun* run = nullptr) {
    for (QDeadlineTimer deadline(30000); !deadline.hasExpired();) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!t.clock.AdvanceToNext() && (!run || !run->IsRunning())) {
            return;
        }
    }
}

// A print run of the program on fake services, writing its PDF into a temporary folder.
struct RunRig {
    explicit RunRig(std::initializer_list<const char16_t*> names) : state(StateWithNames(names)) {}
    QString Path(const char* name = "cards.pdf") const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    ProgramState state;
    TestServices t;
    CardPrintRun run{state, t.services, nullptr};
};

} // namespace

class CardPrintingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // Cards drawn by the renderer, checked pixel by pixel against tests/data/cards/pixels.txt.
    void rendererPixelsFromData() {
        QTemporaryDir dir;
        std::map<QString, QImage> scenes;
        const int cases = ForEachCase(QStringLiteral("cards"), QStringLiteral("pixels.txt"),
                                      [&](const std::string& where, const QStringList& f) {
                                          auto [scene, fresh] = scenes.try_emplace(f.value(0));
                                          if (fresh) {
                                              scene->second = Scene(f.value(0), dir.path());
                                          }
                                          if (!Probe(scene->second, f.value(1), f.value(2), f.value(3))) {
                                              QTest::qFail(where.c_str(), __FILE__, __LINE__);
                                          }
                                      });
        QCOMPARE(cases, 37);
    }

    // A numbered sheet prints the same cards as an unnumbered one from the same random draws, the
    // record holds exactly what was printed (drawn again from the record, the cards are the same
    // to the pixel), and the number and QR code sit in the card's own margin: above the card,
    // below the one before it, apart from the cells.
    void numberedSheetPrintsTheCardsOfItsRecord_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("qr");
        for (const int layout : {0, 2, 3, 8, 10, 11}) {
            for (const bool qr : {false, true}) {
                QTest::addRow("%s%s", qPrintable(PaperLayouts().at(size_t(layout)).Text), qr ? " QR" : "")
                    << layout << qr;
            }
        }
    }
    void numberedSheetPrintsTheCardsOfItsRecord() {
        QFETCH(int, layout);
        QFETCH(bool, qr);
        CardRunValues values = RunValues(CardMode::Normal, 1, layout, 5);
        // A name in the centre: the mark's glyph comes from a fallback font whose measure is not
        // always the same from one renderer to the next.
        values.Centre = CentreOption::FixedRow;
        values.DesignatedRow = 40;
        const RosterTable roster = RosterOf(40);
        ClockSeededFractions plainRandom(7);
        ClockSeededFractions numberedRandom(7);
        RecordingMessages messages;
        CardSheetPrinter plain(values, roster, QString(), plainRandom, messages);
        CardSheetPrinter numbered(values, roster, QString(), numberedRandom, messages);
        CardMarks marks;
        marks.Numbered = true;
        marks.FirstNumber = 41;
        marks.PhoneAddress = qr ? QStringLiteral("192.168.1.20:50080") : QString();
        numbered.SetMarks(marks);
        const MmPoint page = PageSize(values.Layout());
        const QImage blankPage = Paper(int(ToMillimetres(page.X)), int(ToMillimetres(page.Y)));
        const QImage plainPage = Drawn(blankPage, [&](QPainter& p) { plain.DrawNextSheet(p); });
        const QImage numberedPage = Drawn(blankPage, [&](QPainter& p) { numbered.DrawNextSheet(p); });
        const std::vector<RecordedCard>& cards = numbered.NumberedCards();
        QCOMPARE(int(cards.size()), values.Layout().CardsPerSheet);
        const std::vector<MmPoint> origins = CardOrigins(values.Layout());
        const double side = ToMillimetres(values.Layout().CardSide);
        const QImage recordPage = Drawn(blankPage, [&](QPainter& p) {
            CardRenderer renderer(values.TextColour);
            for (size_t k = 0; k < cards.size(); ++k) {
                DrawRecordedCard(p, renderer, cards[k], roster, QString(), origins[k],
                                 values.Layout().CardSide, {});
            }
        });
        const auto notWhite = [](QRgb p) { return !IsWhite(p); };
        QList<QRectF> inked;
        for (size_t k = 0; k < cards.size(); ++k) {
            QCOMPARE(cards[k].Number, 41 + int(k));
            QCOMPARE(cards[k].Token.isEmpty(), !qr);
            const double x = ToMillimetres(origins[k].X);
            const double y = ToMillimetres(origins[k].Y);
            const QImage printed = Area(numberedPage, x - 1, y - 1, side + 2, side + 2);
            QVERIFY(printed == Area(plainPage, x - 1, y - 1, side + 2, side + 2));
            QVERIFY(printed == Area(recordPage, x - 1, y - 1, side + 2, side + 2));
            // The number in the margin above the card, at the right; the QR code (when asked) in its
            // place in the margin.
            const MmRect place = CardQrPlace(values.Layout(), origins[k]);
            const QRectF code(ToMillimetres(place.X), ToMillimetres(place.Y), ToMillimetres(place.Width),
                              ToMillimetres(place.Height));
            const QRectF number(x + side - 20, y - 6, 20, 6 - 1.4);
            QVERIFY(!Ink(numberedPage, number, notWhite).isEmpty());
            QCOMPARE(!Ink(numberedPage, code, notWhite).isEmpty(), qr);
            inked << number << code.adjusted(-0.1, -0.1, 0.1, 0.1);
        }
        // No other ink than the plain sheet's anywhere else.
        QVERIFY(Drawn(numberedPage, [&](QPainter& p) {
                    for (const QRectF& r : inked) {
                        p.fillRect(QRectF(r.x() * 10, r.y() * 10, r.width() * 10, r.height() * 10),
                                   Qt::white);
                    }
                }) == plainPage);
    }

    // The QR code of a card printed to a PDF is read by a code reader and names its own page.
    void numberedPdfCarriesReadableQrCodes() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()) {
            QSKIP("pdftoppm (poppler-utils) and zbarimg (zbar-tools) are needed to read the codes back");
        }
        RunRig r({u"一郎", u"二郎", u"三郎", u"四郎", u"五郎", u"六郎", u"七郎", u"八郎"});
        r.state.Settings.RosterFilePath = r.dir.filePath(QStringLiteral("名簿.txt"));
        const QString path = r.Path();
        CardMarks marks;
        marks.Numbered = true;
        marks.PhoneAddress = QStringLiteral("192.168.1.20:50080");
        QVERIFY(r.run.Start(
            RunValues(CardMode::Normal, 1, 0, 3), QPrinterInfo(), path, [] {}, marks));
        RunToEnd(r.t, &r.run);
        std::vector<RecordedCard> cards;
        FileError error;
        QVERIFY(LoadCardRecord(r.dir.filePath(QStringLiteral("カード記録_名簿.csv")), cards, error));
        QStringList expected;
        for (const RecordedCard& card : cards) {
            expected << CardPageUrl(card.PhoneAddress, card.Token);
        }
        QCOMPARE(expected.size(), 4);
        QProcess pdftoppm;
        pdftoppm.start(QStringLiteral("pdftoppm"),
                       {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                        QStringLiteral("-png"), QStringLiteral("-singlefile"), path,
                        r.dir.filePath(QStringLiteral("page"))});
        QVERIFY(pdftoppm.waitForFinished(60000));
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"),
                                               r.dir.filePath(QStringLiteral("page.png"))});
        QVERIFY(zbar.waitForFinished(60000));
        QStringList read = QString::fromUtf8(zbar.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        read.sort();
        expected.sort();
        QCOMPARE(read, expected);
    }

    // A sheet's photos are decoded off the window's thread: the run waits for them with no timer
    // of its own running (the window keeps its events), then draws the sheet. Stopped while they
    // are decoded, before any sheet, it leaves no file.
    void photosAreDecodedOffTheWindowsThread_data() {
        QTest::addColumn<bool>("stop");
        QTest::newRow("printed") << false;
        QTest::newRow("stopped while decoding") << true;
    }
    void photosAreDecodedOffTheWindowsThread() {
        QFETCH(bool, stop);
        RunRig r({u"一郎", u"二郎", u"三郎"});
        r.state.Settings.Pictures = r.dir.path();
        const char* const names[] = {"a.jpg", "b.jpg", "c.jpg"};
        for (int row = 1; row <= 3; ++row) {
            QVERIFY(
                !WritePhoto(r.dir.path(), QString::fromLatin1(names[row - 1]), QSize(1600, 1200)).isEmpty());
            r.state.Roster.SetCell(RosterColumn::Photo, row, QString::fromLatin1(names[row - 1]));
        }
        const QString path = r.Path();
        int finished = 0;
        QVERIFY(r.run.Start(RunValues(CardMode::Normal, 4), QPrinterInfo(), path, [&] { ++finished; }));
        QVERIFY(r.t.clock.AdvanceToNext()); // chooses the first sheet and sends its photos away
        QVERIFY(r.run.IsRunning());
        QCOMPARE(r.t.clock.ActiveTimerCount(), 0);
        if (stop) {
            r.run.Cancel();
        }
        QTRY_COMPARE(r.t.clock.ActiveTimerCount(), 1); // back with the photos (or stopped)
        RunToEnd(r.t);
        QVERIFY(!r.run.IsRunning());
        QCOMPARE(finished, 1);
        QCOMPARE(CountPdfPages(path), stop ? -1 : 4);
        QCOMPARE(CountPdfImages(path), stop ? -1 : 3);
        QCOMPARE(r.t.dialogs.Messages().size(), stop ? 0 : 1); // where the PDF is
    }

    // Postcard paper: the first paper code of 99–101 × 147–149 mm among those the printer offers,
    // the orientation kept; none found leaves paper and orientation as they were.
    void postcardPaperIsFoundAmongThePrintersSizes_data() {
        QTest::addColumn<QList<QPageSize>>("offered");
        QTest::addColumn<int>("code");
        QTest::addColumn<QSizeF>("size");
        const QPageSize a4(QPageSize::A4);
        QTest::newRow("a PDF takes any size") << QList<QPageSize>() << 43 << QSizeF(100, 148);
        QTest::newRow("none") << QList<QPageSize>{a4, QPageSize(QPageSize::Letter), QPageSize(QPageSize::B5)}
                              << 0 << QSizeF(210, 297);
        QTest::newRow("the driver's own, under its own name")
            << QList<QPageSize>{a4,
                                QPageSize(QSizeF(100, 148), QPageSize::Millimeter, QStringLiteral("はがき"))}
            << 43 << QSizeF(100, 148);
    }
    void postcardPaperIsFoundAmongThePrintersSizes() {
        QFETCH(QList<QPageSize>, offered);
        QFETCH(int, code);
        QFETCH(QSizeF, size);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        QCOMPARE(SelectPostcardPaper(printer, offered), qint16(code));
        QCOMPARE(printer.pageLayout().pageSize().size(QPageSize::Millimeter), size);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        for (const auto& [paperCode, mm] : {std::pair{13, QSizeF(182, 257)}, {9, QSizeF(210, 297)}}) {
            QVERIFY(SetPaperByCode(printer, paperCode));
            QCOMPARE(printer.pageLayout().pageSize().size(QPageSize::Millimeter), mm);
        }
        QVERIFY(!SetPaperByCode(printer, 0));
    }

    void printerWithoutPostcardAsksBeforePrinting_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No prints nothing") << false;
        QTest::newRow("Yes prints on the paper loaded") << true;
    }
    void printerWithoutPostcardAsksBeforePrinting() {
        QFETCH(bool, yes);
        RunRig r({u"一郎"});
        r.run.SetPaperSizesLookup([](const QPrinter&) { return QList<QPageSize>{QPageSize(QPageSize::A4)}; });
        r.t.dialogs.YesNo.push_back(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        const QString path = r.Path();
        int finished = 0;
        QCOMPARE(r.run.Start(RunValues(CardMode::Blank, 1, 10), QPrinterInfo(), path, [&] { ++finished; }),
                 yes);
        QCOMPARE(r.t.dialogs.Questions(),
                 QStringList{QStringLiteral(
                     "接続されているプリンタでは\r\n用紙をはがきに設定出来ません.\r\n印刷を続けますか？")});
        QCOMPARE(r.t.dialogs.LastDefault, Dialogs::Answer::No);
        RunToEnd(r.t);
        QCOMPARE(CountPdfPages(path), yes ? 1 : -1);
        QCOMPARE(finished, yes ? 1 : 0);
    }

    void pdfThatCannotBeOpenedIsRefusedWithAMessage() {
        RunRig r({u"一郎"});
        const QString path = r.dir.filePath(QStringLiteral("gone/cards.pdf"));
        QVERIFY(!r.run.Start(RunValues(CardMode::Normal, 2), QPrinterInfo(), path, [] {}));
        QVERIFY(!r.run.IsRunning());
        QCOMPARE(r.t.dialogs.Messages().size(), 1);
        QVERIFY(
            r.t.dialogs.Messages().first().startsWith(QStringLiteral("印刷を開始できませんでした。\r\n")));
        QVERIFY(!QFileInfo::exists(path));
    }

    // Printed at 100 %, the grid lines of the PDF are solid and 0.1 to 0.3 mm wide, not hairlines
    // that a smoothing printer or viewer turns grey: measured across them on the rasterised PDF.
    void pdfGridLinesPrintSolid() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
            QSKIP("pdftoppm (poppler-utils) is needed to rasterise the PDF");
        }
        RunRig r({});
        const QString path = r.Path();
        QVERIFY(r.run.Start(RunValues(CardMode::Blank, 1, 0, 5), QPrinterInfo(), path, [] {}));
        RunToEnd(r.t);
        // Four 80 mm cards of 5 × 5 on A4: outlines and inner lines of the first, 100 pixels a millimetre.
        for (const auto& [x, y, vertical] : {std::tuple{12.5, 37.55, true},
                                             {44.5, 37.55, true},
                                             {15.8, 50.25, false},
                                             {15.8, 114.25, false}}) {
            QProcess pdftoppm;
            pdftoppm.start(QStringLiteral("pdftoppm"),
                           {QStringLiteral("-r"), QStringLiteral("2540"), QStringLiteral("-gray"),
                            QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-x"),
                            QString::number(int(x * 100) - 100), QStringLiteral("-y"),
                            QString::number(int(y * 100) - 100), QStringLiteral("-W"), QStringLiteral("200"),
                            QStringLiteral("-H"), QStringLiteral("200"), path,
                            r.dir.filePath(QStringLiteral("line"))});
            QVERIFY(pdftoppm.waitForFinished(60000));
            const QImage area(r.dir.filePath(QStringLiteral("line.png")));
            int dark = 0;
            for (int d = 0; d < 200; ++d) {
                dark += qGray(vertical ? area.pixel(d, 100) : area.pixel(100, d)) < 128 ? 1 : 0;
            }
            QVERIFY2(dark >= 10 && dark <= 30,
                     qPrintable(QStringLiteral("line %1 mm wide").arg(dark / 100.0)));
        }
    }

    // Runs in the same second do not write over each other's PDF.
    void pdfOfTheSameSecondTakesTheNextName() {
        QTemporaryDir dir;
        const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));
        QStringList names;
        for (int run = 0; run < 3; ++run) {
            names << QFileInfo(CardPdfPath(dir.path(), now)).fileName();
            QVERIFY(QFile(dir.filePath(names.last())).open(QIODevice::WriteOnly));
        }
        QCOMPARE(names, QStringList({QStringLiteral("ビンゴカード_20260102_030405.pdf"),
                                     QStringLiteral("ビンゴカード_20260102_030405_2.pdf"),
                                     QStringLiteral("ビンゴカード_20260102_030405_3.pdf")}));
    }

    // A PDF written onto a full disk is reported with the system's error and leaves nothing.
    void pdfOnAFullDiskLeavesNoFileAndSaysWhy() {
        TinyFileSystem fs;
        QString reason;
        if (!fs.Mount(512, reason)) {
            QSKIP(qPrintable(reason));
        }
        QVERIFY(fs.FillLeaving(8192));
        RunRig r({u"一郎", u"二郎", u"三郎"});
        int finished = 0;
        QVERIFY(r.run.Start(RunValues(CardMode::Normal, 8), QPrinterInfo(),
                            fs.FilePath(QStringLiteral("cards.pdf")), [&] { ++finished; }));
        RunToEnd(r.t);
        QCOMPARE(finished, 1);
        QCOMPARE(r.t.dialogs.Messages().size(), 1);
        const QString message = r.t.dialogs.Messages().first();
        QVERIFY2(
            message.startsWith(QStringLiteral("PDFファイルを書き込めなかったため、印刷を中止しました。")) &&
                message.contains(QStringLiteral("エラー番号=28")),
            qPrintable(message));
        QCOMPARE(fs.Entries(), QStringList());
    }
};

QTEST_MAIN(CardPrintingTest)
#include "cardprinting_test.moc"
