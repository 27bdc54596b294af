#include "core/transfer/importsource.h"
#include "core/transfer/xlsxnumberformat.h"
#include "core/transfer/xlsxreader.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>
#include <xlsxwriter.h>
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

// A workbook as a spreadsheet program writes it: shared strings (or, in constant-memory mode,
// inline strings), numbers, a rich string, a boolean, dates in a custom and a built-in format, an
// empty row, a cell far out at AA10, and a second sheet that must not be read.
QByteArray writtenWorkbook(const QString& path, bool constantMemory) {
    lxw_workbook_options options = {constantMemory ? LXW_TRUE : LXW_FALSE, nullptr, LXW_FALSE};
    lxw_workbook* book = workbook_new_opt(path.toUtf8().constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "名簿");
    workbook_add_worksheet(book, "メモ");
    lxw_format* japaneseDate = workbook_add_format(book);
    format_set_num_format(japaneseDate, "yyyy\"年\"m\"月\"d\"日\"");
    lxw_format* builtInDate = workbook_add_format(book);
    format_set_num_format_index(builtInDate, 14);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);

    const char* header[] = {"氏名", "生年月日", "再生時間", "比率", "除外"};
    for (lxw_col_t c = 0; c < 5; ++c) {
        worksheet_write_string(sheet, 0, c, header[c], nullptr);
    }
    lxw_rich_string_tuple first = {bold, const_cast<char*>("山田")};
    lxw_rich_string_tuple second = {nullptr, const_cast<char*>(" 太郎")};
    lxw_rich_string_tuple* rich[] = {&first, &second, nullptr};
    worksheet_write_rich_string(sheet, 1, 0, rich, nullptr);
    lxw_datetime birthday = {1990, 4, 1, 0, 0, 0};
    worksheet_write_datetime(sheet, 1, 1, &birthday, japaneseDate);
    worksheet_write_number(sheet, 1, 2, 20, nullptr);
    worksheet_write_number(sheet, 1, 3, 0.125, nullptr);
    worksheet_write_boolean(sheet, 1, 4, 1, nullptr);
    // row 3 (index 2) stays empty
    worksheet_write_string(sheet, 3, 0, "川口 花子", nullptr);
    lxw_datetime leap = {2024, 2, 29, 0, 0, 0};
    worksheet_write_datetime(sheet, 3, 1, &leap, builtInDate);
    worksheet_write_number(sheet, 3, 2, 1234567, nullptr);
    worksheet_write_string(sheet, 9, 26, "遠く", nullptr);
    EXPECT_EQ(workbook_close(book), LXW_NO_ERROR);
    return readFile(path);
}

class WrittenWorkbookTest : public testing::TestWithParam<bool> {};

TEST_P(WrittenWorkbookTest, ReadsTheFirstSheetAsShown) {
    QTemporaryDir dir;
    const QByteArray bytes = writtenWorkbook(dir.filePath(QStringLiteral("book.xlsx")), GetParam());
    SourceTable table;
    QString error;
    ASSERT_TRUE(ReadXlsx(bytes, table, error)) << error.toStdString();
    EXPECT_EQ(rowsOf(table), QStringList({QStringLiteral("1: 氏名|生年月日|再生時間|比率|除外"),
                                          QStringLiteral("2: 山田 太郎|1990/04/01|20|0.125|TRUE"),
                                          QStringLiteral("4: 川口 花子|2024/02/29|1234567"),
                                          QStringLiteral("10: ||||||||||||||||||||||||||遠く")}));
    EXPECT_EQ(table.Width, 27); // AA is the 27th column
}

INSTANTIATE_TEST_SUITE_P(SharedAndInlineStrings, WrittenWorkbookTest, testing::Values(false, true));

// A workbook made part by part, for what spreadsheet writers rarely do.
QByteArray zipOf(const std::vector<std::pair<const char*, QByteArray>>& parts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("made.xlsx"));
    int error = 0;
    zip_t* zip = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(zip, nullptr);
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(zip, bytes.constData(), bytes.size(), 0);
        EXPECT_GE(zip_file_add(zip, name, source, ZIP_FL_ENC_UTF_8), 0) << name;
    }
    EXPECT_EQ(zip_close(zip), 0);
    return readFile(path);
}

const QByteArray kRootRels = R"(<?xml version="1.0"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>)";

const QByteArray kWorkbookRels = R"(<?xml version="1.0"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet2.xml"/>
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>
</Relationships>)";

