#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class RosterTable;

// What the records of the draw and of the cards share: their text form (CSV in UTF-8 with a
// byte-order mark, CR LF line ends, so that a spreadsheet opens them as Japanese), the roster's
// fingerprint, and the folder they are kept in.

// A fingerprint of what a draw and a card depend on: which row holds which name. Other cells
// (comments, songs) may change without changing it.
QString RosterFingerprint(const RosterTable& roster);

// One CSV line (no line end) from fields, quoted where needed.
QString CsvLine(const QStringList& fields);

// The fields of every complete line of a record's bytes (a last line without its line end, as a
// write cut short by a crash leaves it, is no line); the header line is left out.
std::vector<QStringList> ReadCsvRecords(const QByteArray& bytes);

// The byte-order mark and header line a new record file starts with.
QByteArray CsvFileStart(const QStringList& header);
