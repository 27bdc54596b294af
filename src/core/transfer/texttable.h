#pragma once

#include <QList>
#include <QStringList>

// A table of text cells as read from a spreadsheet or a delimited text file. Rows may differ in
// length; a missing cell reads as empty text.
using TextTable = QList<QStringList>;

// The number of columns of the widest row.
int TableWidth(const TextTable& table);

// The cell at (row, column), or empty text where the row is shorter.
QString TableCell(const TextTable& table, int row, int column);
