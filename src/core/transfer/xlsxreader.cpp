#include "core/transfer/xlsxreader.h"

#include "core/transfer/xlsxnumberformat.h"

#include <QDir>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>
#include <algorithm>
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

// One part of the archive, unpacked as it is read. It refuses to go on beyond cap bytes
// (whatever the archive claims) and when the read is stopped.
class PartDevice : public QIODevice {
public:
    enum class Result { Ok, TooLarge, Broken, Stopped };

    PartDevice(zip_file_t* file, qint64 cap, qint64 expected, ProgressSpan progress)
        : m_file(file), m_cap(cap), m_expected(std::max<qint64>(expected, 1)), m_progress(progress) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~PartDevice() override { zip_fclose(m_file); }
    Result Outcome() const { return m_result; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (m_result != Result::Ok) {
            return -1;
        }
        if (m_progress.Stopped()) {
            m_result = Result::Stopped;
            return -1;
        }
        const zip_int64_t n = zip_fread(m_file, data, static_cast<zip_uint64_t>(maxSize));
        if (n < 0) {
            m_result = Result::Broken;
            return -1;
        }
        m_total += n;
        if (m_total > m_cap) {
            m_result = Result::TooLarge;
            return -1;
        }
        m_progress.Report(static_cast<double>(m_total) / static_cast<double>(m_expected));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file;
    qint64 m_cap;
    qint64 m_expected;
    ProgressSpan m_progress;
    qint64 m_total = 0;
    Result m_result = Result::Ok;
};

QStringView attribute(const QXmlStreamAttributes& attributes, QStringView localName) {
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.name() == localName) {
            return a.value();
        }
    }
    return {};
}

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
QString readStringItem(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh" || xml.name() == u"phoneticPr") {
                xml.skipCurrentElement();
            } else if (xml.name() == u"t") {
                const QString run = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (text.size() < kStringCap) {
                    text += QStringView(run).first(std::min(run.size(), kStringCap - text.size()));
                }
            } else {
                ++depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return unescape(text);
}

