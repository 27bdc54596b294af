#pragma once

#include "core/record/cardrecord.h"

#include <QSet>
#include <QString>
#include <bitset>
#include <vector>

class RosterTable;

// The room's standing as the panels open: how many of the recorded cards (printed and dealt to
// phones) reach, how many have bingo, and the bingo cards in the order they completed (the first
// bingo first). Built once from the cards; each panel that opens or closes touches only the cells
// that show its participant. A cell counts only while its row names the participant printed in
// it (SamePerson); the mark counts from the start. Cards not printed or given up do not count.
class RoomStanding {
public:
    explicit RoomStanding(const RosterTable& roster);

    // Adds a card (one dealt to a phone during the game, too); the rows drawn already count on it.
    // A number already held is not added again.
    void Add(const RecordedCard& card);
    // A participant's panel opened, or closed by hand.
    void Opened(qint16 row);
    void Closed(qint16 row);

    int Cards() const { return static_cast<int>(m_cards.size()); }
    // Cards with a reach and no bingo.
    int Reaches() const { return m_reaches; }
    int Bingos() const { return static_cast<int>(m_bingoOrder.size()); }
    // The numbers of the cards with bingo, the first to complete first.
    const std::vector<int>& BingoOrder() const { return m_bingoOrder; }
    // "リーチ n 枚・ビンゴ n 枚"
    QString Words() const;

private:
    struct Card {
        int Number = 0;
        int Side = 0;
        std::bitset<81> Marked;
        std::vector<quint8> LineMarks; // rows, then columns, then the two diagonals
        int FullLines = 0;
        int ReachLines = 0;
    };
    struct Place {
        quint32 Card;
        quint8 Cell;
    };
    enum class State { None, Reach, Bingo };

    static State StateOf(const Card& card);
    void Mark(Card& card, int cell, bool marked);
    void Counted(State before, const Card& card);
    bool Counts(const RecordedCell& cell);

    const RosterTable& m_roster;
    std::vector<Card> m_cards;
    std::vector<std::vector<Place>> m_places; // by row: the cells showing that participant
    std::vector<int> m_drawn;                 // by row: how many open panels show them
    std::vector<int> m_bingoOrder;
    QSet<int> m_numbers; // of the cards held, to add none twice
    int m_reaches = 0;
};
