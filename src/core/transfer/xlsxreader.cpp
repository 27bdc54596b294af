#include "core/transfer/xlsxreader.h"

#include "core/transfer/xlsxnumberformat.h"
#include "core/transfer/xmlscanner.h"

#include <QDir>
#include <QHash>
#include <algorithm>
#include <cctype>
#include <vector>
#include <zip.h>

namespace {

// The largest sheet a spreadsheet can make; references beyond it mark a broken file.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
// More cell formats than a spreadsheet allows are read as General.
constexpr size_t kMaxCellFormats = 65536;
// Cells filled from merged ranges, at most: ranges beyond (one reaching down the whole sheet is a
// slip) are left as they are.
constexpr qsizetype kMaxFilledCells = 100000;
// A shared string is kept up to the length a table keeps, and a little more to see it is longer.
constexpr qsizetype kStringCap = kMaxCellLength + 2;

const QString kSaveAgain =
    QStringLiteral("Excel などで開き、.xlsx 形式で保存し直してから取り込んでください。");

// Text in OOXML escapes characters XML cannot carry as _xHHHH_.
QString unescape(const QString& text) {
    if (!text.contains(QStringLiteral("_x"))) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text.at(i) == u'_' && i + 6 < n && text.at(i + 1) == u'x' && text.at(i + 6) == u'_') {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out.append(QChar(code));
                i += 6;
                continue;
            }
        }
        out.append(text.at(i));
    }
    return out;
}

// The text of a string item (<si> or <is>): its <t> elements, rich text runs included, without
// the phonetic guides (<rPh>) that Japanese spreadsheets add; cut a little beyond what a table
// keeps.
QString readStringItem(XmlScanner& xml) {
    QString text;
    for (int depth = 1; depth > 0;) {
        switch (xml.Next()) {
        case XmlScanner::Token::StartElement:
            if (xml.Name() == "rPh" || xml.Name() == "phoneticPr") {
                xml.SkipElement();
            } else if (xml.Name() == "t") {
                text += xml.ElementText(kStringCap - text.size());
            } else {
                ++depth;
            }
            break;
        case XmlScanner::Token::EndElement:
            --depth;
            break;
        case XmlScanner::Token::Text:
            break;
        default:
            return unescape(text);
        }
    }
    return unescape(text);
}

// Column and row of a reference such as "AA10" (0-based); -1 for what the reference leaves out.
bool parseReference(QByteArrayView ref, int& column, int& row) {
    column = -1;
    row = -1;
    qsizetype i = 0;
    qint64 c = 0;
    for (; i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])); ++i) {
        c = c * 26 + (std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
        if (c > kMaxColumns) {
            return false;
        }
    }
    if (i > 0) {
        column = static_cast<int>(c - 1);
    }
    if (i < ref.size()) {
        bool ok = false;
        const qlonglong r = ref.sliced(i).toLongLong(&ok);
        if (!ok || r < 1 || r > kMaxRows) {
            return false;
        }
        row = static_cast<int>(r - 1);
    }
    return true;
}

struct Relationship {
    QString type;
    QString target; // part name inside the archive
};

QString folderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

QString resolve(const QString& fromPart, const QString& target) {
    if (target.startsWith(u'/')) {
        return target.mid(1);
    }
    const QString folder = folderOf(fromPart);
    QString joined = folder.isEmpty() ? target : folder + u'/' + target;
    joined = QDir::cleanPath(joined);
    return joined.startsWith(QStringLiteral("./")) ? joined.mid(2) : joined;
}

QString relationshipsOf(const QString& part) {
    const QString folder = folderOf(part);
    const QString file = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") + file +
           QStringLiteral(".rels");
}

// A merged range, by 1-based rows; its value fills its first column.
struct Merge {
    qsizetype top = 0;
    qsizetype bottom = 0;
    int column = 0;
};

// A cell of the row being read.
struct PendingCell {
    int column = 0;
    QString text; // only while the table keeps rows
    bool blank = true;
};

// Fills merged ranges down as the rows of a sheet go by.
class MergeFill {
public:
    explicit MergeFill(std::vector<Merge> merges) : m_merges(std::move(merges)) {
        std::sort(m_merges.begin(), m_merges.end(),
                  [](const Merge& a, const Merge& b) { return a.top < b.top; });
    }

