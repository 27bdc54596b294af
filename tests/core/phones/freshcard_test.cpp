#include "core/common/random.h"
#include "core/phones/freshcard.h"
#include "phonetesting.h"

#include <gtest/gtest.h>
#include <map>

using namespace phonetesting;

namespace {

// As a printed normal card: the mark in the centre; every eligible participant once before any
// comes again; the excluded never.
TEST(FreshCard, IsDealtAsANormalCardWithTheMark) {
    const struct { int Named, Side, Excluded; } cases[] = {{25, 5, 3}, {11, 5, 11}, {90, 9, 50}, {9, 3, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Named << " named, side " << c.Side);
        const RosterTable roster = SecretRoster(c.Named, {c.Excluded});
        ClockSeededFractions random(99);
        FreshCardOrigin origin;
        origin.Side = c.Side;
        origin.RosterPath = QStringLiteral("/x/Sample01.txt");
        const QDateTime issued(QDate(2026, 12, 24), QTime(19, 0));
        const std::optional<RecordedCard> card =
            DealFreshCard(roster, random, origin, 7, issued, QStringLiteral("t"));
        ASSERT_TRUE(card.has_value());
        EXPECT_EQ(card->Number, 7);
        EXPECT_EQ(card->Issued, issued);
        EXPECT_EQ(card->Token, QStringLiteral("t"));
        EXPECT_EQ(card->Layout, QStringLiteral("スマートフォン"));
        EXPECT_EQ(card->RosterPath, origin.RosterPath);
        const int n = c.Side;
        ASSERT_EQ(card->Cells.size(), static_cast<size_t>(n * n));
        const size_t centre = static_cast<size_t>(n * n / 2);
        EXPECT_TRUE(card->Cells[centre].IsMark());
        const int eligible = c.Named - 1;
        std::map<qint16, int> seen;
        for (size_t k = 0; k < card->Cells.size(); ++k) {
            if (k == centre) {
                continue;
            }
            const RecordedCell& cell = card->Cells[k];
            EXPECT_FALSE(cell.Centre);
            EXPECT_NE(cell.Row, c.Excluded);
            EXPECT_EQ(cell.Name, roster.Cell(RosterColumn::Name, cell.Row));
            ++seen[cell.Row];
            // Within the first len(eligible) cells nobody twice.
            if (static_cast<int>(k) < eligible) {
                EXPECT_EQ(seen[cell.Row], 1) << k;
            }
        }
        const int cells = n * n - 1;
        EXPECT_EQ(static_cast<int>(seen.size()), std::min(cells, eligible));
    }
}

TEST(FreshCard, NothingWithoutAnyoneEligibleOrOnAnOddSide) {
    ClockSeededFractions random(1);
    FreshCardOrigin origin;
    EXPECT_FALSE(DealFreshCard(SecretRoster(1, {1}), random, origin, 1, {}, {}).has_value());
    origin.Side = 4;
    EXPECT_FALSE(DealFreshCard(SecretRoster(30), random, origin, 1, {}, {}).has_value());
}

} // namespace
