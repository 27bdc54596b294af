#include "core/transfer/texttable.h"

#include "core/transfer/rostercsv.h"

#include <algorithm>

namespace {

// Memory of a kept row besides its text: the list, and each cell's slot and allocation.
constexpr qint64 kRowWeight = 64;
constexpr qint64 kCellWeight = 56;

} // namespace

QString SourceTable::Cell(qsizetype index, int column) const {
    if (index < 0 || index >= Rows.size() || column < 0) {
        return QString();
    }
    const QStringList& cells = Rows.at(index).Cells;
    return column < cells.size() ? cells.at(column) : QString();
}

bool SourceTable::IsCut(qsizetype rowNumber, int column) const {
    return std::any_of(Cut.begin(), Cut.end(),
                       [&](const CutCell& c) { return c.Row == rowNumber && c.Column == column; });
}

qsizetype SourceTable::LaterCellsIn(int column) const {
    return column >= 0 && static_cast<size_t>(column) < LaterCells.size() ? LaterCells[column] : 0;
}

bool IsBlankCell(QStringView text) {
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') {
            return false;
        }
    }
    return true;
}

TableBuilder::TableBuilder(SourceTable& table) : m_table(table) {
    m_table = SourceTable();
}

void TableBuilder::AddCell(qsizetype column, QStringView text) {
    if (m_stopped) {
        AddLaterCell(column, IsBlankCell(text));
        return;
    }
    m_rowWidth = std::max(m_rowWidth, column + 1);
    if (column >= kMaxSourceColumns) {
        return;
    }
    const int c = static_cast<int>(column);
    text = StripFormulaGuard(text);
    if (text.size() > kMaxCellLength) {
        // Cut between characters, not inside a pair of surrogates.
        const qsizetype keep =
            text.at(kMaxCellLength - 1).isHighSurrogate() ? kMaxCellLength - 1 : kMaxCellLength;
        text = text.first(keep);
        m_cut.push_back(c);
    }
    while (m_row.size() <= c) {
        m_row.append(QString());
    }
    m_row[c] = text.toString();
}

void TableBuilder::AddLaterCell(qsizetype column, bool blank) {
    m_rowWidth = std::max(m_rowWidth, column + 1);
    if (!blank && column < kMaxSourceColumns) {
        m_filled.push_back(static_cast<int>(column));
    }
}

void TableBuilder::EndRow(qsizetype number) {
    m_table.FileWidth = std::max(m_table.FileWidth, m_rowWidth);
    m_table.Width = static_cast<int>(std::min<qsizetype>(m_table.FileWidth, kMaxSourceColumns));
    m_rowWidth = 0;
    bool hasCell = false;
    if (m_stopped) {
        if (m_filled.size() > 1) { // a column given twice counts once
            std::sort(m_filled.begin(), m_filled.end());
            m_filled.erase(std::unique(m_filled.begin(), m_filled.end()), m_filled.end());
        }
        hasCell = !m_filled.empty();
    } else {
        hasCell =
            std::any_of(m_row.begin(), m_row.end(), [](const QString& cell) { return !IsBlankCell(cell); });
    }
    if (!hasCell) {
        m_row.clear();
        m_filled.clear();
        m_cut.clear();
        return;
    }
    if (!m_stopped) {
        qint64 weight = kRowWeight + kCellWeight * m_row.size();
        for (const QString& cell : std::as_const(m_row)) {
            weight += 2 * cell.size();
        }
        if (m_table.Rows.size() < kMaxKeptRows && m_weight + weight <= kMaxKeptBytes) {
            m_weight += weight;
            for (const int c : m_cut) {
                if (m_table.Cut.size() < kListedCuts) {
                    m_table.Cut.append({number, c});
                }
                ++m_table.CutCount;
            }
            m_table.Rows.append({number, std::move(m_row)});
            m_row = QStringList();
            m_filled.clear();
            m_cut.clear();
            return;
        }
        // The bounds are reached: this row and every one after it are only counted.
        m_stopped = true;
        m_table.FirstLaterRow = number;
        m_filled.clear();
        for (qsizetype c = 0; c < m_row.size(); ++c) {
            if (!IsBlankCell(m_row.at(c))) {
                m_filled.push_back(static_cast<int>(c));
            }
        }
        m_row = QStringList();
        m_cut.clear();
    }
    ++m_table.LaterRows;
    if (m_table.LaterCells.size() < static_cast<size_t>(kMaxSourceColumns)) {
        m_table.LaterCells.resize(kMaxSourceColumns, 0);
    }
    for (const int c : m_filled) {
        ++m_table.LaterCells[static_cast<size_t>(c)];
    }
    m_filled.clear();
}
