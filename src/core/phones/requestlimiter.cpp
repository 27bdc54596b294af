#include "core/phones/requestlimiter.h"

#include "core/common/timing.h"

#include <algorithm>

RequestLimiter::RequestLimiter(const Clock& clock, int perSecond, int burst)
    : m_clock(clock), m_perMs(std::max(perSecond, 1) / 1000.0), m_burst(std::max(burst, 1)) {}

double RequestLimiter::LeftOf(const Book& book, qint64 now) const {
    return std::min(m_burst, book.Left + static_cast<double>(std::max<qint64>(0, now - book.At)) * m_perMs);
}

bool RequestLimiter::Take(const QString& address) {
    const qint64 now = m_clock.NowMs();
    auto it = m_books.find(address);
    if (it == m_books.end()) {
        if (m_books.size() >= kAddresses) {
            Forget(now);
        }
        it = m_books.insert(address, Book{m_burst, now});
    }
    it->Left = LeftOf(*it, now);
    it->At = now;
    if (it->Left < 1) {
        return false;
    }
    it->Left -= 1;
    return true;
}

void RequestLimiter::Forget(qint64 now) {
    for (auto it = m_books.begin(); it != m_books.end();) {
        it = LeftOf(*it, now) >= m_burst ? m_books.erase(it) : std::next(it);
    }
    if (m_books.size() >= kAddresses) {
        // Everyone is busy: the one closest to a whole allowance goes.
        auto most = m_books.begin();
        for (auto it = m_books.begin(); it != m_books.end(); ++it) {
            if (LeftOf(*it, now) > LeftOf(*most, now)) {
                most = it;
            }
        }
        m_books.erase(most);
    }
}
