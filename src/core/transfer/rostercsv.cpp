#include "core/transfer/rostercsv.h"

#include "core/common/blank.h"
#include "core/common/safefile.h"

namespace {

bool startsFormula(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u'\'') {
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    const QChar c = text.at(i);
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

} // namespace

QStringView StripFormulaGuard(QStringView text) {
    return text.startsWith(u'\'') && startsFormula(text) ? text.mid(1) : text;
}

QString CsvField(const QString& cell) {
    const QString text = startsFormula(cell) ? u'\'' + cell : cell;
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n')) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString RosterCsvText(const RosterTable& roster) {
    QString out;
    for (int r = 0; r <= RosterTable::kCapacity; ++r) {
        if (r > 0 && !roster.IsInUse(r)) {
            continue;
        }
        for (int c = 0; c < RosterTable::kColumns; ++c) {
            const RosterColumn column = RosterColumn(c);
            QString cell = roster.Cell(column, r);
            if (r == 0 && IsBlank(cell)) {
                cell = RosterTable::DefaultCaption(column); // a roster never loaded has no captions yet
            }
            if (c > 0) {
                out.append(u',');
            }
            out.append(CsvField(cell));
        }
        out.append(QStringLiteral("\r\n"));
    }
    return out;
}

namespace {

QByteArray csvBytes(const RosterTable& roster) {
    return QByteArrayLiteral("\xEF\xBB\xBF") + RosterCsvText(roster).toUtf8();
}

} // namespace

bool WriteRosterCsv(QIODevice& device, const RosterTable& roster) {
    const QByteArray bytes = csvBytes(roster);
    return device.write(bytes) == bytes.size();
}

bool ExportRosterCsv(const QString& path, const RosterTable& roster, FileError& error) {
    return WriteFileSafely(path, csvBytes(roster), error);
}
