#include "core/record/roomstanding.h"

#include "core/roster/roster.h"

#include <algorithm>

RoomStanding::RoomStanding(const RosterTable& roster)
    : m_roster(roster), m_places(RosterTable::kCapacity + 1), m_drawn(RosterTable::kCapacity + 1, 0) {}

bool RoomStanding::Counts(const RecordedCell& cell) {
    if (cell.Row < 1 || cell.Row > RosterTable::kCapacity) {
        return false;
    }
    const QString& now = m_roster.Cell(RosterColumn::Name, cell.Row);
    return cell.Name == now || SamePerson(cell.Name, now);
}

RoomStanding::State RoomStanding::StateOf(const Card& card) {
    if (card.FullLines > 0) {
        return State::Bingo;
    }
    return card.ReachLines > 0 ? State::Reach : State::None;
}

void RoomStanding::Counted(State before, const Card& card) {
    const State after = StateOf(card);
    if (before == after) {
        return;
    }
    m_reaches += (after == State::Reach ? 1 : 0) - (before == State::Reach ? 1 : 0);
    if (after == State::Bingo) {
        m_bingoOrder.push_back(card.Number);
    } else if (before == State::Bingo) {
        std::erase(m_bingoOrder, card.Number);
    }
}

void RoomStanding::Mark(Card& card, int cell, bool marked) {
    if (card.Marked.test(static_cast<size_t>(cell)) == marked) {
        return;
    }
    card.Marked.set(static_cast<size_t>(cell), marked);
    const int n = card.Side;
    const int i = cell / n;
    const int j = cell % n;
    const auto touch = [&](int line) {
        quint8& count = card.LineMarks[static_cast<size_t>(line)];
        const int before = count;
        count = static_cast<quint8>(marked ? before + 1 : before - 1);
        card.FullLines += (count == n ? 1 : 0) - (before == n ? 1 : 0);
        card.ReachLines += (count == n - 1 ? 1 : 0) - (before == n - 1 ? 1 : 0);
    };
    touch(i);
    touch(n + j);
    if (i == j) {
        touch(2 * n);
    }
    if (i + j == n - 1) {
        touch(2 * n + 1);
    }
}

void RoomStanding::Add(const RecordedCard& recorded) {
    const int n = recorded.Side;
    if (recorded.Status != CardStatus::Given || n < 1 || n > 9 ||
        recorded.Cells.size() != static_cast<size_t>(n * n) || m_numbers.contains(recorded.Number)) {
        return;
    }
    m_numbers.insert(recorded.Number);
    Card card;
    card.Number = recorded.Number;
    card.Side = n;
    card.LineMarks.assign(static_cast<size_t>(2 * n + 2), 0);
    const quint32 index = static_cast<quint32>(m_cards.size());
    for (int k = 0; k < n * n; ++k) {
        const RecordedCell& cell = recorded.Cells[static_cast<size_t>(k)];
        if (cell.IsMark()) {
            Mark(card, k, true);
        } else if (Counts(cell)) {
            m_places[static_cast<size_t>(cell.Row)].push_back({index, static_cast<quint8>(k)});
            if (m_drawn[static_cast<size_t>(cell.Row)] > 0) {
                Mark(card, k, true);
            }
        }
    }
    m_cards.push_back(std::move(card));
    Counted(State::None, m_cards.back());
}

void RoomStanding::Opened(qint16 row) {
    if (row < 1 || row > RosterTable::kCapacity || m_drawn[static_cast<size_t>(row)]++ > 0) {
        return;
    }
    for (const Place& place : m_places[static_cast<size_t>(row)]) {
        Card& card = m_cards[place.Card];
        const State before = StateOf(card);
        Mark(card, place.Cell, true);
        Counted(before, card);
    }
}

void RoomStanding::Closed(qint16 row) {
    if (row < 1 || row > RosterTable::kCapacity || m_drawn[static_cast<size_t>(row)] == 0 ||
        --m_drawn[static_cast<size_t>(row)] > 0) {
        return;
    }
    for (const Place& place : m_places[static_cast<size_t>(row)]) {
        Card& card = m_cards[place.Card];
        const State before = StateOf(card);
        Mark(card, place.Cell, false);
        Counted(before, card);
    }
}

QString RoomStanding::Words() const {
    return QStringLiteral("リーチ %1 枚・ビンゴ %2 枚").arg(m_reaches).arg(Bingos());
}
