#include "core/phones/phoneroute.h"
#include "support/casefile.h"

#include <gtest/gtest.h>

namespace {

const QString kToken = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ234");
const QString kOlderToken = QStringLiteral("abcdefghijklmnopqrstuv-_");

// tests/data/phones/routes.tsv: a path, what it asks for, the cell, whether it counts as a guess.
TEST(PhoneRoute, ReadsOnlyTheExactPaths) {
    const QStringList kinds =
        QStringLiteral("None CardPage CardJson Photo Claim Live FreshCard Icon").split(u' ');
    const int cases = ForEachCase(
        QStringLiteral("phones"), QStringLiteral("routes.tsv"),
        [&](const std::string& where, const QStringList& f) {
            ASSERT_EQ(f.size(), 4) << where;
            const QString path = QString(f[0])
                                     .replace(QStringLiteral("OLDER"), kOlderToken)
                                     .replace(QStringLiteral("TOKEN"), kToken);
            const PhoneRoute route = RouteOf(path);
            EXPECT_EQ(kinds.value(static_cast<int>(route.What)), f[1]) << where;
            EXPECT_EQ(route.Cell, f[2].toInt()) << where;
            EXPECT_EQ(route.Guess, f[3] == u'1') << where;
            if (f[0].startsWith(QStringLiteral("/c/"), Qt::CaseInsensitive) &&
                route.What != PhoneRoute::Kind::None) {
                EXPECT_EQ(route.Token, f[0].contains(QStringLiteral("OLDER")) ? kOlderToken : kToken)
                    << where;
            }
        });
    EXPECT_GT(cases, 30);
}

} // namespace