// Sheet order: the sheet named first in the workbook is rId7 (sheet2.xml), not sheet1.xml.
QByteArray workbookXml(bool date1904, const char* firstState = "") {
    return QByteArray(R"(<?xml version="1.0"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<workbookPr)") +
           (date1904 ? " date1904=\"1\"" : "") + R"(/><sheets>
<sheet name="hidden" sheetId="9" r:id="rId1")" +
           firstState + R"(/>
<sheet name="表" sheetId="1" r:id="rId7"/>
</sheets></workbook>)";
}

const QByteArray kSharedStrings = R"(<?xml version="1.0"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3" uniqueCount="3">
<si><t>氏名</t></si>
<si><r><rPr><b/></rPr><t>佐藤</t></r><r><t xml:space="preserve"> 一郎</t></r><rPh sb="0" eb="2"><t>サトウ</t></rPh><phoneticPr fontId="1"/></si>
<si><t>一行目_x000D_
二行目</t></si>
</sst>)";

const QByteArray kStyles = R"(<?xml version="1.0"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="1"><numFmt numFmtId="176" formatCode="[$-411]ggge&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/></numFmts>
<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>
<cellXfs count="4"><xf numFmtId="0"/><xf numFmtId="176"/><xf numFmtId="22"/><xf numFmtId="2"/></cellXfs>
</styleSheet>)";

const QByteArray kSheet1 = R"(<?xml version="1.0"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
<row r="1"><c r="A1" t="inlineStr"><is><t>これではない</t></is></c></row></sheetData></worksheet>)";

// Cells without references follow the previous one; row 2 is missing; a formula keeps its value.
const QByteArray kSheet2 = R"(<?xml version="1.0"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
<row r="1"><c r="A1" t="s"><v>0</v></c><c t="inlineStr"><is><t>誕生日</t></is></c><c r="D1" t="str"><f>"x"&amp;"y"</f><v>xy</v></c></row>
<row r="3"><c t="s"><v>1</v></c><c s="1"><v>31502</v></c><c s="2"><v>31502.75</v></c><c s="3"><v>2.5</v></c><c t="b"><v>0</v></c></row>
<row><c r="A4" t="s"><v>2</v></c><c r="C4" t="e"><v>#N/A</v></c></row>
</sheetData></worksheet>)";

std::vector<std::pair<const char*, QByteArray>> madeParts(bool date1904, const char* firstState) {
    return {{"_rels/.rels", kRootRels},
            {"xl/workbook.xml", workbookXml(date1904, firstState)},
            {"xl/_rels/workbook.xml.rels", kWorkbookRels},
            {"xl/sharedStrings.xml", kSharedStrings},
            {"xl/styles.xml", kStyles},
            {"xl/worksheets/sheet1.xml", kSheet1},
            {"xl/worksheets/sheet2.xml", kSheet2}};
}

struct MadeCase {
    const char* what;
    bool date1904;
    const char* firstState; // of the sheet listed first
    const char16_t* date;
    const char16_t* dateTime;
};

class MadeWorkbookTest : public testing::TestWithParam<MadeCase> {};

TEST_P(MadeWorkbookTest, FollowsTheWorkbook) {
    const MadeCase& c = GetParam();
    SourceTable table;
    QString error;
    ASSERT_TRUE(ReadXlsx(zipOf(madeParts(c.date1904, c.firstState)), table, error)) << error.toStdString();
    EXPECT_EQ(rowsOf(table),
              QStringList({QStringLiteral("1: 氏名|誕生日||xy"),
                           QStringLiteral("3: 佐藤 一郎|%1|%2|2.50|FALSE")
                               .arg(QString::fromUtf16(c.date), QString::fromUtf16(c.dateTime)),
                           QStringLiteral("4: 一行目\r\n二行目||#N/A")}))
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(DateSystems, MadeWorkbookTest,
                         testing::Values(MadeCase{"1904 system, first sheet hidden", true,
                                                  R"( state="hidden")", u"1990/04/01", u"1990/04/01 18:00"},
                                         MadeCase{"1900 system, first sheet hidden", false,
                                                  R"( state="hidden")", u"1986/03/31", u"1986/03/31 18:00"}));

TEST(MadeWorkbook, TheFirstVisibleSheetIsTheFirstListed) {
    SourceTable table;
    QString error;
    ASSERT_TRUE(ReadXlsx(zipOf(madeParts(false, "")), table, error)) << error.toStdString();
    EXPECT_EQ(rowsOf(table), QStringList{QStringLiteral("1: これではない")});
}

struct RefusalCase {
    const char* what;
    QByteArray bytes;
    const char16_t* message; // a part of the error text
    qint64 cap;
};

class RefusedWorkbookTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedWorkbookTest, SaysWhy) {
    const RefusalCase& c = GetParam();
    SourceTable table;
    table.Rows.append({1, QStringList{QStringLiteral("stale")}});
    QString error;
    EXPECT_FALSE(ReadXlsx(c.bytes, table, error, {}, c.cap)) << c.what;
    EXPECT_TRUE(error.contains(QStringView(c.message))) << c.what << ": " << error.toStdString();
    EXPECT_TRUE(table.Rows.isEmpty()) << c.what;
}

