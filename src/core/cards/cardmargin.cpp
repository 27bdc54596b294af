#include "core/cards/cardmargin.h"

QString CardNumberText(int number) {
    return QStringLiteral("No.%1").arg(number, 4, 10, QLatin1Char('0'));
}

MmRect CardNumberPlace(MmPoint origin, MmUnits side, MmUnits textWidth, MmUnits textHeight) {
    return MmRect{origin.X + side - textWidth, origin.Y - ToUnits(kMarginGapMm) - textHeight, textWidth,
                  textHeight};
}

MmRect CardQrPlace(MmPoint origin) {
    const MmUnits qr = ToUnits(kCardQrSideMm);
    return MmRect{origin.X, origin.Y - ToUnits(kMarginGapMm) - qr, qr, qr};
}
