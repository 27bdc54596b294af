#include "core/phones/phoneroute.h"

#include "core/phones/cardtoken.h"

#include <QStringList>

namespace {

// Cells are counted from 0 in reading order; the largest card has 9 × 9.
constexpr int kMostCells = 81;

PhoneRoute guess() {
    PhoneRoute route;
    route.Guess = true;
    return route;
}

// A cell index of plain decimal digits without a leading zero.
int cellIndex(const QString& text) {
    if (text.isEmpty() || text.size() > 2 || (text.size() > 1 && text.front() == QLatin1Char('0'))) {
        return -1;
    }
    int value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return -1;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value < kMostCells ? value : -1;
}

} // namespace

PhoneRoute RouteOf(const QString& encodedPath) {
    if (encodedPath == QStringLiteral("/new")) {
        return {PhoneRoute::Kind::FreshCard, {}, -1, false};
    }
    if (encodedPath == QStringLiteral("/favicon.ico")) {
        return {PhoneRoute::Kind::Icon, {}, -1, false};
    }
    // Nothing a card's paths hold needs escaping; a percent sign, a backslash or a dot segment is
    // someone looking for a way around them.
    const bool odd = encodedPath.contains(QLatin1Char('%')) || encodedPath.contains(QLatin1Char('\\')) ||
                     encodedPath.contains(QStringLiteral("//")) || encodedPath.contains(QStringLiteral("/."));
    // Printed codes name the card's path in upper case, which their compact mode holds.
    const bool cardPath =
        encodedPath.startsWith(QStringLiteral("/c/")) || encodedPath.startsWith(QStringLiteral("/C/"));
    if (!cardPath) {
        // What browsers ask of any site by themselves is no guess; anything else is.
        const bool harmless = encodedPath == QStringLiteral("/") ||
                              encodedPath == QStringLiteral("/robots.txt") ||
                              encodedPath.startsWith(QStringLiteral("/apple-touch-icon"));
        return odd || !harmless ? guess() : PhoneRoute{};
    }
    if (odd) {
        return guess();
    }
    const QStringList parts = encodedPath.mid(3).split(QLatin1Char('/'));
    if (!IsTokenShaped(parts[0])) {
        return guess();
    }
    PhoneRoute route;
    route.Token = parts[0];
    if (parts.size() == 1) {
        route.What = PhoneRoute::Kind::CardPage;
    } else if (parts.size() == 2 && parts[1] == QStringLiteral("card.json")) {
        route.What = PhoneRoute::Kind::CardJson;
    } else if (parts.size() == 2 && parts[1] == QStringLiteral("bingo")) {
        route.What = PhoneRoute::Kind::Claim;
    } else if (parts.size() == 2 && parts[1] == QStringLiteral("live")) {
        route.What = PhoneRoute::Kind::Live;
    } else if (parts.size() == 3 && parts[1] == QStringLiteral("photo") && cellIndex(parts[2]) >= 0) {
        route.What = PhoneRoute::Kind::Photo;
        route.Cell = cellIndex(parts[2]);
    } else {
        return guess();
    }
    return route;
}
