// Import of tables. The first byte picks what the rest is:
//   0  a text file: it reads without harm and within the bounds of a kept table, and the same text
//      split into pieces anywhere (the second byte says how small) gives the same table;
//   1  the XML of a workbook part: the scanner ends, and when it finds no problem its elements nest;
//   2  a cell: written as the export writes it and read back, it is the same cell.

#include "core/transfer/delimitedtext.h"
#include "core/transfer/importsource.h"
#include "core/transfer/rostercsv.h"
#include "core/transfer/xmlscanner.h"
#include "fuzzcheck.h"

#include <cstdint>

namespace {

QString rowsOf(const SourceTable& table) {
    QString out;
    for (const SourceTable::Row& r : table.Rows) {
        out += QString::number(r.Number) + u':' + r.Cells.join(u'|') + u'\n';
    }
    return out;
}

void textFile(const QByteArray& bytes, int piece) {
    ImportSource source;
    QString error;
    if (source.LoadBytes(bytes, QStringLiteral("x.csv"), error)) {
        const SourceTable& t = source.Table();
        if (t.Width > kMaxSourceColumns || t.Rows.size() > kMaxKeptRows || t.Width > t.FileWidth) {
            fuzz::Fail("a table beyond its bounds",
                       std::to_string(t.Rows.size()) + " rows, " + std::to_string(t.Width) + " columns");
        }
        for (const SourceTable::Row& r : t.Rows) {
            for (const QString& cell : r.Cells) {
                if (cell.size() > kMaxCellLength) {
                    fuzz::Fail("a cell beyond its length", fuzz::Escaped(cell));
                }
            }
        }
    }
    const QString text = QString::fromUtf8(bytes);
    const QString whole = rowsOf(ParseDelimited(text, u','));
    SourceTable pieces;
    DelimitedTableReader reader(u',', pieces);
    for (qsizetype i = 0; i < text.size(); i += piece) {
        reader.Feed(QStringView(text).sliced(i, std::min<qsizetype>(piece, text.size() - i)));
    }
    reader.Finish();
    if (rowsOf(pieces) != whole) {
        fuzz::Fail("text in pieces gives another table", "pieces of " + std::to_string(piece) +
                                                             "\nwhole:  " + fuzz::Escaped(whole) +
                                                             "\npieces: " + fuzz::Escaped(rowsOf(pieces)));
    }
}

void xml(const QByteArray& bytes) {
    XmlScanner scanner(bytes);
    int depth = 0;
    qsizetype tokens = 0;
    for (XmlScanner::Token t = scanner.Next(); t != XmlScanner::Token::End && t != XmlScanner::Token::Invalid;
         t = scanner.Next()) {
        depth += t == XmlScanner::Token::StartElement ? 1 : t == XmlScanner::Token::EndElement ? -1 : 0;
        if (depth < 0 || ++tokens > bytes.size() + 1) {
            fuzz::Fail("the scanner goes astray",
                       "depth " + std::to_string(depth) + " after " + std::to_string(tokens) + " tokens");
        }
        QString text;
        scanner.AppendText(text, 64);
    }
    if (scanner.Error() == XmlScanner::Problem::None && depth != 0) {
        fuzz::Fail("elements left open without a problem", "depth " + std::to_string(depth));
    }
}

void cell(const QByteArray& bytes) {
    const QString cell = QString::fromUtf8(bytes).left(kMaxCellLength);
    const SourceTable read = ParseDelimited(CsvField(cell) + QStringLiteral(",x\r\n"), u',');
    const QString back = read.Rows.isEmpty() ? QString() : read.Cell(0, 0);
    if (back != cell) {
        fuzz::Fail("an exported cell reads back as another",
                   "cell:    " + fuzz::Escaped(cell) + "\nwritten: " + fuzz::Escaped(CsvField(cell)) +
                       "\nread:    " + fuzz::Escaped(back));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 2, static_cast<qsizetype>(size) - 2);
    switch (data[0] % 3) {
    case 0:
        textFile(bytes, data[1] % 8 + 1);
        break;
    case 1:
        xml(bytes);
        break;
    default:
        cell(bytes);
        break;
    }
    return 0;
}
