#pragma once

#include "core/roster/roster.h"

#include <QString>

class QIODevice;
struct FileError;

// A field as CSV writes it: in double quotes (quotes inside doubled) when it holds a comma, a
// quote, CR or LF; as it is otherwise. A cell that a spreadsheet would run as a formula (starting
// with =, +, -, @, tab or CR, after any apostrophes) gets an apostrophe in front, so that it
// shows as the text it is.
QString CsvField(const QString& text);

// Takes away the apostrophe CsvField puts in front of such a cell (one apostrophe, when more
// apostrophes or one of those characters follow it), so that an export reads back as it was.
QStringView StripFormulaGuard(QStringView text);

// The roster as CSV text: the captions (the renamed ones included) as the header, then every row
// in use in row order, all 14 columns, each line ended by CR LF.
QString RosterCsvText(const RosterTable& roster);

// Writes the CSV text in UTF-8 with a byte-order mark (so spreadsheets read it as UTF-8).
// Returns false when the device does not take all the bytes.
bool WriteRosterCsv(QIODevice& device, const RosterTable& roster);

// Exports the roster to a CSV file safely: the old file stays whole unless the new one is complete
// on the disk. Returns false with the system's error on failure.
bool ExportRosterCsv(const QString& path, const RosterTable& roster, FileError& error);
