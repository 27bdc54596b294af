#include "core/transfer/importsource.h"
#include "core/transfer/xlsxnumberformat.h"
#include "core/transfer/xlsxreader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <tuple>
#include <zip.h>

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The kept rows as "number: cell|cell".
QStringList rowsOf(const SourceTable& table) {
    QStringList out;
    for (const SourceTable::Row& r : table.Rows) {
        out.append(QStringLiteral("%1: ").arg(r.Number) + r.Cells.join(u'|'));
    }
    return out;
}

// A workbook made part by part from tests/data/transfer/made_book, for what spreadsheet writers
// rarely do; its first sheet hidden or not, in either date system.
using Parts = std::map<QString, QByteArray>;

Parts madeParts(bool date1904 = false, const char* firstState = R"(state="hidden")") {
    Parts parts;
    const QDir folder(QStringLiteral(MIRDA_TEST_DATA "/transfer/made_book"));
    for (QDirIterator it(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        parts[folder.relativeFilePath(path)] =
            readFile(path).replace("DATE1904", date1904 ? "date1904=\"1\"" : "").replace("STATE", firstState);
    }
    return parts;
}

QByteArray zipOf(const Parts& parts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("made.xlsx"));
    int error = 0;
    zip_t* zip = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(zip, nullptr);
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(zip, bytes.constData(), bytes.size(), 0);
        EXPECT_GE(zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8), 0)
            << name.toStdString();
    }
    EXPECT_EQ(zip_close(zip), 0);
    return readFile(path);
}

// Rich and phonetic shared strings, styles, cells without references, in either date system; the
// first visible sheet is read.
TEST(MadeWorkbook, FollowsTheWorkbook) {
    for (const bool date1904 : {false, true}) {
        const QString date = date1904 ? QStringLiteral("1990/04/01") : QStringLiteral("1986/03/31");
        SourceTable table;
        QString error;
        ASSERT_TRUE(ReadXlsx(zipOf(madeParts(date1904)), table, error)) << error.toStdString();
        EXPECT_EQ(rowsOf(table), QStringList({QStringLiteral("1: 氏名|誕生日||xy"),
                                              QStringLiteral("3: 佐藤 一郎|%1|%1 18:00|2.50|FALSE").arg(date),
                                              QStringLiteral("4: 一行目\r\n二行目||#N/A")}));
    }
    SourceTable table;
    QString error;
    ASSERT_TRUE(ReadXlsx(zipOf(madeParts(false, "")), table, error)) << error.toStdString();
    EXPECT_EQ(rowsOf(table), QStringList{QStringLiteral("1: これではない")});
}

QByteArray withPart(const char* name, const QByteArray& bytes) {
    Parts parts = madeParts();
    parts[QString::fromUtf8(name)] = bytes;
    return zipOf(parts);
}

// What is no workbook, or one that cannot be read, is refused saying why, and no row is kept.
TEST(RefusedWorkbook, SaysWhy) {
    Parts noSheet = madeParts();
    noSheet.erase(QStringLiteral("xl/worksheets/sheet2.xml"));
    // 200 KB of a sheet that packs to almost nothing.
    const QByteArray bomb = R"(<worksheet><sheetData><row r="1"><c t="inlineStr"><is><t>)" +
                            QByteArray(200 * 1024, 'A') + "</t></is></c></row></sheetData></worksheet>";
    const std::tuple<QByteArray, const char16_t*, qint64> cases[] = {
        {QByteArrayLiteral("氏名,所属\r\n"), u"XLSX 形式", kXlsxMaxPartBytes},
        {QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"), u".xls",
         kXlsxMaxPartBytes}, // an old binary book
        {zipOf(noSheet), u"xl/worksheets/sheet2.xml", kXlsxMaxPartBytes},
        {withPart("xl/worksheets/sheet2.xml", "<worksheet><row>"), u"壊れています", kXlsxMaxPartBytes},
        {withPart("xl/worksheets/sheet2.xml",
                  R"(<worksheet><sheetData><row><c r="ZZZZ1"><v>1</v></c></row></sheetData></worksheet>)"),
         u"壊れています", kXlsxMaxPartBytes}, // a reference beyond the last column
        {withPart("xl/worksheets/sheet2.xml", bomb), u"大きすぎます", 100 * 1024},
    };
    for (const auto& [bytes, message, cap] : cases) {
        SourceTable table;
        table.Rows.append({1, QStringList{QStringLiteral("stale")}});
        QString error;
        EXPECT_FALSE(ReadXlsx(bytes, table, error, {}, cap));
        EXPECT_TRUE(error.contains(QStringView(message))) << error.toStdString();
        EXPECT_TRUE(table.Rows.isEmpty()) << error.toStdString();
    }
}

