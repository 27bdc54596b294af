#include "core/record/recordedcard.h"

#include "core/cards/cardcontents.h"
#include "core/cards/cardrenderer.h"
#include "core/roster/roster.h"

#include <QPainter>

void DrawRecordedCard(QPainter& painter, CardRenderer& renderer, const RecordedCard& card,
                      const RosterTable& roster, const QString& picturesFolder, MmPoint origin, MmUnits side,
                      const std::vector<bool>& marked) {
    const int n = card.Side;
    const MmUnits c = CellSide(side, n);
    const double dpmX = painter.device()->logicalDpiX() / 25.4;
    const double dpmY = painter.device()->logicalDpiY() / 25.4;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const size_t k = static_cast<size_t>((i - 1) * n + (j - 1));
            const RecordedCell& cell = card.Cells.at(k);
            CellContent content;
            content.Text = cell.Name;
            if (cell.Row > 0) {
                content.PhotoPath = RowContent(roster, picturesFolder, cell.Row).PhotoPath;
            }
            const MmPoint at = CellOrigin(origin, c, i, j);
            renderer.DrawCell(painter, at, c, content);
            if (k < marked.size() && marked[k]) {
                painter.save();
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(230, 30, 30, 110));
                const double inset = ToMillimetres(c) * 0.08;
                painter.drawEllipse(
                    QRectF((ToMillimetres(at.X) + inset) * dpmX, (ToMillimetres(at.Y) + inset) * dpmY,
                           (ToMillimetres(c) - 2 * inset) * dpmX, (ToMillimetres(c) - 2 * inset) * dpmY));
                painter.restore();
            }
        }
    }
    renderer.DrawGrid(painter, origin, side, n);
}
