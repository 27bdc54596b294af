#pragma once

#include "core/cards/cardsettings.h"

#include <QString>
#include <functional>

class FractionSource;
class RosterTable;

// What one cell of a card shows: a text (possibly empty) and a photo file (possibly empty).
struct CellContent {
    QString Text;
    QString PhotoPath;
    bool operator==(const CellContent&) const = default;
};

// The mark printed in the centre when no participant is chosen for it.
inline QString CentreMark() {
    return QStringLiteral("★");
}

// The cell of roster row r (1..300): its name exactly as stored, and its photo inside the
// pictures folder when the photo cell is not empty.
CellContent RowContent(const RosterTable& roster, const QString& picturesFolder, int row);

// The count-up counter of one run: it starts one before the designated row.
inline qint16 StartCounter(qint16 designatedRow) {
    return static_cast<qint16>(designatedRow - 1);
}

// The centre row of the next card: 0 (the mark), the designated row, or the next named row
// after the counter (wrapping from 300 to 1; 0 and counter := 0 when no row has a name).
qint16 ChooseCentreRow(CentreOption option, qint16 designatedRow, const RosterTable& roster, qint16& counter);

// The centre cell for centre row c: the mark for 0, the row for 1..300, nothing otherwise.
CellContent CentreContent(const RosterTable& roster, const QString& picturesFolder, qint16 centreRow);

// Fills the cells of a normal n × n card other than the centre, in reading order, with eligible
// participants picked at random, never the centre row; the pool is built again whenever it runs
// dry. drawCell(i, j, content) is called right after each pick (i, j from 1). Returns false, having
// drawn nothing, when no participant is eligible.
using DrawCellFunction = std::function<void(int i, int j, const CellContent& content)>;
bool FillNormalCard(const RosterTable& roster, const QString& picturesFolder, FractionSource& random, int n,
                    qint16 centreRow, const DrawCellFunction& drawCell);
// The same fill, told by row: what a record of the card keeps.
using PickCellFunction = std::function<void(int i, int j, qint16 row)>;
bool FillNormalCardRows(const RosterTable& roster, FractionSource& random, int n, qint16 centreRow,
                        const PickCellFunction& pickCell);
