#include "core/transfer/xlsxreader.h"

#include "core/transfer/xlsxnumberformat.h"

#include <QDir>
#include <QHash>
#include <QXmlStreamReader>
#include <vector>
#include <zip.h>

namespace {

// The largest sheet a spreadsheet can make; references beyond it mark a broken file.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

// A zip archive read from memory.
class ZipReader {
public:
    enum class Result { Ok, Missing, TooLarge, Broken };

    ZipReader() = default;
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;
    ~ZipReader() {
        if (m_zip) {
            zip_discard(m_zip);
        }
    }

    bool Open(const QByteArray& bytes) {
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

    // Unpacks one part, refusing it once it grows beyond cap (whatever its header claims).
    Result Read(const QString& name, qint64 cap, QByteArray& out) {
        out.clear();
        const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0) {
            return Result::Missing;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &stat) != 0) {
            return Result::Broken;
        }
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > static_cast<zip_uint64_t>(cap)) {
            return Result::TooLarge;
        }
        zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
        if (!file) {
            return Result::Broken;
        }
        if (stat.valid & ZIP_STAT_SIZE) {
            out.reserve(static_cast<qsizetype>(stat.size));
        }
        Result result = Result::Ok;
        std::vector<char> buffer(64 * 1024);
        for (;;) {
            const zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
            if (n < 0) {
                result = Result::Broken;
                break;
            }
            if (n == 0) {
                break;
            }
            if (out.size() + n > cap) {
                result = Result::TooLarge;
                break;
            }
            out.append(buffer.data(), static_cast<qsizetype>(n));
        }
        zip_fclose(file);
        if (result != Result::Ok) {
            out.clear();
        }
        return result;
    }

private:
    QByteArray m_bytes; // the archive reads from this copy
    zip_t* m_zip = nullptr;
};

