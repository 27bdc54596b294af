#pragma once

#include "core/common/safefile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

class RosterTable;

// What the records of the draw and of the cards share: their text form (CSV in UTF-8 with a
// byte-order mark, CR LF line ends, so that a spreadsheet opens them as Japanese), the roster's
// fingerprint, how they grow, and how their lines are read back.

// A fingerprint of what a draw and a card depend on: which row holds which name. Other cells
// (comments, songs) may change without changing it.
QString RosterFingerprint(const RosterTable& roster);

// One CSV line (no line end) from fields, quoted where needed. A line break inside a field
// becomes a space: a line of a record is one line of the file.
QString CsvLine(const QStringList& fields);

// The byte-order mark and header line a new record file starts with.
QByteArray CsvFileStart(const QStringList& header);

// Appends whole lines to a record that grows line by line. A file that does not exist yet, or is
// empty, starts with start first. A last line without its line end (a write cut short by a crash
// or a full disk) is ended first, so that the new lines are never glued onto it. The bytes go in
// one write, then to the disk; when the write or the sync fails, the file is cut back to the
// length it had, so that it ends with its last whole line again. Touches nothing but the file:
// any thread may call it.
bool AppendRecordLines(const QString& path, const QByteArray& start, const QByteArray& lines,
                       FileError& error);

// The lines of a record's bytes from offset on: each whole line (its end, CR LF or LF, left off)
// with its number, counted from firstLineNumber. Returns the offset after the last whole line;
// what follows it is a line not yet ended.
template <typename Visit>
qsizetype ForEachWholeLine(QByteArrayView bytes, qsizetype offset, qint64 firstLineNumber, Visit&& visit) {
    qint64 number = firstLineNumber;
    for (;;) {
        const qsizetype end = bytes.indexOf('\n', offset);
        if (end < 0) {
            return offset;
        }
        qsizetype last = end;
        if (last > offset && bytes.at(last - 1) == '\r') {
            --last;
        }
        visit(bytes.sliced(offset, last - offset), number++);
        offset = end + 1;
    }
}

// The fields of one CSV line, exactly: a quoted field ends with its quote (a quote inside doubled),
// an unquoted field holds no quote. False for anything else, or more than maxFields fields. The
// views point into line or into scratch.
bool SplitCsvLine(QByteArrayView line, std::vector<QByteArrayView>& fields, std::vector<QByteArray>& scratch,
                  int maxFields);

// A whole number written in decimal digits only (no sign, no blanks), within [least, most].
bool ReadDecimal(QByteArrayView field, qint64 least, qint64 most, qint64& value);

// How a record error reads for the organiser: the system's number and text when the file could not
// be read or written, the lines named when it holds lines that cannot be read.
QString RecordErrorLines(const FileError& error);
