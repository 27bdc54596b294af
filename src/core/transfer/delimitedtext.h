#pragma once

#include "core/transfer/texttable.h"

#include <QChar>
#include <QStringView>

// Splits delimited text (CSV, TSV) into rows of cells, as RFC 4180 describes it and as
// spreadsheets write it: a field in double quotes may hold the separator, line breaks and doubled
// quotes; records end at CR LF, LF or CR. Text after a closing quote up to the next separator is
// kept, and a quote inside an unquoted field is an ordinary character. An empty line gives a row
// with one empty cell; a line end at the very end gives no further row.
TextTable ParseDelimited(QStringView text, QChar separator);

// The separators a file may use, in the order the import dialog offers them.
inline constexpr char16_t kDelimitedSeparators[] = {u',', u'\t', u';'};

// Guesses the separator of delimited text: the candidate (comma, tab, semicolon) that splits the
// first lines, outside quotes, into the same number of columns most often, more than one column
// preferred. When none splits anything, fallback.
QChar DetectSeparator(QStringView text, QChar fallback);