QStringView attribute(const QXmlStreamReader& xml, QStringView localName) {
    for (const QXmlStreamAttribute& a : xml.attributes()) {
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
// the phonetic guides (<rPh>) that Japanese spreadsheets add.
QString readStringItem(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh" || xml.name() == u"phoneticPr") {
                xml.skipCurrentElement();
            } else if (xml.name() == u"t") {
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
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

class WorkbookReader {
public:
    WorkbookReader(qint64 cap, QString& error) : m_cap(cap), m_error(error) {}

    bool Read(const QByteArray& file, TextTable& table) {
        if (file.startsWith("\xD0\xCF\x11\xE0")) {
            m_error = QStringLiteral("古い形式（.xls）のブックか、パスワードで保護されたブックです。\r\n"
                                     "Excel で .xlsx 形式（パスワードなし）で保存し直してください。");
            return false;
        }
        if (!m_zip.Open(file)) {
            m_error = QStringLiteral("XLSX 形式のファイルとして読めません。");
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
            m_error = QStringLiteral("ブックにワークシートがありません。");
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
        return readSheet(sheet, table);
    }

private:
    bool part(const QString& name, QByteArray& bytes, bool required) {
        switch (m_zip.Read(name, m_cap, bytes)) {
        case ZipReader::Result::Ok:
            return true;
        case ZipReader::Result::Missing:
            if (required) {
                m_error = QStringLiteral("ブックに %1 がありません。").arg(name);
            }
            return !required;
        case ZipReader::Result::TooLarge:
            m_error = QStringLiteral("ブックの %1 が大きすぎます（展開して %2 MB まで）。")
                          .arg(name)
                          .arg(m_cap / (1024 * 1024));
            return false;
        case ZipReader::Result::Broken:
            break;
        }
        m_error = QStringLiteral("ブックの %1 を展開できません。").arg(name);
        return false;
    }

    bool xmlOk(const QXmlStreamReader& xml, const QString& name) {
        if (!xml.hasError()) {
            return true;
        }
        m_error = QStringLiteral("ブックの %1 が壊れています（%2 行目: %3）。")
                      .arg(name)
                      .arg(xml.lineNumber())
                      .arg(xml.errorString());
        return false;
    }

    bool readRelationships(const QString& name, const QString& owner, QHash<QString, Relationship>& out,
                           bool required) {
        QByteArray bytes;
        if (!part(name, bytes, required)) {
            return false;
        }
        if (bytes.isEmpty() && !required) {
            return true;
        }
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"Relationship" &&
                attribute(xml, u"TargetMode") != u"External") {
                out.insert(attribute(xml, u"Id").toString(),
                           {attribute(xml, u"Type").toString(), resolve(owner, attribute(xml, u"Target"))});
            }
        }
        return xmlOk(xml, name);
    }

    // The sheets in the workbook's order, visible ones first; and the date system.
    bool readWorkbook(const QString& name) {
        QByteArray bytes;
        if (!part(name, bytes, true)) {
            return false;
        }
        QStringList hidden;
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                continue;
            }
            if (xml.name() == u"workbookPr") {
                const QStringView v = attribute(xml, u"date1904");
                m_date1904 = v == u"1" || v == u"true";
            } else if (xml.name() == u"sheet") {
                const QString id = attribute(xml, u"id").toString();
                (attribute(xml, u"state").isEmpty() || attribute(xml, u"state") == u"visible" ? m_sheetIds
                                                                                              : hidden)
                    .append(id);
            }
        }
        m_sheetIds.append(hidden);
        return xmlOk(xml, name);
    }

    bool readSharedStrings(const QString& name) {
        QByteArray bytes;
        if (!part(name, bytes, false)) {
            return false;
        }
        if (bytes.isEmpty()) {
            return true; // an optional part that is not there
        }
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"si") {
                m_strings.append(readStringItem(xml));
            }
        }
        return xmlOk(xml, name);
    }

    bool readStyles(const QString& name) {
        QByteArray bytes;
        if (!part(name, bytes, false)) {
            return false;
        }
        if (bytes.isEmpty()) {
            return true; // an optional part that is not there
        }
        QHash<int, QString> codes;
        std::vector<int> ids;
        bool inCellFormats = false;
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                if (xml.name() == u"numFmt") {
                    codes.insert(attribute(xml, u"numFmtId").toInt(),
                                 attribute(xml, u"formatCode").toString());
                } else if (xml.name() == u"cellXfs") {
                    inCellFormats = true;
                } else if (xml.name() == u"xf" && inCellFormats) {
                    ids.push_back(attribute(xml, u"numFmtId").toInt());
                }
            } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
                inCellFormats = false;
            }
        }
        for (const int id : ids) {
            m_formats.push_back(ClassifyNumberFormat(id, codes.value(id)));
        }
        return xmlOk(xml, name);
    }

    QString cellText(QStringView type, const QString& value, const QString& inlineText, int style) const {
        const XlsxNumberFormat format =
            style >= 0 && style < static_cast<int>(m_formats.size()) ? m_formats[style] : XlsxNumberFormat();
        if (type == u"s") {
            bool ok = false;
            const int index = value.toInt(&ok);
            return ok && index >= 0 && index < m_strings.size() ? m_strings.at(index) : QString();
        }
        if (type == u"inlineStr") {
            return inlineText;
        }
        if (type == u"str" || type == u"e") {
            return unescape(value);
        }
        if (type == u"b") {
            return value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        }
        if (type == u"d") {
            return FormatXlsxIsoDate(value.trimmed(), format);
        }
        if (value.isEmpty()) {
            return QString();
        }
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok ? FormatXlsxNumber(number, format, m_date1904) : value;
    }

    bool readSheet(const QString& name, TextTable& table) {
        QByteArray bytes;
        if (!part(name, bytes, true)) {
            return false;
        }
        table.clear();
        int row = -1;
        int column = -1;
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                continue;
            }
            if (xml.name() == u"row") {
                const QStringView r = attribute(xml, u"r");
                bool ok = r.isEmpty();
                const int number = ok ? row + 2 : r.toInt(&ok);
                if (!ok || number < 1 || number > kMaxRows) {
                    xml.raiseError(QStringLiteral("row %1").arg(r));
                    break;
                }
                row = number - 1;
                column = -1;
            } else if (xml.name() == u"c") {
                int refColumn = -1;
                int refRow = -1;
                if (!parseReference(attribute(xml, u"r"), refColumn, refRow)) {
                    xml.raiseError(QStringLiteral("cell %1").arg(attribute(xml, u"r")));
                    break;
                }
                column = refColumn >= 0 ? refColumn : column + 1;
                row = refRow >= 0 ? refRow : std::max(row, 0);
                if (column >= kMaxColumns) {
                    xml.raiseError(QStringLiteral("column"));
                    break;
                }
                const QString type = attribute(xml, u"t").toString();
                const int style = attribute(xml, u"s").isEmpty() ? -1 : attribute(xml, u"s").toInt();
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
                const QString text = cellText(type, value, inlineText, style);
                if (!text.isEmpty()) {
                    while (table.size() <= row) {
                        table.append(QStringList());
                    }
                    QStringList& cells = table[row];
                    while (cells.size() <= column) {
                        cells.append(QString());
                    }
                    cells[column] = text;
                }
            }
        }
        return xmlOk(xml, name);
    }

    ZipReader m_zip;
    qint64 m_cap;
    QString& m_error;
    QStringList m_sheetIds; // relationship ids, visible sheets first, each in workbook order
    bool m_date1904 = false;
    QStringList m_strings;
    std::vector<XlsxNumberFormat> m_formats; // by cell format index
};

} // namespace

bool ReadXlsx(const QByteArray& file, TextTable& table, QString& error, qint64 maxPartBytes) {
    table.clear();
    error.clear();
    WorkbookReader reader(maxPartBytes, error);
    if (!reader.Read(file, table)) {
        table.clear();
        return false;
    }
    return true;
}
