#pragma once

#include "core/draw/drawlistener.h"
#include "core/record/roomstanding.h"

#include <QString>
#include <memory>

class CardChecker;
class DrawSequence;
class QLabel;
class QObject;
class QWidget;
struct ProgramState;

// The room's standing on the draw screen (key S and the screen's menu; off until asked for):
// "リーチ n 枚・ビンゴ n 枚" after each panel, over every card of the card record (printed and
// dealt to phones), and the numbers of the bingo cards in the order they completed, each a button
// that opens カード確認 on its card. It sits in the screen's bottom right corner, over the grid,
// in the room's type.
class StandingBoard : private DrawListener {
public:
    StandingBoard(const ProgramState& state, DrawSequence& sequence, CardChecker& checker, QWidget* screen);
    ~StandingBoard() override;

    void Toggle();
    bool IsShown() const;
    // What the board says: the words, then the bingo numbers.
    QString Text() const;

    // The most bingo numbers shown; more are counted.
    static constexpr int kMostNumbers = 12;

private:
    void PanelOpened(qint16 row, int panel, bool byHand) override;
    void PanelClosed(qint16 row, int panel) override;
    // Takes in the cards recorded since (all of them the first time); false, with the reason on
    // the board, when the record cannot be read.
    bool TakeCards();
    void Update();
    void Place();

    const ProgramState& m_state;
    DrawSequence& m_sequence;
    CardChecker& m_checker;
    QWidget* m_screen;
    QWidget* m_box = nullptr; // a child of the screen
    QObject* m_placer = nullptr;
    QLabel* m_words = nullptr;
    QWidget* m_numbers = nullptr;
    std::unique_ptr<RoomStanding> m_standing;
    size_t m_cardsTaken = 0;
    QString m_refusal;
};
