#include "core/common/cp932.h"
#include "core/common/textfile.h"
#include "core/config/settingsfile.h"

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

// The settings file is CP932 unless a folder needs more; then it carries the mark. Never guessed.
TEST(SettingsText, ReadsBackAsWritten) {
    for (const char16_t* folder : {u"ﾕｷ", u"ﾐｷ", u"ﾃｨﾅ ﾕｷ", u"🎉"}) {
        const QString text = QStringLiteral("[Mirda]\r\nNames = /home/") + QString::fromUtf16(folder) +
                             QStringLiteral("/Sample01.txt\r\n");
        const QByteArray bytes = EncodeSettingsText(text);
        const bool mark = text.contains(QStringLiteral("🎉"));
        EXPECT_EQ(bytes.startsWith("\xEF\xBB\xBF"), mark);
        if (!mark) {
            EXPECT_EQ(bytes, Cp932(text));
        }
        EXPECT_EQ(DecodeSettingsText(bytes), text);
    }
}

} // namespace
