#include "core/record/recordfile.h"

#include "core/roster/roster.h"

#include <QCryptographicHash>

QString RosterFingerprint(const RosterTable& roster) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int row = 1; row <= RosterTable::kCapacity; ++row) {
        if (roster.IsInUse(row)) {
            hash.addData(QByteArray::number(row) + '\t' + roster.Cell(RosterColumn::Name, row).toUtf8() +
                         '\n');
        }
    }
    return QString::fromLatin1(hash.result().toHex().left(16));
}

QString CsvLine(const QStringList& fields) {
    QStringList quoted;
    for (const QString& field : fields) {
        if (field.contains(u',') || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n')) {
            QString escaped = field;
            escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            quoted << u'"' + escaped + u'"';
        } else {
            quoted << field;
        }
    }
    return quoted.join(u',');
}

std::vector<QStringList> ReadCsvRecords(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    std::vector<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool header = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            fields << field;
            field.clear();
            if (!header) {
                records.push_back(fields);
            }
            header = false;
            fields.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records; // what follows the last line end is an unfinished line
}

QByteArray CsvFileStart(const QStringList& header) {
    return QByteArrayLiteral("\xEF\xBB\xBF") + CsvLine(header).toUtf8() + "\r\n";
}
