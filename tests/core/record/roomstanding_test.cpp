// The room's standing, followed panel by panel, against a count made afresh from every card's own
// check after each step.
#include "core/record/roomstanding.h"
#include "core/roster/roster.h"

#include <gtest/gtest.h>
#include <random>

namespace {

TEST(RoomStanding, AgreesWithACountOfEveryCardAfterEachPanel) {
    std::mt19937 pick(2026);
    RosterTable roster;
    const int people = 40; // fewer than a 9 × 9 card's cells: people repeat on a card
    for (int r = 1; r <= people; ++r) {
        roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
    }
    std::vector<RecordedCard> cards;
    for (int number = 1; number <= 300; ++number) {
        RecordedCard card;
        card.Number = number;
        card.Side = 3 + 2 * static_cast<int>(pick() % 4);
        for (int k = 0; k < card.Side * card.Side; ++k) {
            const bool centre = k == card.Side * card.Side / 2;
            const qint16 row = static_cast<qint16>(1 + pick() % people);
            card.Cells.push_back(centre && number % 3 == 0
                                     ? RecordedCell{0, QStringLiteral("★"), true}
                                     : RecordedCell{row, roster.Cell(RosterColumn::Name, row), centre});
        }
        card.Status = number % 50 == 0 ? CardStatus::NotPrinted : CardStatus::Given;
        cards.push_back(card);
    }
    // Printed before two rows changed: row 7 given to someone else, row 8's name corrected.
    roster.SetCell(RosterColumn::Name, 7, QStringLiteral("別の人"));
    roster.SetCell(RosterColumn::Name, 8, QStringLiteral("参加者8さ"));

    RoomStanding standing(roster);
    for (size_t c = 0; c < cards.size() / 2; ++c) {
        standing.Add(cards[c]);
    }
    std::set<qint16> drawn;
    std::vector<int> expectedOrder;
    for (int step = 0; step < 120; ++step) {
        if (step == 30) {
            for (size_t c = cards.size() / 2; c < cards.size(); ++c) {
                standing.Add(cards[c]); // dealt while the game goes on
            }
        }
        const qint16 row = static_cast<qint16>(1 + pick() % people);
        if (drawn.count(row) && pick() % 3 == 0) {
            drawn.erase(row);
            standing.Closed(row);
        } else if (!drawn.count(row)) {
            drawn.insert(row);
            standing.Opened(row);
        }
        int reaches = 0;
        std::vector<int> bingos;
        for (size_t c = 0; c < (step < 30 ? cards.size() / 2 : cards.size()); ++c) {
            if (cards[c].Status != CardStatus::Given) {
                continue;
            }
            const CardVerdict v = CheckCard(cards[c], drawn, &roster);
            reaches += v.Lines == 0 && v.Reaches > 0 ? 1 : 0;
            if (v.Lines > 0) {
                bingos.push_back(cards[c].Number);
            }
        }
        // The order: cards still with bingo keep their places; those new to it follow, in any
        // order among themselves (they completed on the same panel).
        std::erase_if(expectedOrder,
                      [&](int n) { return std::find(bingos.begin(), bingos.end(), n) == bingos.end(); });
        ASSERT_EQ(standing.Reaches(), reaches) << "step " << step;
        ASSERT_EQ(standing.Bingos(), static_cast<int>(bingos.size())) << "step " << step;
        const std::vector<int>& order = standing.BingoOrder();
        ASSERT_TRUE(std::equal(expectedOrder.begin(), expectedOrder.end(), order.begin())) << "step " << step;
        std::vector<int> fresh(order.begin() + static_cast<std::ptrdiff_t>(expectedOrder.size()),
                               order.end());
        std::vector<int> expectedFresh;
        std::copy_if(bingos.begin(), bingos.end(), std::back_inserter(expectedFresh), [&](int n) {
            return std::find(expectedOrder.begin(), expectedOrder.end(), n) == expectedOrder.end();
        });
        std::sort(fresh.begin(), fresh.end());
        ASSERT_EQ(fresh, expectedFresh) << "step " << step;
        expectedOrder = order;
    }
    EXPECT_GT(standing.Bingos(), 0);
    EXPECT_EQ(standing.Words(),
              QStringLiteral("リーチ %1 枚・ビンゴ %2 枚").arg(standing.Reaches()).arg(standing.Bingos()));
}

} // namespace
