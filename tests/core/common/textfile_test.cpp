#include "core/common/cp932.h"
#include "core/common/textfile.h"

#include <gtest/gtest.h>

namespace {

QByteArray Cp932(const QString& text) {
    QByteArray bytes;
    EXPECT_TRUE(EncodeCp932(text, bytes)) << text.toStdString();
    return bytes;
}

// Two half-width katakana are one two-byte UTF-8 sequence whenever the first is C2–DF and the
// second 80–BF: none of them may be taken for UTF-8.
TEST(HalfWidthKatakana, EveryPairOfThemIsCp932) {
    for (char16_t a = 0xFF61; a <= 0xFF9F; ++a) {
        for (char16_t b = 0xFF61; b <= 0xFF9F; ++b) {
            const QString text = QString(QChar(a)) + QChar(b);
            DecodeReport report;
            ASSERT_EQ(DecodeForeignText(Cp932(text), &report), text);
            ASSERT_EQ(report.Encoding, TextEncoding::Cp932);
        }
    }
}

} // namespace