QByteArray withPart(const char* name, const QByteArray& bytes) {
    auto parts = madeParts(false, R"( state="hidden")");
    for (auto& part : parts) {
        if (qstrcmp(part.first, name) == 0) {
            part.second = bytes;
        }
    }
    return zipOf(parts);
}

QByteArray without(const char* name) {
    auto parts = madeParts(false, R"( state="hidden")");
    std::erase_if(parts, [&](const auto& part) { return qstrcmp(part.first, name) == 0; });
    return zipOf(parts);
}

// 200 KB of a sheet that packs to almost nothing.
QByteArray bomb() {
    return QByteArray(R"(<worksheet><sheetData><row r="1"><c t="inlineStr"><is><t>)") +
           QByteArray(200 * 1024, 'A') + QByteArray("</t></is></c></row></sheetData></worksheet>");
}

INSTANTIATE_TEST_SUITE_P(
    NotWorkbooks, RefusedWorkbookTest,
    testing::Values(
        RefusalCase{"text", QByteArrayLiteral("氏名,所属\r\n"), u"XLSX 形式", kXlsxMaxPartBytes},
        RefusalCase{"an old binary workbook", QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"), u".xls",
                    kXlsxMaxPartBytes},
        RefusalCase{"no worksheet part", without("xl/worksheets/sheet2.xml"), u"xl/worksheets/sheet2.xml",
                    kXlsxMaxPartBytes},
        RefusalCase{"broken sheet XML", withPart("xl/worksheets/sheet2.xml", "<worksheet><row>"),
                    u"壊れています", kXlsxMaxPartBytes},
        RefusalCase{
            "a reference beyond the last column",
            withPart("xl/worksheets/sheet2.xml",
                     R"(<worksheet><sheetData><row><c r="ZZZZ1"><v>1</v></c></row></sheetData></worksheet>)"),
            u"壊れています", kXlsxMaxPartBytes},
        RefusalCase{"a part that unpacks beyond the cap", withPart("xl/worksheets/sheet2.xml", bomb()),
                    u"大きすぎます", 100 * 1024}));

// What a sheet may hold as XML: entities and character references, CDATA, comments, prefixes and
// single quotes read as text; what no workbook holds is refused.
struct SheetXmlCase {
    const char* what;
    QByteArray body;          // inside <sheetData>
    const char16_t* expected; // the first row, or a part of the error
};

class SheetXmlTest : public testing::TestWithParam<SheetXmlCase> {};

TEST_P(SheetXmlTest, ReadsOrRefuses) {
    const SheetXmlCase& c = GetParam();
    SourceTable table;
    QString error;
    const bool read =
        ReadXlsx(withPart("xl/worksheets/sheet2.xml", "<?xml version=\"1.0\"?><!-- a sheet -->"
                                                      "<x:worksheet xmlns:x=\"m\"><x:sheetData>" +
                                                          c.body + "</x:sheetData></x:worksheet>"),
                 table, error);
    EXPECT_EQ(read ? rowsOf(table).value(0) : error.section(u'\r', 0, 0), QString::fromUtf16(c.expected))
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Xml, SheetXmlTest,
    testing::Values(
        SheetXmlCase{
            "entities",
            R"(<x:row r='1'><x:c t="inlineStr"><x:is><x:t>A&amp;B&lt;&#x41;&#12354;</x:t></x:is></x:c>
<x:c t="str"><x:v>&quot;&apos;</x:v></x:c></x:row>)",
            u"1: A&B<Aあ|\"'"},
        SheetXmlCase{
            "CDATA, comments, instructions",
            R"(<x:row><x:c t="inlineStr"><x:is><x:t><![CDATA[<b>&amp;]]><!-- no --><?pi x?>.</x:t></x:is></x:c></x:row>)",
            u"1: <b>&amp;."},
        SheetXmlCase{"an unknown entity",
                     R"(<x:row><x:c t="inlineStr"><x:is><x:t>&nbsp;</x:t></x:is></x:c></x:row>)",
                     u"ブックの xl/worksheets/sheet2.xml が壊れています（1 行目）。"},
        SheetXmlCase{"tags that do not nest", R"(<x:row><x:c></x:row></x:c>)",
                     u"ブックの xl/worksheets/sheet2.xml が壊れています（1 行目）。"},
        SheetXmlCase{"rows out of order", R"(<x:row r="2"/><x:row r="1"/>)",
                     u"ブックの xl/worksheets/sheet2.xml が壊れています（セルの位置が正しくありません）。"}));

