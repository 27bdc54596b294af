#include "core/phones/cardtoken.h"

#include <QSet>
#include <array>
#include <gtest/gtest.h>

namespace {

// 145 random bits in upper-case base 32: every character equally likely, none seen twice.
TEST(CardToken, IsLongRandomAndFitsTheCompactMode) {
    QSet<QString> seen;
    std::array<int, 128> counts{};
    for (int k = 0; k < 2000; ++k) {
        const QString token = NewCardToken();
        ASSERT_EQ(token.size(), 29);
        ASSERT_TRUE(IsTokenShaped(token)) << token.toStdString();
        for (QChar c : token) {
            ASSERT_TRUE(QStringView(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ234567").contains(c)) << token.toStdString();
            ++counts[c.unicode()];
        }
        seen.insert(token);
    }
    EXPECT_EQ(seen.size(), 2000);
    for (QChar c : QStringView(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ234567")) {
        EXPECT_GT(counts[c.unicode()], 2000 * 29 / 32 * 8 / 10) << c.toLatin1();
        EXPECT_LT(counts[c.unicode()], 2000 * 29 / 32 * 12 / 10) << c.toLatin1();
    }
}

TEST(CardToken, ShapeAndComparison) {
    // Tokens of cards printed before: base64url, 24 characters.
    const QString token = QStringLiteral("abcdefghijklmnopqrstuv-_");
    EXPECT_TRUE(IsTokenShaped(token));
    EXPECT_TRUE(IsTokenShaped(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ234")));
    EXPECT_FALSE(IsTokenShaped(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ238"))); // 8 is no base-32 digit
    EXPECT_FALSE(IsTokenShaped(QStringLiteral("abcdefghijklmnopqrstuvwxyz234")));
    EXPECT_FALSE(IsTokenShaped(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ23")));
    EXPECT_FALSE(IsTokenShaped(token.left(23)));
    EXPECT_FALSE(IsTokenShaped(token + QLatin1Char('a')));
    EXPECT_FALSE(IsTokenShaped(QString(token).replace(3, 1, QLatin1Char('+'))));
    EXPECT_FALSE(IsTokenShaped(QString(token).replace(3, 1, QLatin1Char('.'))));
    EXPECT_FALSE(IsTokenShaped(QString(token).replace(3, 1, QChar(0x3042))));
    EXPECT_TRUE(SameToken(token, QString(token)));
    EXPECT_FALSE(SameToken(token, QString(token).replace(23, 1, QLatin1Char('A'))));
    EXPECT_FALSE(SameToken(token, QString(token).replace(0, 1, QLatin1Char('A'))));
    EXPECT_FALSE(SameToken(token, token.left(23)));
    EXPECT_FALSE(SameToken(token, QString()));
}

} // namespace