// Column and row of a reference such as "AA10" (0-based); -1 for what the reference leaves out.
bool parseReference(QStringView ref, int& column, int& row) {
    column = -1;
    row = -1;
    qsizetype i = 0;
    qint64 c = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        const char16_t u = ref[i].toUpper().unicode();
        if (u < u'A' || u > u'Z') {
            return false;
        }
        c = c * 26 + (u - u'A' + 1);
        if (c > kMaxColumns) {
            return false;
        }
    }
    if (i > 0) {
        column = static_cast<int>(c - 1);
    }
    if (i < ref.size()) {
        bool ok = false;
        const int r = ref.mid(i).toInt(&ok);
        if (!ok || r < 1 || r > kMaxRows) {
            return false;
        }
        row = r - 1;
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

QString resolve(const QString& fromPart, QStringView target) {
    if (target.startsWith(u'/')) {
        return target.mid(1).toString();
    }
    const QString folder = folderOf(fromPart);
    QString joined = folder.isEmpty() ? target.toString() : folder + u'/' + target.toString();
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

    // Reads one part through parse(xml), checking what went wrong. A part that is not there is
    // refused when required and read as empty otherwise.
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
        PartDevice device(file, m_cap, expected, progress);
        QXmlStreamReader xml(&device);
        parse(xml);
        switch (device.Outcome()) {
        case PartDevice::Result::Stopped:
            m_error.clear();
            return false;
        case PartDevice::Result::TooLarge:
            return tooLarge(name);
        case PartDevice::Result::Broken:
            return broken(name);
        case PartDevice::Result::Ok:
            break;
        }
        if (!xml.hasError()) {
            return true;
        }
        if (xml.error() == QXmlStreamReader::CustomError && xml.errorString() == u"DTD") {
            m_error = QStringLiteral("ブックの %1 に、XLSX のブックにはない定義（DTD）があります。\r\n"
                                     "安全のため読み込みません。")
                          .arg(name) +
                      kSaveAgain;
        } else {
            m_error = QStringLiteral("ブックの %1 が壊れています（%2 行目）。\r\n")
                          .arg(name)
                          .arg(xml.lineNumber()) +
                      kSaveAgain;
        }
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

    // The next token; a document type definition (which a workbook never has, and which could
    // define entities that expand without end) stops the reading.
    static bool step(QXmlStreamReader& xml) {
        xml.readNext();
        if (xml.tokenType() == QXmlStreamReader::DTD) {
            xml.raiseError(QStringLiteral("DTD"));
        }
        return !xml.atEnd();
    }

    bool readRelationships(const QString& name, const QString& owner, QHash<QString, Relationship>& out,
                           bool required) {
        return readPart(name, required, {}, [&](QXmlStreamReader& xml) {
            while (step(xml)) {
                if (!xml.isStartElement() || xml.name() != u"Relationship") {
                    continue;
                }
                const QXmlStreamAttributes a = xml.attributes();
                if (attribute(a, u"TargetMode") != u"External") {
                    out.insert(attribute(a, u"Id").toString(),
                               {attribute(a, u"Type").toString(), resolve(owner, attribute(a, u"Target"))});
                }
            }
        });
    }

    // The sheets in the workbook's order, visible ones first; and the date system.
    bool readWorkbook(const QString& name) {
        QStringList hidden;
        const bool ok = readPart(name, true, {}, [&](QXmlStreamReader& xml) {
            while (step(xml)) {
                if (!xml.isStartElement()) {
                    continue;
                }
                const QXmlStreamAttributes a = xml.attributes();
                if (xml.name() == u"workbookPr") {
                    const QStringView v = attribute(a, u"date1904");
                    m_date1904 = v == u"1" || v == u"true";
                } else if (xml.name() == u"sheet") {
                    const QStringView state = attribute(a, u"state");
                    (state.isEmpty() || state == u"visible" ? m_sheetIds : hidden)
                        .append(attribute(a, u"id").toString());
                }
            }
        });
        m_sheetIds.append(hidden);
        return ok;
    }

    bool readSharedStrings(const QString& name) {
        m_stringStarts.assign(1, 0);
        return readPart(name, false, {m_progress.progress, share(0.0), share(0.3)},
                        [&](QXmlStreamReader& xml) {
                            while (step(xml)) {
                                if (xml.isStartElement() && xml.name() == u"si") {
                                    const QString text = readStringItem(xml);
                                    m_stringData += text.toUtf8();
                                    m_stringStarts.push_back(static_cast<quint32>(m_stringData.size()));
                                    m_stringBlank.push_back(IsBlankCell(text));
                                }
                            }
                        });
    }

    bool readStyles(const QString& name) {
        QHash<int, QString> codes;
        std::vector<int> ids;
        bool inCellFormats = false;
        const bool ok = readPart(name, false, {}, [&](QXmlStreamReader& xml) {
            while (step(xml)) {
                if (xml.isStartElement()) {
                    const QXmlStreamAttributes a = xml.attributes();
                    if (xml.name() == u"numFmt") {
                        codes.insert(attribute(a, u"numFmtId").toInt(),
                                     attribute(a, u"formatCode").toString());
                    } else if (xml.name() == u"cellXfs") {
                        inCellFormats = true;
                    } else if (xml.name() == u"xf" && inCellFormats && ids.size() < kMaxCellFormats) {
                        ids.push_back(attribute(a, u"numFmtId").toInt());
                    }
                } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
                    inCellFormats = false;
                }
            }
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

    // The cell as shown; text only while the table keeps rows, its blankness always.
    void cellText(QStringView type, const QString& value, const QString& inlineText, int style, bool keeping,
                  PendingCell& cell) const {
        if (type == u"s") {
            bool ok = false;
            const qlonglong index = value.toLongLong(&ok);
            if (ok && index >= 0 && static_cast<size_t>(index) < stringCount()) {
                cell.blank = m_stringBlank[static_cast<size_t>(index)];
                if (keeping) {
                    cell.text = sharedString(static_cast<size_t>(index));
                }
            }
            return;
        }
        if (type == u"inlineStr") {
            cell.text = inlineText;
        } else if (type == u"str" || type == u"e") {
            cell.text = unescape(value);
        } else if (type == u"b") {
            cell.text = value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (!keeping) {
            cell.blank = IsBlankCell(value); // a number or date shows as text exactly when it has a value
            return;
        } else {
            const XlsxNumberFormat format = style >= 0 && static_cast<size_t>(style) < m_formats.size()
                                                ? m_formats[static_cast<size_t>(style)]
                                                : XlsxNumberFormat();
            if (type == u"d") {
                cell.text = FormatXlsxIsoDate(value.trimmed(), format);
            } else if (!value.isEmpty()) {
                bool ok = false;
                const double number = value.toDouble(&ok);
                cell.text = ok ? FormatXlsxNumber(number, format, m_date1904) : value;
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
        const bool ok = readPart(name, true, progress, [&](QXmlStreamReader& xml) {
            while (step(xml)) {
                if (!xml.isStartElement()) {
                    continue;
                }
                const QXmlStreamAttributes a = xml.attributes();
                if (xml.name() == u"row") {
                    const QStringView r = attribute(a, u"r");
                    bool valid = r.isEmpty();
                    const qsizetype number = valid ? row + 1 : r.toLongLong(&valid);
                    if (!valid || number < 1 || number > kMaxRows || number <= row) {
                        xml.raiseError(QStringLiteral("row"));
                        break;
                    }
                    skipTo(number);
                    column = -1;
                } else if (xml.name() == u"c") {
                    int refColumn = -1;
                    int refRow = -1;
                    if (!parseReference(attribute(a, u"r"), refColumn, refRow) ||
                        (refRow >= 0 && refRow + 1 < row)) {
                        xml.raiseError(QStringLiteral("cell"));
                        break;
                    }
                    if (refRow >= 0 && refRow + 1 > row) {
                        skipTo(refRow + 1);
                        column = -1;
                    } else if (row == 0) {
                        skipTo(1);
                    }
                    column = refColumn >= 0 ? refColumn : column + 1;
                    if (column >= kMaxColumns) {
                        xml.raiseError(QStringLiteral("column"));
                        break;
                    }
                    const QString type = attribute(a, u"t").toString();
                    const int style = attribute(a, u"s").isEmpty() ? -1 : attribute(a, u"s").toInt();
                    QString value;
                    QString inlineText;
                    while (xml.readNextStartElement()) {
                        if (xml.name() == u"v") {
                            value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                        } else if (xml.name() == u"is") {
                            inlineText = readStringItem(xml);
                        } else {
                            xml.skipCurrentElement();
                        }
                    }
                    PendingCell cell;
                    cell.column = column;
                    cellText(type, value, inlineText, style, builder.Keeping(), cell);
                    if (!cell.blank || !cell.text.isEmpty()) {
                        cells.push_back(std::move(cell));
                    }
                } else if (xml.name() == u"mergeCell" && merges) {
                    const QStringView ref = attribute(a, u"ref");
                    const qsizetype colon = ref.indexOf(u':');
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
        });
        if (!ok) {
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
