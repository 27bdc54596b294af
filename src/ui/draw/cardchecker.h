#pragma once

#include "core/record/cardrecord.h"

#include <QString>
#include <optional>
#include <set>

class DrawSequence;
class ScreenBoxes;
struct ProgramState;
struct Services;

// カード確認 on the draw screen: a numbered card, by its number, shown large as printed with the
// participants drawn so far marked and the verdict in words.
class CardChecker {
public:
    CardChecker(ProgramState& state, Services& services, const DrawSequence& sequence, ScreenBoxes& boxes);

    // Asks for the number, then checks the card.
    void Ask();
    void Check(int number);

    // The rows on open panels.
    std::set<qint16> DrawnRows() const;

private:
    std::optional<RecordedCard> RecordedCardOf(int number, QString& refusal) const;

    ProgramState& m_state;
    Services& m_services;
    const DrawSequence& m_sequence;
    ScreenBoxes& m_boxes;
};
