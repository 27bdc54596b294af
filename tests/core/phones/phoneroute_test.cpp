#include "core/phones/phoneroute.h"

#include <gtest/gtest.h>

namespace {

const QString kToken = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ234");
const QString kOlderToken = QStringLiteral("abcdefghijklmnopqrstuv-_");

struct RouteCase {
    const char* Path; // TOKEN stands for a token, OLDER for one of a card printed before
    PhoneRoute::Kind What;
    int Cell;
    bool Guess;
};

class PhoneRouteTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(PhoneRouteTest, ReadsOnlyTheExactPaths) {
    const QString path = QString::fromUtf8(GetParam().Path)
                             .replace(QStringLiteral("OLDER"), kOlderToken)
                             .replace(QStringLiteral("TOKEN"), kToken);
    const PhoneRoute route = RouteOf(path);
    EXPECT_EQ(route.What, GetParam().What) << GetParam().Path;
    EXPECT_EQ(route.Guess, GetParam().Guess) << GetParam().Path;
    EXPECT_EQ(route.Cell, GetParam().Cell) << GetParam().Path;
    if (route.What != PhoneRoute::Kind::None && route.What != PhoneRoute::Kind::FreshCard &&
        route.What != PhoneRoute::Kind::Icon) {
        EXPECT_EQ(route.Token, QByteArray(GetParam().Path).contains("OLDER") ? kOlderToken : kToken);
    }
}

using K = PhoneRoute::Kind;
INSTANTIATE_TEST_SUITE_P(
    Paths, PhoneRouteTest,
    ::testing::Values(
        RouteCase{"/c/TOKEN", K::CardPage, -1, false}, RouteCase{"/C/TOKEN", K::CardPage, -1, false},
        RouteCase{"/c/OLDER", K::CardPage, -1, false},
        RouteCase{"/C/OLDER/card.json", K::CardJson, -1, false},
        RouteCase{"/c/TOKEN/card.json", K::CardJson, -1, false},
        RouteCase{"/c/TOKEN/bingo", K::Claim, -1, false}, RouteCase{"/c/TOKEN/live", K::Live, -1, false},
        RouteCase{"/c/TOKEN/photo/0", K::Photo, 0, false},
        RouteCase{"/c/TOKEN/photo/80", K::Photo, 80, false}, RouteCase{"/new", K::FreshCard, -1, false},
        RouteCase{"/", K::None, -1, false}, RouteCase{"/favicon.ico", K::Icon, -1, false},
        RouteCase{"/c/TOKEN/", K::None, -1, true}, RouteCase{"/c/TOKEN/photo/81", K::None, -1, true},
        RouteCase{"/c/TOKEN/photo/007", K::None, -1, true}, RouteCase{"/c/TOKEN/photo/-1", K::None, -1, true},
        RouteCase{"/c/TOKEN/photo/", K::None, -1, true}, RouteCase{"/c/TOKEN/card.json/", K::None, -1, true},
        RouteCase{"/c/TOKEN/../TOKEN/card.json", K::None, -1, true},
        RouteCase{"/c/TOKEN/./card.json", K::None, -1, true},
        RouteCase{"/c/TOKEN%2Fcard.json", K::None, -1, true},
        RouteCase{"/c/%2e%2e/etc/passwd", K::None, -1, true}, RouteCase{"/c//TOKEN", K::None, -1, true},
        RouteCase{"/c/TOKENx", K::None, -1, true}, RouteCase{"/c/OLDERx", K::None, -1, true},
        RouteCase{"/C/TOKEN/photo/%30", K::None, -1, true}, RouteCase{"/c/TOKEN?x", K::None, -1, true},
        RouteCase{"/c/abc", K::None, -1, true}, RouteCase{"/c/TOKEN\\card.json", K::None, -1, true},
        RouteCase{"/new/", K::None, -1, true}, RouteCase{"/etc/passwd", K::None, -1, true},
        // What a phone asks of any site is no guess, unless it hides a way elsewhere.
        RouteCase{"/apple-touch-icon.png", K::None, -1, false},
        RouteCase{"/apple-touch-icon%2F..%2Fc", K::None, -1, true},
        RouteCase{"/apple-touch-icon/../c", K::None, -1, true}));

} // namespace