TEST(ImportSource, TellsWorkbooksByTheirBytes) {
    QTemporaryDir dir;
    const QByteArray book = writtenWorkbook(dir.filePath(QStringLiteral("b.xlsx")), false);
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
    auto parts = madeParts(false, R"( state="hidden")");
    parts[3].second = strings;
    parts[6].second = sheet;
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

struct FormatCase {
    int id;
    const char* code;
    double value;
    bool date1904;
    const char16_t* shown;
};

class NumberFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatTest, ShowsTheNumberAsTheSpreadsheetDoes) {
    const FormatCase& c = GetParam();
    const XlsxNumberFormat format = ClassifyNumberFormat(c.id, QString::fromUtf8(c.code));
    EXPECT_EQ(FormatXlsxNumber(c.value, format, c.date1904), QString::fromUtf16(c.shown))
        << c.id << " " << c.code << " " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, NumberFormatTest,
    testing::Values(
        FormatCase{0, "", 1990, false, u"1990"}, FormatCase{0, "", -3, false, u"-3"},
        FormatCase{0, "", 12.5, false, u"12.5"}, FormatCase{0, "", 0.1 + 0.2, false, u"0.3"},
        FormatCase{0, "", 1e20, false, u"1e+20"}, FormatCase{0, "General", 7, false, u"7"},
        FormatCase{1, "", 3.6, false, u"4"}, FormatCase{1, "", -0.4, false, u"0"},
        FormatCase{2, "", 3.14159, false, u"3.14"}, FormatCase{3, "", 1234.4, false, u"1234"},
        FormatCase{9, "", 0.256, false, u"26%"}, FormatCase{10, "", 0.256, false, u"25.60%"},
        FormatCase{11, "", 12345, false, u"12345"},
        // Dates in the 1900 system, its fictitious 29 February included, and in the 1904 system.
        FormatCase{14, "", 32964, false, u"1990/04/01"}, FormatCase{14, "", 1, false, u"1900/01/01"},
        FormatCase{14, "", 59, false, u"1900/02/28"}, FormatCase{14, "", 60, false, u"1900/02/29"},
        FormatCase{14, "", 61, false, u"1900/03/01"}, FormatCase{15, "", 45351, false, u"2024/02/29"},
        FormatCase{14, "", 0, true, u"1904/01/01"}, FormatCase{14, "", 31502, true, u"1990/04/01"},
        FormatCase{22, "", 32964.5, false, u"1990/04/01 12:00"}, FormatCase{20, "", 0.75, false, u"18:00"},
        FormatCase{21, "", 0.5 + 1.0 / 86400, false, u"12:00:01"},
        FormatCase{31, "", 32964, false, u"1990/04/01"}, FormatCase{14, "", -1, false, u"-1"},
        // Custom codes: dates, times, fixed decimals; quoted text and brackets do not count.
        FormatCase{176, "yyyy\"年\"m\"月\"d\"日\"", 32964, false, u"1990/04/01"},
        FormatCase{176, "[$-411]ggge\"年\"m\"月\"d\"日\"", 32964, false, u"1990/04/01"},
        FormatCase{176, "mmm", 32964, false, u"1990/04/01"},
        FormatCase{176, "yyyy/mm/dd hh:mm:ss", 32964.25, false, u"1990/04/01 6:00:00"},
        FormatCase{176, "h:mm", 0.5, false, u"12:00"}, FormatCase{176, "[h]:mm:ss", 0.25, false, u"6:00:00"},
        FormatCase{176, "mm:ss", 1.0 / 1440, false, u"0:01:00"}, FormatCase{176, "0.0", 2.25, false, u"2.3"},
        FormatCase{176, "[Red]0.00;[Blue]-0.00", 1.5, false, u"1.50"},
        FormatCase{176, "\"day \"0", 5, false, u"5"}, FormatCase{176, "0.00E+00", 12345, false, u"12345"},
        FormatCase{176, "@", 42, false, u"42"}));

} // namespace
