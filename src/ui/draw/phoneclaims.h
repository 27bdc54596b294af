#pragma once

#include <deque>

class CardChecker;
class PhoneJoin;
class QLabel;
class QWidget;

// Bingo called from a phone: told to the organiser in the draw screen's top band, small, not to
// the room, with whether the card holds a line; K opens カード確認 on the oldest claim.
class PhoneClaims {
public:
    PhoneClaims(const PhoneJoin& phones, CardChecker& checker, QWidget* screen);

    void Take(int number);
    // Shows the claims waiting at the top right of the screen (again after a panel opened or
    // closed: it may change what a claim holds).
    void Show();
    bool IsEmpty() const { return m_claims.empty(); }
    // Checks the card of the oldest claim.
    void CheckOldest();

private:
    const PhoneJoin& m_phones;
    CardChecker& m_checker;
    QWidget* m_screen;
    QLabel* m_notice = nullptr; // a child of the screen
    std::deque<int> m_claims;   // card numbers called from phones, not yet checked
};