    bool Covers(qsizetype row) const {
        return std::any_of(m_active.begin(), m_active.end(),
                           [&](const Active& a) { return a.bottom >= row; });
    }
    qsizetype NextTop() const { return m_next < m_merges.size() ? m_merges[m_next].top : kMaxRows + 1; }

    // The row's cells as read; adds the values of the ranges that cover it.
    void Fill(qsizetype row, std::vector<PendingCell>& cells) {
        std::erase_if(m_active, [&](const Active& a) { return a.bottom < row; });
        for (const Active& a : m_active) {
            const auto own = std::find_if(cells.begin(), cells.end(),
                                          [&](const PendingCell& c) { return c.column == a.column; });
            if (own == cells.end() || own->blank) {
                if (own != cells.end()) {
                    cells.erase(own);
                }
                cells.push_back({a.column, a.text, false});
            }
        }
        for (; m_next < m_merges.size() && m_merges[m_next].top <= row; ++m_next) {
            const Merge& m = m_merges[m_next];
            if (m.top < row) {
                continue; // its first row is not in the sheet: nothing to fill
            }
            const auto value = std::find_if(cells.begin(), cells.end(),
                                            [&](const PendingCell& c) { return c.column == m.column; });
            if (value != cells.end() && !value->blank) {
                m_active.push_back({m.bottom, m.column, value->text});
            }
        }
    }

private:
    struct Active {
        qsizetype bottom;
        int column;
        QString text;
    };
    std::vector<Merge> m_merges;
    size_t m_next = 0;
    std::vector<Active> m_active;
};

class WorkbookReader {
public:
    WorkbookReader(qint64 cap, ProgressSpan progress, QString& error)
        : m_cap(cap), m_progress(progress), m_error(error) {}
    WorkbookReader(const WorkbookReader&) = delete;
    WorkbookReader& operator=(const WorkbookReader&) = delete;
    ~WorkbookReader() {
        if (m_zip) {
            zip_discard(m_zip);
        }
    }

    bool Read(const QByteArray& file, SourceTable& table) {
        if (file.isEmpty()) {
            m_error = QStringLiteral("ファイルが空です（0 バイト）。中身のあるブックを選んでください。");
            return false;
        }
        if (file.startsWith("\xD0\xCF\x11\xE0")) {
            m_error = QStringLiteral("古い形式（.xls）のブックか、パスワードで保護されたブックです。\r\n"
                                     "Excel で .xlsx 形式（パスワードなし）で保存し直してください。");
            return false;
        }
        if (!open(file)) {
            m_error = QStringLiteral("XLSX 形式のブックではありません。\r\n") + kSaveAgain;
            return false;
        }
        QString workbook = QStringLiteral("xl/workbook.xml");
        QHash<QString, Relationship> root;
        if (!readRelationships(QStringLiteral("_rels/.rels"), QString(), root, false)) {
            return false;
        }
        for (const Relationship& r : std::as_const(root)) {
            if (r.type.endsWith(QStringLiteral("/officeDocument"))) {
                workbook = r.target;
            }
        }
        if (zip_name_locate(m_zip, workbook.toUtf8().constData(), ZIP_FL_NOCASE) < 0) {
            m_error =
                QStringLiteral("XLSX 形式のブックではありません（%1 がありません）。\r\n").arg(workbook) +
                kSaveAgain;
            return false;
        }
        if (!readWorkbook(workbook)) {
            return false;
        }
        QHash<QString, Relationship> rels;
        if (!readRelationships(relationshipsOf(workbook), workbook, rels, true)) {
            return false;
        }
        QString sheet;
        for (const QString& id : std::as_const(m_sheetIds)) {
            const auto it = rels.constFind(id);
            if (it != rels.constEnd() && it->type.endsWith(QStringLiteral("/worksheet"))) {
                sheet = it->target;
                break;
            }
        }
        if (sheet.isEmpty()) {
            m_error = QStringLiteral("ブックにワークシートがありません。\r\n") + kSaveAgain;
            return false;
        }
        for (const Relationship& r : std::as_const(rels)) {
            if (r.type.endsWith(QStringLiteral("/sharedStrings")) && !readSharedStrings(r.target)) {
                return false;
            }
            if (r.type.endsWith(QStringLiteral("/styles")) && !readStyles(r.target)) {
                return false;
            }
        }
        std::vector<Merge> merges;
        if (!readSheet(sheet, table, nullptr, &merges, {m_progress.progress, share(0.3), share(1.0)})) {
            return false;
        }
        if (merges.empty()) {
            return true;
        }
        // Merged ranges come after the rows: read the rows again, filling the ranges down.
        MergeFill fill(std::move(merges));
        return readSheet(sheet, table, &fill, nullptr, {m_progress.progress, share(1.0), share(1.0)});
    }

private:
    double share(double fraction) const {
        return m_progress.from + (m_progress.to - m_progress.from) * fraction;
    }