// Sheets as XML, from tests/data/transfer/sheet_xml.txt: a sheet's rows, and the first row read
// or the first line of the error.
TEST(SheetXml, ReadsOrRefuses) {
    for (const QByteArray& line :
         readFile(QStringLiteral(MIRDA_TEST_DATA "/transfer/sheet_xml.txt")).split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QList<QByteArray> fields = line.split('\t');
        SourceTable table;
        QString error;
        const bool read =
            ReadXlsx(withPart("xl/worksheets/sheet2.xml",
                              "<?xml version=\"1.0\"?><!-- a sheet --><x:worksheet xmlns:x=\"m\">"
                              "<x:sheetData>" +
                                  fields.at(0) + "</x:sheetData></x:worksheet>"),
                     table, error);
        EXPECT_EQ(read ? rowsOf(table).value(0) : error.section(u'\r', 0, 0),
                  QString::fromUtf8(fields.value(1)))
            << line.toStdString();
    }
}

TEST(ImportSource, TellsWorkbooksByTheirBytes) {
    const QByteArray book = readFile(QStringLiteral(MIRDA_TEST_DATA "/transfer/written_shared.xlsx"));
    ImportSource source;
    QString error;
    ASSERT_TRUE(source.LoadBytes(book, QStringLiteral("名簿.csv"), error)) << error.toStdString();
    EXPECT_EQ(source.SourceKind(), ImportSource::Kind::Workbook);
    EXPECT_EQ(source.Table().Cell(1, 0), QStringLiteral("山田 太郎"));
    // A text file named .xlsx gets the workbook's refusal, not a table of its text.
    EXPECT_FALSE(source.LoadBytes(QByteArrayLiteral("a,b\r\n"), QStringLiteral("x.xlsx"), error));
    EXPECT_TRUE(error.contains(QStringLiteral("XLSX"))) << error.toStdString();
}

