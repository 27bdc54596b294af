// Import and export of participants: reading a full roster's worth of rows from CSV and XLSX,
// working out the import plan (with the CP932 check of every cell) and writing the CSV export.
#include "core/programstate.h"
#include "core/transfer/importplan.h"
#include "core/transfer/importsource.h"
#include "core/transfer/rostercsv.h"

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <zip.h>

namespace {

constexpr int kRows = 300;

QString csvText(int rows) {
    QString text = QStringLiteral("氏名,生年月日,血液型,出身地,所属,コメント,好きな曲,写真\r\n");
    for (int r = 1; r <= rows; ++r) {
        text +=
            QStringLiteral(
                "参加者 %1 髙橋,1985/%2/%3,AB,神奈川県,\"第二営業部, 企画課\","
                "\"今日は「よろしく」お願いします。\"\"楽しみ\"\"にしていました！\",SONG%1.MP3,P%1.JPG\r\n")
                .arg(r)
                .arg(r % 12 + 1)
                .arg(r % 28 + 1);
    }
    return text;
}

QByteArray cp932(const QString& text) {
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

// A workbook of the same rows, strings shared as spreadsheet programs store them.
QByteArray workbook(int rows) {
    QByteArray strings = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    QByteArray sheet =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    int index = 0;
    const auto cell = [&](const QString& text) {
        strings += "<si><t>" + text.toHtmlEscaped().toUtf8() + "</t></si>";
        sheet += "<c t=\"s\"><v>" + QByteArray::number(index++) + "</v></c>";
    };
    for (int r = 0; r <= rows; ++r) {
        sheet += "<row>";
        if (r == 0) {
            for (const char* h : {"氏名", "生年月日", "血液型", "出身地", "所属", "コメント"}) {
                cell(QString::fromUtf8(h));
            }
        } else {
            cell(QStringLiteral("参加者 %1 髙橋").arg(r));
            sheet += "<c s=\"1\"><v>" + QByteArray::number(31000 + r) + "</v></c>";
            cell(QStringLiteral("AB"));
            cell(QStringLiteral("神奈川県"));
            cell(QStringLiteral("第二営業部 企画課"));
            cell(QStringLiteral("今日はよろしくお願いします。楽しみにしていました！"));
        }
        sheet += "</row>";
    }
    strings += "</sst>";
    sheet += "</sheetData></worksheet>";
    const QByteArray workbookXml =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
        "<sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    const QByteArray rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "sharedStrings\" Target=\"sharedStrings.xml\"/>"
        "<Relationship Id=\"rId3\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "styles\" Target=\"styles.xml\"/></Relationships>";
    const QByteArray styles =
        "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.xlsx"));
    int error = 0;
    zip_t* zip = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    const std::pair<const char*, const QByteArray*> parts[] = {{"xl/workbook.xml", &workbookXml},
                                                               {"xl/_rels/workbook.xml.rels", &rels},
                                                               {"xl/styles.xml", &styles},
                                                               {"xl/sharedStrings.xml", &strings},
                                                               {"xl/worksheets/sheet1.xml", &sheet}};
    for (const auto& [name, bytes] : parts) {
        zip_file_add(zip, name, zip_source_buffer(zip, bytes->constData(), bytes->size(), 0), 0);
    }
    zip_close(zip);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void BM_ReadCsv(benchmark::State& state) {
    const QByteArray bytes = cp932(csvText(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        ImportSource source;
        QString error;
        benchmark::DoNotOptimize(source.LoadBytes(bytes, QStringLiteral("a.csv"), error));
    }
}
BENCHMARK(BM_ReadCsv)->Arg(kRows)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ReadXlsx(benchmark::State& state) {
    const QByteArray bytes = workbook(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ImportSource source;
        QString error;
        if (!source.LoadBytes(bytes, QStringLiteral("a.xlsx"), error) ||
            source.Table().Rows.size() + source.Table().LaterRows != state.range(0) + 1) {
            state.SkipWithError("the workbook was not read");
            break;
        }
    }
}
BENCHMARK(BM_ReadXlsx)->Arg(kRows)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ImportPlan(benchmark::State& state) {
    ImportSource source;
    QString error;
    source.LoadBytes(cp932(csvText(kRows)), QStringLiteral("a.csv"), error);
    RosterTable roster;
    roster.Clear();
    ImportOptions options;
    options.HeaderRow = 1;
    options.Mapping = GuessMapping(source.Table().Rows.first().Cells, roster);
    for (auto _ : state) {
        const ImportPlan plan(source.Table(), options, roster, TextEncoding::Cp932);
        benchmark::DoNotOptimize(plan.Fitting());
    }
}
BENCHMARK(BM_ImportPlan)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    ImportSource source;
    QString error;
    source.LoadBytes(cp932(csvText(kRows)), QStringLiteral("a.csv"), error);
    ProgramState program;
    program.Roster.Clear();
    ImportOptions options;
    options.HeaderRow = 1;
    options.Mapping = GuessMapping(source.Table().Rows.first().Cells, program.Roster);
    ImportPlan(source.Table(), options, program.Roster, TextEncoding::Cp932).Apply(program);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        benchmark::DoNotOptimize(WriteRosterCsv(buffer, program.Roster));
    }
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