    bool open(const QByteArray& bytes) {
        m_bytes = bytes;
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(m_bytes.constData(), m_bytes.size(), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip) {
                zip_source_free(source);
            }
        }
        zip_error_fini(&error);
        return m_zip != nullptr;
    }

    // Unpacks one part, refusing it once it grows beyond the cap (whatever the archive claims), and
    // reads it through parse(xml), checking what went wrong. A part that is not there is refused
    // when required and read as empty otherwise. Unpacking is the first tenth of the progress.
    template <typename Parse>
    bool readPart(const QString& name, bool required, ProgressSpan progress, Parse&& parse) {
        const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0) {
            if (required) {
                m_error = QStringLiteral("ブックの一部（%1）が欠けています。\r\n").arg(name) + kSaveAgain;
            }
            return !required;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        const bool statted = zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &stat) == 0;
        if (statted && (stat.valid & ZIP_STAT_SIZE) && stat.size > static_cast<zip_uint64_t>(m_cap)) {
            return tooLarge(name);
        }
        zip_file_t* file = statted ? zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0) : nullptr;
        if (!file) {
            return broken(name);
        }
        const qint64 expected = (stat.valid & ZIP_STAT_SIZE) ? static_cast<qint64>(stat.size) : m_cap;
        // Room for the most a part may hold: pages are taken only as they are written, and a part
        // that claims less than it holds is not copied as it grows.
        QByteArray bytes;
        bytes.reserve(static_cast<qsizetype>(m_cap));
        constexpr qsizetype kChunk = 256 * 1024;
        bool ok = true;
        for (;;) {
            if (progress.Stopped()) {
                zip_fclose(file);
                return stopped();
            }
            // Unpacked straight into the part's room (at most one chunk beyond the cap).
            const qsizetype size = bytes.size();
            bytes.resize(std::min<qsizetype>(size + kChunk, m_cap + 1));
            const zip_int64_t n =
                size < bytes.size()
                    ? zip_fread(file, bytes.data() + size, static_cast<zip_uint64_t>(bytes.size() - size))
                    : 0;
            bytes.resize(size + std::max<zip_int64_t>(n, 0));
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            if (bytes.size() > m_cap) {
                zip_fclose(file);
                return tooLarge(name);
            }
            progress.Report(0.1 * static_cast<double>(bytes.size()) /
                            static_cast<double>(std::max<qint64>(expected, 1)));
        }
        zip_fclose(file);
        if (!ok) {
            return broken(name);
        }
        XmlScanner xml(bytes);
        const ProgressSpan scanning{progress.progress, progress.from + 0.1 * (progress.to - progress.from),
                                    progress.to};
        if (!parse(xml, scanning)) {
            return stopped();
        }
        switch (xml.Error()) {
        case XmlScanner::Problem::None:
            return true;
        case XmlScanner::Problem::DocumentType:
            m_error = QStringLiteral("ブックの %1 に、XLSX のブックにはない定義（DTD）があります。\r\n"
                                     "安全のため読み込みません。")
                          .arg(name) +
                      kSaveAgain;
            return false;
        case XmlScanner::Problem::Broken:
            break;
        }
        m_error = QStringLiteral("ブックの %1 が壊れています（%2 行目）。\r\n").arg(name).arg(xml.Line()) +
                  kSaveAgain;
        return false;
    }

    bool stopped() {
        m_error.clear();
        return false;
    }

    bool tooLarge(const QString& name) {
        m_error = QStringLiteral("ブックの %1 が大きすぎます（展開して %2 MB まで）。\r\n"
                                 "取り込む行と列だけを新しいブックに写して保存し、それを取り込んでください。")
                      .arg(name)
                      .arg(m_cap / (1024 * 1024));
        return false;
    }

    bool broken(const QString& name) {
        m_error = QStringLiteral("ブックの %1 を展開できません。ファイルが壊れています。\r\n").arg(name) +
                  kSaveAgain;
        return false;
    }

    // Each start element of a part, until the end or a problem.
    template <typename Element> static void eachElement(XmlScanner& xml, Element&& element) {
        for (XmlScanner::Token t = xml.Next(); t != XmlScanner::Token::End && t != XmlScanner::Token::Invalid;
             t = xml.Next()) {
            if (t == XmlScanner::Token::StartElement) {
                element();
            }
        }
    }

    bool readRelationships(const QString& name, const QString& owner, QHash<QString, Relationship>& out,
                           bool required) {
        return readPart(name, required, {}, [&](XmlScanner& xml, ProgressSpan) {
            eachElement(xml, [&] {
                if (xml.Name() == "Relationship" && xml.Attribute("TargetMode") != u"External") {
                    out.insert(xml.Attribute("Id"),
                               {xml.Attribute("Type"), resolve(owner, xml.Attribute("Target"))});
                }
            });
            return true;
        });
    }

    // The sheets in the workbook's order, visible ones first; and the date system.
    bool readWorkbook(const QString& name) {
        QStringList hidden;
        const bool ok = readPart(name, true, {}, [&](XmlScanner& xml, ProgressSpan) {
            eachElement(xml, [&] {
                if (xml.Name() == "workbookPr") {
                    const QByteArrayView v = xml.RawAttribute("date1904");
                    m_date1904 = v == "1" || v == "true";
                } else if (xml.Name() == "sheet") {
                    const QByteArrayView state = xml.RawAttribute("state");
                    (state.isEmpty() || state == "visible" ? m_sheetIds : hidden).append(xml.Attribute("id"));
                }
            });
            return true;
        });
        m_sheetIds.append(hidden);
        return ok;
    }

    bool readSharedStrings(const QString& name) {
        m_stringStarts.assign(1, 0);
        return readPart(name, false, {m_progress.progress, share(0.0), share(0.3)},
                        [&](XmlScanner& xml, ProgressSpan progress) {
                            // The text is never longer than the part; pages are taken as it grows.
                            m_stringData.reserve(xml.Size());
                            bool going = true;
                            eachElement(xml, [&] {
                                if (xml.Name() != "si" || !going) {
                                    return;
                                }
                                const QString text = readStringItem(xml);
                                m_stringData += text.toUtf8();
                                m_stringStarts.push_back(static_cast<quint32>(m_stringData.size()));
                                m_stringBlank.push_back(IsBlankCell(text));
                                if (m_stringBlank.size() % 4096 == 0) {
                                    progress.Report(static_cast<double>(xml.Position()) /
                                                    static_cast<double>(xml.Size()));
                                    going = !progress.Stopped();
                                }
                            });
                            return going;
                        });
    }

    bool readStyles(const QString& name) {
        QHash<int, QString> codes;
        std::vector<int> ids;
        bool inCellFormats = false;
        const bool ok = readPart(name, false, {}, [&](XmlScanner& xml, ProgressSpan) {
            for (XmlScanner::Token t = xml.Next();
                 t != XmlScanner::Token::End && t != XmlScanner::Token::Invalid; t = xml.Next()) {
                if (t == XmlScanner::Token::StartElement) {
                    if (xml.Name() == "numFmt") {
                        codes.insert(xml.RawAttribute("numFmtId").toInt(), xml.Attribute("formatCode"));
                    } else if (xml.Name() == "cellXfs") {
                        inCellFormats = true;
                    } else if (xml.Name() == "xf" && inCellFormats && ids.size() < kMaxCellFormats) {
                        ids.push_back(xml.RawAttribute("numFmtId").toInt());
                    }
                } else if (t == XmlScanner::Token::EndElement && xml.Name() == "cellXfs") {
                    inCellFormats = false;
                }
            }
            return true;
        });
        for (const int id : ids) {
            m_formats.push_back(ClassifyNumberFormat(id, codes.value(id)));
        }
        return ok;
    }

    size_t stringCount() const { return m_stringStarts.empty() ? 0 : m_stringStarts.size() - 1; }

    QString sharedString(size_t index) const {
        return QString::fromUtf8(
            QByteArrayView(m_stringData)
                .sliced(m_stringStarts[index], m_stringStarts[index + 1] - m_stringStarts[index]));
    }

    // The cell as shown; text only while the table keeps rows, its blankness always. value is the
    // <v> element as written.
    void cellText(QByteArrayView type, QByteArrayView value, const QString& inlineText, int style,
                  bool keeping, PendingCell& cell) const {
        if (type == "s") {
            bool ok = false;
            const qlonglong index = value.trimmed().toLongLong(&ok);
            if (ok && index >= 0 && static_cast<size_t>(index) < stringCount()) {
                cell.blank = m_stringBlank[static_cast<size_t>(index)];
                if (keeping) {
                    cell.text = sharedString(static_cast<size_t>(index));
                }
            }
            return;
        }
        const bool plain = !value.contains('&');
        if (type == "inlineStr") {
            cell.text = inlineText;
        } else if (type == "b") {
            cell.text = value.trimmed() == "1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (!keeping && plain) {
            // A value shows as text exactly when it has one.
            cell.blank = std::all_of(value.begin(), value.end(),
                                     [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
            return;
        } else {
            QString text;
            XmlScanner::DecodeText(value, text);
            if (type == "str" || type == "e") {
                cell.text = unescape(text);
            } else {
                const XlsxNumberFormat format = style >= 0 && static_cast<size_t>(style) < m_formats.size()
                                                    ? m_formats[static_cast<size_t>(style)]
                                                    : XlsxNumberFormat();
                if (type == "d") {
                    cell.text = FormatXlsxIsoDate(text.trimmed(), format);
                } else if (!text.isEmpty()) {
                    bool ok = false;
                    const double number = text.toDouble(&ok);
                    cell.text = ok ? FormatXlsxNumber(number, format, m_date1904) : text;
                }
            }
        }
        cell.blank = IsBlankCell(cell.text);
        if (!keeping) {
            cell.text.clear();
        }
    }

    // Reads the rows of the sheet into the table, filling merged ranges when fill is given, and
    // collecting them into merges when that is given.
    bool readSheet(const QString& name, SourceTable& table, MergeFill* fill, std::vector<Merge>* merges,
                   ProgressSpan progress) {
        TableBuilder builder(table);
        std::vector<PendingCell> cells;
        qsizetype row = 0; // 1-based row being read, 0 before the first
        qsizetype filled = 0;
        qsizetype rowsRead = 0;
        const auto endRow = [&](qsizetype number) {
            if (fill) {
                fill->Fill(number, cells);
            }
            for (const PendingCell& c : cells) {
                if (builder.Keeping()) {
                    builder.AddCell(c.column, c.text);
                } else {
                    builder.AddLaterCell(c.column, c.blank);
                }
            }
            cells.clear();
            builder.EndRow(number);
        };
        // Rows the sheet leaves out between row and next: only a merged range puts cells there.
        const auto skipTo = [&](qsizetype next) {
            if (row > 0) {
                endRow(row);
            }
            for (qsizetype r = row + 1; fill && r < next;) {
                if (fill->Covers(r)) {
                    endRow(r++);
                } else {
                    r = std::min(next, fill->NextTop()); // nothing to fill before the next range
                    if (r < next) {
                        endRow(r++);
                    }
                }
            }
            row = next;
        };
        int column = -1;
        bool valid = true;
        const bool ok = readPart(name, true, progress, [&](XmlScanner& xml, ProgressSpan scanning) {
            for (XmlScanner::Token t = xml.Next();
                 valid && t != XmlScanner::Token::End && t != XmlScanner::Token::Invalid; t = xml.Next()) {
                if (t != XmlScanner::Token::StartElement) {
                    continue;
                }
                if (xml.Name() == "row") {
                    const QByteArrayView r = xml.RawAttribute("r");
                    bool number = r.isEmpty();
                    const qsizetype next = number ? row + 1 : r.toLongLong(&number);
                    valid = number && next >= 1 && next <= kMaxRows && next > row;
                    if (valid) {
                        skipTo(next);
                        column = -1;
                    }
                    if (++rowsRead % 4096 == 0) {
                        scanning.Report(static_cast<double>(xml.Position()) /
                                        static_cast<double>(xml.Size()));
                        if (scanning.Stopped()) {
                            return false;
                        }
                    }
                } else if (xml.Name() == "c") {
                    int refColumn = -1;
                    int refRow = -1;
                    valid = parseReference(xml.RawAttribute("r"), refColumn, refRow) &&
                            (refRow < 0 || refRow + 1 >= row);
                    if (!valid) {
                        break;
                    }
                    if (refRow >= 0 && refRow + 1 > row) {
                        skipTo(refRow + 1);
                        column = -1;
                    } else if (row == 0) {
                        skipTo(1);
                    }
                    column = refColumn >= 0 ? refColumn : column + 1;
                    valid = column < kMaxColumns;
                    const QByteArrayView type = xml.RawAttribute("t");
                    const QByteArrayView s = xml.RawAttribute("s");
                    const int style = s.isEmpty() ? -1 : s.toInt();
                    QByteArrayView value;
                    QString inlineText;
                    for (int depth = 1; depth > 0;) {
                        const XmlScanner::Token inner = xml.Next();
                        if (inner == XmlScanner::Token::StartElement && xml.Name() == "v") {
                            // A value is plain text: its first text as written.
                            for (int v = 1; v > 0;) {
                                const XmlScanner::Token part = xml.Next();
                                if (part == XmlScanner::Token::Text && value.isEmpty() && v == 1) {
                                    value = xml.RawText();
                                } else if (part == XmlScanner::Token::StartElement) {
                                    ++v;
                                } else if (part == XmlScanner::Token::EndElement) {
                                    --v;
                                } else if (part != XmlScanner::Token::Text) {
                                    break;
                                }
                            }
                        } else if (inner == XmlScanner::Token::StartElement && xml.Name() == "is") {
                            inlineText = readStringItem(xml);
                        } else if (inner == XmlScanner::Token::StartElement) {
                            xml.SkipElement();
                        } else if (inner == XmlScanner::Token::EndElement) {
                            --depth;
                        } else if (inner != XmlScanner::Token::Text) {
                            break;
                        }
                    }
                    PendingCell cell;
                    cell.column = column;
                    cellText(type, value, inlineText, style, builder.Keeping(), cell);
                    if (!cell.blank || !cell.text.isEmpty()) {
                        cells.push_back(std::move(cell));
                    }
                } else if (xml.Name() == "mergeCell" && merges) {
                    const QByteArrayView ref = xml.RawAttribute("ref");
                    const qsizetype colon = ref.indexOf(':');
                    int left = -1, top = -1, right = -1, bottom = -1;
                    if (colon > 0 && parseReference(ref.first(colon), left, top) &&
                        parseReference(ref.sliced(colon + 1), right, bottom) && left >= 0 && top >= 0 &&
                        bottom > top && left < kMaxSourceColumns &&
                        filled + (bottom - top) <= kMaxFilledCells) {
                        filled += bottom - top;
                        merges->push_back({top + 1, bottom + 1, left});
                    }
                }
            }
            return true;
        });
        if (ok && !valid) {
            m_error =
                QStringLiteral("ブックの %1 が壊れています（セルの位置が正しくありません）。\r\n").arg(name) +
                kSaveAgain;
        }
        if (!ok || !valid) {
            table = SourceTable();
            return false;
        }
        skipTo(kMaxRows + 1);
        return true;
    }

    zip_t* m_zip = nullptr;
    QByteArray m_bytes; // the archive reads from this copy
    qint64 m_cap;
    ProgressSpan m_progress;
    QString& m_error;
    QStringList m_sheetIds; // relationship ids, visible sheets first, each in workbook order
    bool m_date1904 = false;
    // The shared strings, one after another in UTF-8, with where each starts (and the end).
    QByteArray m_stringData;
    std::vector<quint32> m_stringStarts;
    std::vector<bool> m_stringBlank;
    std::vector<XlsxNumberFormat> m_formats; // by cell format index
};

} // namespace

bool ReadXlsx(const QByteArray& file, SourceTable& table, QString& error, ProgressSpan progress,
              qint64 maxPartBytes) {
    table = SourceTable();
    error.clear();
    WorkbookReader reader(maxPartBytes, progress, error);
    if (!reader.Read(file, table)) {
        table = SourceTable();
        return false;
    }
    return true;
}
