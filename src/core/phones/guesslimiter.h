#pragma once

#include <QHash>
#include <QString>
#include <deque>

class Clock;

// Counts the unknown cards each address asks for. An address that makes too many guesses within
// the window is blocked for a while: at 10 guesses a minute a 144-bit token stays out of reach.
// The book stays small: an address is forgotten once its guesses and its block have passed, and
// at most kAddresses are followed at once (the oldest quiet one makes room).
class GuessLimiter {
public:
    static constexpr int kAddresses = 4096;

    GuessLimiter(const Clock& clock, int guesses, int windowMs, int blockMs);

    bool IsBlocked(const QString& address);
    // Counts a guess; true when it has just blocked the address.
    bool CountGuess(const QString& address);

private:
    struct Book {
        std::deque<qint64> Times; // of the guesses within the window
        qint64 BlockedUntil = 0;
    };
    void Forget(qint64 now);

    const Clock& m_clock;
    int m_guesses;
    int m_windowMs;
    int m_blockMs;
    QHash<QString, Book> m_books;
};
