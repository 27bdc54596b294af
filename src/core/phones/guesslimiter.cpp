#include "core/phones/guesslimiter.h"

#include "core/common/timing.h"

#include <algorithm>

GuessLimiter::GuessLimiter(const Clock& clock, int guesses, int windowMs, int blockMs)
    : m_clock(clock), m_guesses(guesses), m_windowMs(windowMs), m_blockMs(blockMs) {}

bool GuessLimiter::IsBlocked(const QString& address) {
    const auto it = m_books.constFind(address);
    return it != m_books.constEnd() && it->BlockedUntil > m_clock.NowMs();
}

bool GuessLimiter::CountGuess(const QString& address) {
    const qint64 now = m_clock.NowMs();
    if (!m_books.contains(address) && m_books.size() >= kAddresses) {
        Forget(now);
    }
    Book& book = m_books[address];
    while (!book.Times.empty() && book.Times.front() <= now - m_windowMs) {
        book.Times.pop_front();
    }
    book.Times.push_back(now);
    if (static_cast<int>(book.Times.size()) >= m_guesses && book.BlockedUntil <= now) {
        book.BlockedUntil = now + m_blockMs;
        book.Times.clear();
        return true;
    }
    return false;
}

void GuessLimiter::Forget(qint64 now) {
    for (auto it = m_books.begin(); it != m_books.end();) {
        const bool quiet =
            it->BlockedUntil <= now && (it->Times.empty() || it->Times.back() <= now - m_windowMs);
        it = quiet ? m_books.erase(it) : std::next(it);
    }
    if (m_books.size() >= kAddresses) {
        // Everyone is busy guessing: the book that ends soonest goes.
        const auto ends = [](const Book& book) {
            return std::max(book.BlockedUntil, book.Times.empty() ? 0 : book.Times.back());
        };
        auto first = m_books.begin();
        for (auto it = m_books.begin(); it != m_books.end(); ++it) {
            if (ends(*it) < ends(*first)) {
                first = it;
            }
        }
        m_books.erase(first);
    }
}
