#include "core/cards/cardmargin.h"

#include <algorithm>

QString CardNumberText(int number) {
    return QStringLiteral("No.%1").arg(number, 4, 10, QLatin1Char('0'));
}

MmRect CardNumberPlace(MmPoint origin, MmUnits side, MmUnits textWidth, MmUnits textHeight) {
    return MmRect{origin.X + side - textWidth, origin.Y - ToUnits(kMarginGapMm) - textHeight, textWidth,
                  textHeight};
}

MmRect CardQrPlace(const PaperLayout& layout, MmPoint origin) {
    // Each card sits in the middle of its share of the sheet: two rows of two, two above each
    // other (portrait) or side by side (landscape), or the whole sheet.
    const MmPoint page = PageSize(layout);
    const int columns =
        layout.CardsPerSheet == 4 || (layout.CardsPerSheet == 2 && layout.Orientation == 2) ? 2 : 1;
    const int rows = layout.CardsPerSheet / columns;
    const MmUnits s = layout.CardSide;
    const MmUnits above = DivideUnits(DivideUnits(page.Y, rows) - s, 2);
    const MmUnits beside = DivideUnits(DivideUnits(page.X, columns) - s, 2);
    const MmUnits room = std::max(above, beside) - ToUnits(kPrintableEdgeMm) - ToUnits(kCardQrGapMm);
    const MmUnits side = std::clamp(room, ToUnits(kCardQrSmallestMm), ToUnits(kCardQrLargestMm));
    const MmUnits gap = ToUnits(kCardQrGapMm);
    if (above >= beside) {
        return MmRect{origin.X, origin.Y - gap - side, side, side};
    }
    return MmRect{origin.X - gap - side, origin.Y, side, side};
}
