#include "core/record/recordfile.h"

#include "core/common/platform.h"
#include "core/roster/roster.h"

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>

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
    for (QString field : fields) {
        field.replace(u'\r', u' ');
        field.replace(u'\n', u' ');
        if (field.contains(u',') || field.contains(u'"')) {
            field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            quoted << u'"' + field + u'"';
        } else {
            quoted << field;
        }
    }
    return quoted.join(u',');
}

QByteArray CsvFileStart(const QStringList& header) {
    return QByteArrayLiteral("\xEF\xBB\xBF") + CsvLine(header).toUtf8() + "\r\n";
}

bool AppendRecordLines(const QString& path, const QByteArray& start, const QByteArray& lines,
                       FileError& error) {
    QFile file(path);
    ClearSystemError();
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        error = FileError::Last(GenericIoErrorCode());
        return false;
    }
    const qint64 before = file.size();
    QByteArray bytes;
    if (before == 0) {
        bytes = start;
    } else {
        // The last line's end: a line cut short is ended, and stays a line of its own.
        QByteArray tail;
        if (file.seek(before - std::min<qint64>(before, 2))) {
            tail = file.read(2);
        }
        if (tail.endsWith('\r')) {
            bytes = "\n";
        } else if (!tail.endsWith('\n')) {
            bytes = "\r\n";
        }
    }
    bytes += lines;
    ClearSystemError();
    const bool written = file.write(bytes) == bytes.size();
    int code = written ? 0 : LastSystemError();
    const bool synced = written && SyncFileToDisk(file, code);
    if (!synced) {
        // Back to the last whole line: no part of these lines stays to be taken for a line.
        int ignored = 0;
        if (file.resize(before)) {
            SyncFileToDisk(file, ignored);
        }
        error = FileError::Of(code != 0 ? code : GenericIoErrorCode());
        return false;
    }
    return true;
}

bool SplitCsvLine(QByteArrayView line, std::vector<QByteArrayView>& fields, std::vector<QByteArray>& scratch,
                  int maxFields) {
    fields.clear();
    scratch.clear();
    scratch.reserve(static_cast<size_t>(maxFields)); // views into it must stay put
    qsizetype i = 0;
    const qsizetype n = line.size();
    for (;;) {
        if (static_cast<int>(fields.size()) >= maxFields) {
            return false;
        }
        if (i < n && line.at(i) == '"') {
            // Quoted: up to the quote that is not doubled.
            const qsizetype from = ++i;
            bool doubled = false;
            for (;;) {
                if (i >= n) {
                    return false; // no closing quote on the line
                }
                if (line.at(i) == '"') {
                    if (i + 1 < n && line.at(i + 1) == '"') {
                        doubled = true;
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            QByteArrayView inner = line.sliced(from, i - from);
            if (doubled) {
                scratch.push_back(inner.toByteArray().replace("\"\"", "\""));
                inner = scratch.back();
            }
            fields.push_back(inner);
            ++i; // the closing quote
            if (i == n) {
                return true;
            }
            if (line.at(i) != ',') {
                return false;
            }
            ++i;
            continue;
        }
        const qsizetype comma = line.indexOf(',', i);
        const qsizetype end = comma < 0 ? n : comma;
        const QByteArrayView field = line.sliced(i, end - i);
        if (field.contains('"')) {
            return false;
        }
        fields.push_back(field);
        if (comma < 0) {
            return true;
        }
        i = comma + 1;
    }
}

bool ReadDecimal(QByteArrayView field, qint64 least, qint64 most, qint64& value) {
    if (field.isEmpty() || field.size() > 18) {
        return false;
    }
    qint64 v = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + (c - '0');
    }
    if (v < least || v > most) {
        return false;
    }
    value = v;
    return true;
}

QString RecordErrorLines(const FileError& error) {
    return error.Code != 0 ? error.Lines(QStringLiteral("エラー番号=")) : error.Text;
}
