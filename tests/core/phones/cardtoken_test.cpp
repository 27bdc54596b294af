#include "core/phones/cardtoken.h"
#include "support/casefile.h"

#include <QSet>
#include <array>
#include <gtest/gtest.h>

namespace {

// 145 random bits in upper-case base 32: every character equally likely, none seen twice.
TEST(CardToken, IsLongRandomAndFitsTheCompactMode) {
    const QStringView digits(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ234567");
    QSet<QString> seen;
    std::array<int, 128> counts{};
    for (int k = 0; k < 2000; ++k) {
        const QString token = NewCardToken();
        ASSERT_EQ(token.size(), 29);
        ASSERT_TRUE(IsTokenShaped(token)) << token.toStdString();
        for (QChar c : token) {
            ASSERT_TRUE(digits.contains(c)) << token.toStdString();
            ++counts[c.unicode()];
        }
        seen.insert(token);
    }
    EXPECT_EQ(seen.size(), 2000);
    for (QChar c : digits) {
        EXPECT_GT(counts[c.unicode()], 2000 * 29 / 32 * 8 / 10) << c.toLatin1();
        EXPECT_LT(counts[c.unicode()], 2000 * 29 / 32 * 12 / 10) << c.toLatin1();
    }
}

// tests/data/phones/tokens.tsv: a token and whether it has a token's shape.
TEST(CardToken, ShapeAndComparison) {
    EXPECT_GT(ForEachCase(QStringLiteral("phones"), QStringLiteral("tokens.tsv"),
                          [](const std::string& where, const QStringList& f) {
                              ASSERT_EQ(f.size(), 2) << where;
                              EXPECT_EQ(IsTokenShaped(QString::fromUtf8(UnescapeCase(f[0]))), f[1] == u'1')
                                  << where;
                          }),
              5);
    const QString token = QStringLiteral("abcdefghijklmnopqrstuv-_");
    EXPECT_TRUE(SameToken(token, QString(token)));
    for (const QString& other : {QStringLiteral("abcdefghijklmnopqrstuv-A"),
                                 QStringLiteral("Abcdefghijklmnopqrstuv-_"), token.left(23), QString()}) {
        EXPECT_FALSE(SameToken(token, other)) << other.toStdString();
    }
}

} // namespace
