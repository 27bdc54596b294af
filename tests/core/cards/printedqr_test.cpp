#include "core/cards/cardrenderer.h"
#include "support/fakes.h"

#include <QDir>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// 300 numbered cards with their QR codes written to a PDF as a run writes it (the default layout,
// 1200 dpi), rendered at 150 dpi: every code is read back and names its own card's page.
TEST(PrintedQrCodes, EveryCodeOfThreeHundredCardsIsReadFromA150DpiRendering) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()) {
        GTEST_SKIP() << "pdftoppm (poppler-utils) and zbarimg (zbar-tools) are needed to read the codes";
    }
    // Names are measured and drawn with the system's fonts.
    int argc = 1;
    char name[] = "cards";
    char* argv[] = {name, nullptr};
    const std::unique_ptr<QGuiApplication> app =
        QCoreApplication::instance() ? nullptr : std::make_unique<QGuiApplication>(argc, argv);
    RosterTable roster;
    roster.Clear();
    for (int row = 1; row <= 40; ++row) {
        roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
    }
    CardRunValues values;
    values.Mode = CardMode::Normal;
    values.Sheets = static_cast<qint16>(300 / values.Layout().CardsPerSheet);
    ClockSeededFractions random(5);
    RecordingMessages messages;
    CardSheetPrinter sheets(values, roster, QString(), random, messages);
    CardMarks marks;
    marks.Numbered = true;
    marks.PhoneAddress = QStringLiteral("192.168.100.200:50080"); // the longest address there is
    sheets.SetMarks(marks);
    sheets.Renderer().SetGridLineWidth(kPdfGridLineMm);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                         QPageLayout::Millimeter));
        QPainter painter(&writer);
        while (!sheets.Finished()) {
            if (sheets.SheetsDrawn() > 0) {
                writer.newPage();
            }
            sheets.DrawNextSheet(painter);
        }
    }
    QStringList expected;
    for (const RecordedCard& card : sheets.NumberedCards()) {
        expected << CardPageUrl(card.PhoneAddress, card.Token);
    }
    ASSERT_EQ(expected.size(), 300);

    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-gray"),
                  QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(render.waitForFinished(300000));
    QStringList pages;
    for (const QString& name : QDir(dir.path()).entryList({QStringLiteral("page*.png")})) {
        pages << dir.filePath(name);
    }
    ASSERT_EQ(pages.size(), values.Sheets);
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), QStringList{QStringLiteral("--raw"), QStringLiteral("-q")} + pages);
    ASSERT_TRUE(zbar.waitForFinished(300000));
    const QStringList read = QString::fromUtf8(zbar.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QStringList missed;
    for (const QString& url : expected) {
        if (!read.contains(url)) {
            missed << url;
        }
    }
    EXPECT_EQ(read.size(), expected.size());
    EXPECT_TRUE(missed.isEmpty()) << missed.size() << " not read, such as " << missed.value(0).toStdString();
}

} // namespace
