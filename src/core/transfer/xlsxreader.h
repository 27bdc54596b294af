#pragma once

#include "core/transfer/readprogress.h"
#include "core/transfer/texttable.h"

#include <QByteArray>
#include <QString>

// The most one part of a workbook may hold once unpacked. A larger part is refused, so that a
// small file that unpacks to gigabytes cannot exhaust the memory.
inline constexpr qint64 kXlsxMaxPartBytes = 64LL * 1024 * 1024;

// Reads the first visible worksheet of an XLSX workbook (the bytes of the file) into a table of
// texts as the spreadsheet shows them: shared, rich and inline strings, numbers, dates and times
// by their number formats, booleans as TRUE/FALSE. Cells and rows the sheet leaves out are
// empty. The value of a merged range fills its first column in every row of the range. Parts are
// unpacked and read as they stream, never whole; the table is bounded (see SourceTable).
// Returns false with a message for the user (what is wrong and what to do) when the bytes are not
// a workbook that can be read, and false with no message when the progress was stopped.
bool ReadXlsx(const QByteArray& file, SourceTable& table, QString& error, ProgressSpan progress = {},
              qint64 maxPartBytes = kXlsxMaxPartBytes);
