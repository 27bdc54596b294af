#include "core/cards/cardmargin.h"

#include <gtest/gtest.h>

namespace {

// On every layout the number and the QR code lie in the card's own margin: above the card, below
// the top of its share of the page, apart from each other.
TEST(CardMargin, NumberAndQrStayInTheMarginOnEveryLayout) {
    const MmUnits textWidth = ToUnits(16); // "No.0001" at 9 pt, with room to spare
    const MmUnits textHeight = ToUnits(3.5);
    for (int index = 0; index < static_cast<int>(PaperLayouts().size()); ++index) {
        const PaperLayout& layout = PaperLayouts().at(static_cast<size_t>(index));
        const std::vector<MmPoint> origins = CardOrigins(layout);
        const MmPoint page = PageSize(layout);
        int rows = 0;
        for (const MmPoint& o : origins) {
            rows += o.X == origins.front().X ? 1 : 0;
        }
        for (const MmPoint& origin : origins) {
            const MmUnits shareTop = origin.Y / (page.Y / rows) * (page.Y / rows);
            const MmRect number = CardNumberPlace(origin, layout.CardSide, textWidth, textHeight);
            const MmRect qr = CardQrPlace(origin);
            for (const MmRect& r : {number, qr}) {
                EXPECT_LE(r.Y + r.Height, origin.Y - ToUnits(kMarginGapMm)) << index; // never over a cell
                EXPECT_GE(r.Y, shareTop) << index; // never over another card
                EXPECT_GE(r.X, origin.X) << index;
                EXPECT_LE(r.X + r.Width, origin.X + layout.CardSide) << index;
            }
            EXPECT_LE(qr.X + qr.Width, number.X) << index; // side by side, apart
            EXPECT_EQ(number.X + number.Width,
                      origin.X + layout.CardSide); // flush with the card's right edge
        }
    }
    EXPECT_EQ(CardNumberText(1), QStringLiteral("No.0001"));
    EXPECT_EQ(CardNumberText(12345), QStringLiteral("No.12345"));
}

} // namespace
