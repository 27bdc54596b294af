#include "core/phones/freshcard.h"

#include "core/cards/cardcontents.h"
#include "core/roster/roster.h"

std::optional<RecordedCard> DealFreshCard(const RosterTable& roster, FractionSource& random,
                                          const FreshCardOrigin& origin, int number, const QDateTime& issued,
                                          const QString& token) {
    const int n = origin.Side;
    if (n < 1 || n > 9 || n % 2 == 0) {
        return std::nullopt;
    }
    RecordedCard card;
    card.Number = number;
    card.Issued = issued;
    card.RosterPath = origin.RosterPath;
    card.Fingerprint = origin.Fingerprint;
    card.Layout = origin.Layout;
    card.Side = n;
    card.Token = token;
    card.Cells.resize(static_cast<size_t>(n * n));
    // The phone's centre is always the mark: no designated row and no count-up to carry.
    qint16 counter = 0;
    const qint16 centreRow = ChooseCentreRow(CentreOption::Mark, 0, roster, counter);
    const int centre = (n + 1) / 2;
    const CellContent centreContent = CentreContent(roster, QString(), centreRow);
    card.Cells[static_cast<size_t>((centre - 1) * n + centre - 1)] = {centreRow, centreContent.Text, true};
    const bool filled = FillNormalCardRows(roster, random, n, centreRow, [&](int i, int j, qint16 row) {
        card.Cells[static_cast<size_t>((i - 1) * n + j - 1)] = {row, roster.Cell(RosterColumn::Name, row),
                                                                false};
    });
    if (!filled) {
        return std::nullopt;
    }
    return card;
}
