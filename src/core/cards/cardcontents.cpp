#include "core/cards/cardcontents.h"

#include "core/common/blank.h"
#include "core/common/platform.h"
#include "core/record/recordfile.h"
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

CardRunPlanner::CardRunPlanner(const CardRunValues& values, const RosterTable& roster)
    : m_values(values), m_roster(roster), m_counter(StartCounter(values.DesignatedRow)),
      m_fingerprint(RosterFingerprint(roster)) {}

PlannedSheet CardRunPlanner::NextSheet(FractionSource& random, int cardsPerSheet) {
    const int n = m_values.FramesPerSide;
    const int centre = (n + 1) / 2;
    PlannedSheet sheet;
    for (int k = 0; k < cardsPerSheet; ++k) {
        RecordedCard& card = sheet.Cards.emplace_back();
        card.Fingerprint = m_fingerprint;
        card.Layout = m_values.Layout().Text;
        card.Side = n;
        card.Cells.resize(static_cast<size_t>(n * n));
        const auto keep = [&](int i, int j, qint16 row, bool isCentre) {
            QString name;
            if (isCentre && row == 0) {
                name = CentreMark();
            } else if (row >= 1 && row <= RosterTable::kCapacity) {
                name = m_roster.Cell(RosterColumn::Name, row);
            }
            card.Cells[static_cast<size_t>((i - 1) * n + (j - 1))] = RecordedCell{row, name, isCentre};
        };
        const qint16 centreRow =
            ChooseCentreRow(m_values.Centre, m_values.DesignatedRow, m_roster, m_counter);
        if (centreRow >= 0 && centreRow <= RosterTable::kCapacity) {
            keep(centre, centre, centreRow, true);
        } else {
            card.Cells[static_cast<size_t>((centre - 1) * n + (centre - 1))].Centre = true; // nothing in it
        }
        if (m_values.Mode == CardMode::Normal &&
            !FillNormalCardRows(m_roster, random, n, centreRow,
                                [&](int i, int j, qint16 row) { keep(i, j, row, false); })) {
            sheet.Failed = true;
        }
    }
    return sheet;
}

bool CardsRepeatPeople(const CardRunValues& values, const RosterTable& roster, int& eligible) {
    RowPool pool;
    CollectEligibleRows(roster, pool,
                        values.Centre == CentreOption::FixedRow ? values.DesignatedRow : qint16(0));
    eligible = pool.Count;
    // Counting up, each card leaves its own centre participant out of its other cells.
    const int around = pool.Count - (values.Centre == CentreOption::CountUp && pool.Count > 0 ? 1 : 0);
    const int cells = values.FramesPerSide * values.FramesPerSide - 1;
    return values.Mode == CardMode::Normal && around > 0 && around < cells;
}

bool SameCardChoices(const CardRunValues& a, const CardRunValues& b) {
    return a.Mode == b.Mode && a.FramesPerSide == b.FramesPerSide && a.LayoutIndex == b.LayoutIndex &&
           a.Centre == b.Centre && a.DesignatedRow == b.DesignatedRow;
}
