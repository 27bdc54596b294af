#include "core/transfer/texttable.h"

#include <algorithm>

int TableWidth(const TextTable& table) {
    qsizetype width = 0;
    for (const QStringList& row : table) {
        width = std::max(width, row.size());
    }
    return static_cast<int>(width);
}

QString TableCell(const TextTable& table, int row, int column) {
    if (row < 0 || row >= table.size() || column < 0) {
        return QString();
    }
    const QStringList& cells = table.at(row);
    return column < cells.size() ? cells.at(column) : QString();
}
