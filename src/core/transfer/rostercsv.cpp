#include "core/transfer/rostercsv.h"

#include "core/common/textfile.h"

#include <QSaveFile>
#include <cerrno>

QString CsvField(const QString& text) {
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
            QString cell = roster.Cell(c, r);
            if (r == 0 && cell.trimmed().isEmpty()) {
                cell = RosterTable::DefaultCaption(c); // a roster never loaded has no captions yet
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

bool WriteRosterCsv(QIODevice& device, const RosterTable& roster) {
    const QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF") + RosterCsvText(roster).toUtf8();
    return device.write(bytes) == bytes.size();
}

bool ExportRosterCsv(const QString& path, const RosterTable& roster, int& errorCode) {
    errorCode = 0;
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        errorCode = LastFileErrorCode(file.error());
        return false;
    }
    // Qt renames the temporary file into place even when buffered bytes never reached the disk:
    // only a successful flush says the file is whole.
    errno = 0;
    if (!WriteRosterCsv(file, roster) || !file.flush() || file.error() != QFileDevice::NoError) {
        errorCode = LastFileErrorCode(file.error());
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        errorCode = LastFileErrorCode(file.error());
        return false;
    }
    return true;
}