// Workbooks small on disk and large in memory: what is kept stays bounded, the rest is counted.
QByteArray inlineCell(const QByteArray& ref, const QByteArray& text) {
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

TEST(HostileWorkbook, CellsFarOutAreCountedNotKept) {
    QByteArray sheet = "<worksheet><sheetData><row r=\"1\">" + inlineCell("A1", "氏名") + "</row>";
    for (int r = 2; r <= 20001; ++r) {
        const QByteArray n = QByteArray::number(r);
        sheet += "<row r=\"" + n + "\">" + inlineCell("A" + n, "参加者") + "<c r=\"XFD" + n +
                 "\" t=\"b\"><v>1</v></c></row>";
    }
    SourceTable table;
    QString error;
    ASSERT_TRUE(
        ReadXlsx(withPart("xl/worksheets/sheet2.xml", sheet + "</sheetData></worksheet>"), table, error))
        << error.toStdString();
    EXPECT_EQ(table.FileWidth, 16384);
    EXPECT_EQ(table.Width, kMaxSourceColumns);
    EXPECT_EQ(table.Rows.size(), kMaxKeptRows);
    EXPECT_TRUE(
        std::all_of(table.Rows.begin(), table.Rows.end(), [](const auto& r) { return r.Cells.size() == 1; }));
    EXPECT_EQ(table.FirstLaterRow, kMaxKeptRows + 1);
    EXPECT_EQ(table.LaterRows, 20001 - kMaxKeptRows);
    EXPECT_EQ(table.LaterCellsIn(0), 20001 - kMaxKeptRows);
}

TEST(HostileWorkbook, AHugeSharedStringIsCutWhereItIs) {
    const QByteArray strings =
        "<sst><si><t>氏名</t></si><si><t>" + QByteArray(4 << 20, 'x') + "</t></si></sst>";
    const QByteArray sheet = R"(<worksheet><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c></row>
<row r="7"><c r="B7" t="s"><v>1</v></c></row></sheetData></worksheet>)";
    Parts parts = madeParts();
    parts[QStringLiteral("xl/sharedStrings.xml")] = strings;
    parts[QStringLiteral("xl/worksheets/sheet2.xml")] = sheet;
    SourceTable table;
    QString error;
    ASSERT_TRUE(ReadXlsx(zipOf(parts), table, error)) << error.toStdString();
    EXPECT_EQ(table.Cell(1, 1), QString(kMaxCellLength, u'x'));
    EXPECT_EQ(table.CutCount, 1);
    EXPECT_TRUE(table.IsCut(7, 1));
}

TEST(HostileWorkbook, MergedRangesFillDownWithinBounds) {
    // One range reaching down the whole sheet (not filled), two of a department each.
    QByteArray sheet = "<worksheet><sheetData><row r=\"1\">" + inlineCell("A1", "所属") +
                       inlineCell("B1", "氏名") + inlineCell("C1", "メモ") + "</row>";
    for (int r = 2; r <= 7000; ++r) {
        const QByteArray n = QByteArray::number(r);
        sheet += "<row r=\"" + n + "\">" + (r == 2 || r == 6990 ? inlineCell("A" + n, "部") : QByteArray()) +
                 inlineCell("B" + n, "人") + "</row>";
    }
    sheet += R"(</sheetData><mergeCells><mergeCell ref="C1:C1048576"/><mergeCell ref="A2:A3"/>
<mergeCell ref="A6990:A7005"/></mergeCells></worksheet>)";
    SourceTable table;
    QString error;
    ASSERT_TRUE(ReadXlsx(withPart("xl/worksheets/sheet2.xml", sheet), table, error)) << error.toStdString();
    EXPECT_EQ(table.Cell(2, 0), QStringLiteral("部"));
    EXPECT_EQ(table.Cell(3, 0), QString());
    EXPECT_EQ(table.Width, 3);
    EXPECT_EQ(table.LaterCellsIn(2), 0);
    EXPECT_EQ(table.LaterRows, 7005 - kMaxKeptRows); // rows 7001-7005 hold only the merged value
    EXPECT_EQ(table.LaterCellsIn(0), 16);
    EXPECT_EQ(table.LaterCellsIn(1), 7000 - kMaxKeptRows);
}

// Number formats, from tests/data/transfer/number_formats.txt: format id, code, number, date
// system, and the text shown.
TEST(NumberFormat, ShowsTheNumberAsTheSpreadsheetDoes) {
    const QString table =
        QString::fromUtf8(readFile(QStringLiteral(MIRDA_TEST_DATA "/transfer/number_formats.txt")));
    for (const QString& line : table.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u'\t');
        if (line.startsWith(u'#') || f.size() != 5) {
            continue;
        }
        const XlsxNumberFormat format = ClassifyNumberFormat(f.at(0).toInt(), f.at(1));
        EXPECT_EQ(FormatXlsxNumber(f.at(2).toDouble(), format, f.at(3) == u"1904"), f.at(4))
            << line.toStdString();
    }
}

} // namespace
