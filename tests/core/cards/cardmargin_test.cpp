#include "core/cards/cardmargin.h"

#include <gtest/gtest.h>

namespace {

bool overlap(const MmRect& a, const MmRect& b) {
    return a.X < b.X + b.Width && b.X < a.X + a.Width && a.Y < b.Y + b.Height && b.Y < a.Y + a.Height;
}

// On every layout the number and the QR code lie in the card's own margin, never over a cell,
// another card or each other; the code keeps its quiet zone from the card, stays inside what every
// printer prints, and is as large as the widest margin allows.
TEST(CardMargin, NumberAndQrStayInTheMarginOnEveryLayout) {
    const MmUnits textWidth = ToUnits(16); // "No.0001" at 9 pt, with room to spare
    const MmUnits textHeight = ToUnits(3.5);
    const MmUnits edge = ToUnits(kPrintableEdgeMm);
    for (int index = 0; index < static_cast<int>(PaperLayouts().size()); ++index) {
        const PaperLayout& layout = PaperLayouts().at(static_cast<size_t>(index));
        const std::vector<MmPoint> origins = CardOrigins(layout);
        const MmPoint page = PageSize(layout);
        int rows = 0;
        for (const MmPoint& o : origins) {
            rows += o.X == origins.front().X ? 1 : 0;
        }
        const int columns = static_cast<int>(origins.size()) / rows;
        for (const MmPoint& origin : origins) {
            const MmUnits shareTop = origin.Y / (page.Y / rows) * (page.Y / rows);
            const MmUnits shareLeft = origin.X / (page.X / columns) * (page.X / columns);
            const MmRect share{shareLeft, shareTop, page.X / columns, page.Y / rows};
            const MmRect card{origin.X, origin.Y, layout.CardSide, layout.CardSide};
            const MmRect number = CardNumberPlace(origin, layout.CardSide, textWidth, textHeight);
            const MmRect qr = CardQrPlace(layout, origin);
            EXPECT_LE(number.Y + number.Height, origin.Y - ToUnits(kMarginGapMm)) << index;
            EXPECT_EQ(number.X + number.Width, origin.X + layout.CardSide) << index; // flush right
            EXPECT_GE(number.Y, shareTop + edge) << index;
            EXPECT_FALSE(overlap(qr, number)) << index;
            const MmUnits gap = ToUnits(kCardQrGapMm);
            EXPECT_FALSE(
                overlap(MmRect{qr.X - gap, qr.Y - gap, qr.Width + 2 * gap, qr.Height + 2 * gap}, card))
                << index;
            EXPECT_GE(qr.X, share.X + edge) << index;
            EXPECT_GE(qr.Y, share.Y + edge) << index;
            EXPECT_LE(qr.X + qr.Width, share.X + share.Width - edge) << index;
            EXPECT_LE(qr.Y + qr.Height, share.Y + share.Height - edge) << index;
            EXPECT_EQ(qr.Width, ToUnits(kCardQrLargestMm)) << index;
            EXPECT_EQ(qr.Height, qr.Width) << index;
        }
    }
    EXPECT_EQ(CardNumberText(1), QStringLiteral("No.0001"));
    EXPECT_EQ(CardNumberText(12345), QStringLiteral("No.12345"));
}

} // namespace
