#pragma once

#include "core/cards/cardsettings.h"
#include "core/record/cardrecord.h"
#include "core/roster/roster.h"

#include <QString>
#include <functional>
#include <vector>

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

// The cards of one sheet, chosen and not yet printed: each card's cells as the record keeps them
// (row, name as printed, centre), in reading order.
struct PlannedSheet {
    std::vector<RecordedCard> Cards;
    bool Failed = false; // a normal card on it found nobody: the run ends with this sheet
};

// Chooses the cards of a run sheet by sheet, with every random pick and the count-up counter, in
// the order a run prints them. The preview and the run share one: the sheets the preview showed
// are the sheets the run prints, and the run goes on choosing where the preview stopped.
class CardRunPlanner {
public:
    CardRunPlanner(const CardRunValues& values, const RosterTable& roster);

    const CardRunValues& Values() const { return m_values; }
    // The roster as it was when the run was chosen (the planner keeps its own copy).
    const RosterTable& Roster() const { return m_roster; }
    // The next sheet of cardsPerSheet cards.
    PlannedSheet NextSheet(FractionSource& random, int cardsPerSheet);

private:
    CardRunValues m_values;
    RosterTable m_roster;
    qint16 m_counter;
    QString m_fingerprint;
};

// Whether two runs choose their cards alike (kind, grid, layout, centre): the sheets and the text
// colour may differ.
bool SameCardChoices(const CardRunValues& a, const CardRunValues& b);

// Whether a normal card of the run must show someone twice: fewer eligible participants than the
// cells around the centre. eligible receives how many there are.
bool CardsRepeatPeople(const CardRunValues& values, const RosterTable& roster, int& eligible);
