#include "core/phones/cardtoken.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(CardToken, IsLongRandomAndUrlSafe) {
    QSet<QString> seen;
    for (int k = 0; k < 2000; ++k) {
        const QString token = NewCardToken();
        ASSERT_EQ(token.size(), 24); // 144 bits
        ASSERT_TRUE(IsTokenShaped(token)) << token.toStdString();
        const QByteArray bits = QByteArray::fromBase64(token.toLatin1(), QByteArray::Base64UrlEncoding);
        ASSERT_EQ(bits.size(), 18);
        seen.insert(token);
    }
    EXPECT_EQ(seen.size(), 2000);
}

TEST(CardToken, ShapeAndComparison) {
    const QString token = QStringLiteral("abcdefghijklmnopqrstuv-_");
    EXPECT_TRUE(IsTokenShaped(token));
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
