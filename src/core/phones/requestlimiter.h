#pragma once

#include <QHash>
#include <QString>

class Clock;

// How many requests each address may make: a burst (a page with all its photos at once), then a
// steady rate. An address past its allowance is answered 429 until it has waited. The book stays
// small: at most kAddresses at once, and an address whose allowance is whole again is forgotten
// first when room is needed.
class RequestLimiter {
public:
    static constexpr int kAddresses = 4096;

    RequestLimiter(const Clock& clock, int perSecond, int burst);

    // Takes one request of the address from its allowance; false when nothing is left.
    bool Take(const QString& address);

private:
    struct Book {
        double Left = 0;
        qint64 At = 0; // when Left was counted
    };
    double LeftOf(const Book& book, qint64 now) const;
    void Forget(qint64 now);

    const Clock& m_clock;
    double m_perMs;
    double m_burst;
    QHash<QString, Book> m_books;
};
