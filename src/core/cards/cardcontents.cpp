#include "core/cards/cardcontents.h"

#include "core/common/blank.h"
#include "core/common/platform.h"
#include "core/roster/pool.h"
#include "core/roster/roster.h"

CellContent RowContent(const RosterTable& roster, const QString& picturesFolder, int row) {
    CellContent content;
    content.Text = roster.Cell(RosterColumn::Name, row);
    const QString& photo = roster.Cell(RosterColumn::Photo, row);
    if (!photo.isEmpty()) {
        content.PhotoPath = JoinPath(picturesFolder, photo);
    }
    return content;
}

qint16 ChooseCentreRow(CentreOption option, qint16 designatedRow, const RosterTable& roster,
                       qint16& counter) {
    switch (option) {
    case CentreOption::Mark:
        return 0;
    case CentreOption::FixedRow:
        return designatedRow;
    case CentreOption::CountUp:
        break;
    }
    for (int step = 0; step < RosterTable::kCapacity; ++step) {
        counter = static_cast<qint16>(counter + 1);
        if (counter > RosterTable::kCapacity) {
            counter = 1;
        }
        // A counter below 0 cannot come from a run: the screen refuses such a designated row.
        if (counter >= 0 && !IsBlank(roster.Cell(RosterColumn::Name, counter))) {
            return counter;
        }
    }
    counter = 0;
    return 0;
}

CellContent CentreContent(const RosterTable& roster, const QString& picturesFolder, qint16 centreRow) {
    if (centreRow == 0) {
        return {CentreMark(), QString()};
    }
    if (centreRow >= 1 && centreRow <= RosterTable::kCapacity) {
        return RowContent(roster, picturesFolder, centreRow);
    }
    return {};
}

bool FillNormalCard(const RosterTable& roster, const QString& picturesFolder, FractionSource& random, int n,
                    qint16 centreRow, const DrawCellFunction& drawCell) {
    return FillNormalCardRows(roster, random, n, centreRow, [&](int i, int j, qint16 row) {
        drawCell(i, j, RowContent(roster, picturesFolder, row));
    });
}

bool FillNormalCardRows(const RosterTable& roster, FractionSource& random, int n, qint16 centreRow,
                        const PickCellFunction& pickCell) {
    RowPool pool;
    CollectEligibleRows(roster, pool, centreRow);
    if (pool.Count <= 0) {
        return false;
    }
    const int centre = (n + 1) / 2;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (i == centre && j == centre) {
                continue;
            }
            if (pool.Count == 0) {
                CollectEligibleRows(roster, pool, centreRow);
            }
            pickCell(i, j, TakeRandomEntry(random, pool));
        }
    }
    return true;
}
