#pragma once

#include "core/transfer/texttable.h"

#include <QByteArray>
#include <QString>

// The most one part of a workbook may hold once unpacked. A larger part is refused, so that a
// small file that unpacks to gigabytes cannot exhaust the memory.
inline constexpr qint64 kXlsxMaxPartBytes = 64LL * 1024 * 1024;

// Reads the first worksheet of an XLSX workbook (the bytes of the file) into a table of texts as
// the spreadsheet shows them: shared, rich and inline strings, numbers, dates and times by their
// number formats, booleans as TRUE/FALSE. Cells and rows the sheet leaves out are empty; empty
// rows after the last filled one are dropped. Returns false with a message for the user when the
// bytes are not a workbook that can be read.
bool ReadXlsx(const QByteArray& file, TextTable& table, QString& error,
              qint64 maxPartBytes = kXlsxMaxPartBytes);
