#include "core/common/cp932.h"
#include "core/common/textfile.h"
#include "core/config/settingsfile.h"

#include <gtest/gtest.h>

namespace {

QByteArray cp932(const QString& text) {
    QByteArray bytes;
    EXPECT_TRUE(EncodeCp932(text, bytes)) << text.toStdString();
    return bytes;
}

// Half-width katakana names whose CP932 bytes are also valid UTF-8 (ﾕｷ is D5 B7, "շ" in UTF-8).
struct KatakanaName {
    const char16_t* name;
};

class HalfWidthKatakana : public ::testing::TestWithParam<KatakanaName> {};

TEST_P(HalfWidthKatakana, OwnFilesReadBackAsWritten) {
    const QString folder = QStringLiteral("/home/") + QString::fromUtf16(GetParam().name) +
                           QStringLiteral("/Documents/Mrda/Sample01.txt");
    const QString text = QStringLiteral("[Mirda]\r\nNames = ") + folder + QStringLiteral("\r\n");
    const QByteArray bytes = EncodeSettingsText(text);
    EXPECT_EQ(bytes, cp932(text));
    EXPECT_EQ(DecodeSettingsText(bytes), text);
}

TEST_P(HalfWidthKatakana, ForeignRosterOfKatakanaAndAsciiIsCp932) {
    const QString text =
        QStringLiteral("ID\t") + QString::fromUtf16(GetParam().name) + QStringLiteral("\r\n");
    DecodeReport report;
    EXPECT_EQ(DecodeForeignText(cp932(text), &report), text);
    EXPECT_EQ(report.Encoding, TextEncoding::Cp932);
}

INSTANTIATE_TEST_SUITE_P(Names, HalfWidthKatakana,
                         ::testing::Values(KatakanaName{u"ﾕｷ"}, KatakanaName{u"ﾐｷ"}, KatakanaName{u"ﾕｶ"},
                                           KatakanaName{u"ﾏｷ"}, KatakanaName{u"ﾆｼ"}, KatakanaName{u"ﾕｲ"},
                                           KatakanaName{u"ﾏｲ"}, KatakanaName{u"ﾃｨﾅ ﾕｷ"}));

TEST(HalfWidthKatakana, EveryPairOfThemIsCp932) {
    // Two half-width katakana are one two-byte UTF-8 sequence whenever the first is C2–DF and the
    // second 80–BF: none of them may be taken for UTF-8.
    for (char16_t a = 0xFF61; a <= 0xFF9F; ++a) {
        for (char16_t b = 0xFF61; b <= 0xFF9F; ++b) {
            const QString text = QString(QChar(a)) + QChar(b);
            DecodeReport report;
            ASSERT_EQ(DecodeForeignText(cp932(text), &report), text);
            ASSERT_EQ(report.Encoding, TextEncoding::Cp932);
        }
    }
}

struct Guess {
    const char* label;
    QByteArray bytes;
    TextEncoding encoding;
};

class ForeignGuess : public ::testing::TestWithParam<Guess> {};

TEST_P(ForeignGuess, TakesTheEncodingThatIsPlainlyMeant) {
    DecodeReport report;
    DecodeForeignText(GetParam().bytes, &report);
    EXPECT_EQ(report.Encoding, GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ForeignGuess,
    ::testing::Values(
        Guess{"Utf8Japanese", QStringLiteral("氏名\t所属\r\n山田\t営業部\r\n").toUtf8(), TextEncoding::Utf8},
        Guess{"Utf8WithMark",
              "\xEF\xBB\xBF"
              "abc",
              TextEncoding::Utf8Bom},
        Guess{"Utf8MarkAndKatakana", "\xEF\xBB\xBF\xEF\xBD\xB1", TextEncoding::Utf8Bom},
        Guess{"Cp932Kanji", "\x8E\x81\x96\xBC\r\n", TextEncoding::Cp932},
        Guess{"PlainAscii", "name\r\n", TextEncoding::Cp932},
        Guess{"LatinOnlyUtf8", QStringLiteral("José\r\n").toUtf8(), TextEncoding::Cp932},
        Guess{"JapaneseWithArmenian", QStringLiteral("山田 շ\r\n").toUtf8(), TextEncoding::Cp932}),
    [](const auto& info) { return std::string(info.param.label); });

// Bytes that are not characters of CP932 read as Windows reads them and write back unchanged.
struct Bytes {
    const char* label;
    QByteArray bytes;
    const char16_t* text; // as read
    qsizetype undecodable;
};

class Cp932Bytes : public ::testing::TestWithParam<Bytes> {};

TEST_P(Cp932Bytes, ReadAsWindowsDoesAndWriteBackUnchanged) {
    qsizetype undecodable = -1;
    const QString text = DecodeCp932(GetParam().bytes, &undecodable);
    EXPECT_EQ(text, QString::fromUtf16(GetParam().text));
    EXPECT_EQ(undecodable, GetParam().undecodable);
    QByteArray back;
    ASSERT_TRUE(EncodeCp932(text, back));
    EXPECT_EQ(back.toHex(' '), GetParam().bytes.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Specials, Cp932Bytes,
    ::testing::Values(Bytes{"Byte80",
                            "a\x80"
                            "b",
                            u"a\u0080b", 1},
                      Bytes{"ByteA0", "\xA0", u"\uF8F0", 1},
                      Bytes{"BytesFDtoFF", "\xFD\xFE\xFF", u"\uF8F1\uF8F2\uF8F3", 3},
                      Bytes{"BadTrailKeepsTheTab", "\x81\t\x81 x", u"\uF781\t\uF781 x", 2},
                      Bytes{"UnassignedPair", "\x85\x40", u"\uF785@", 1},
                      Bytes{"LoneLeadAtTheEnd", "ab\x81", u"ab\uF781", 1},
                      // 纊 is written FA 5C as a rule; after a lone EE that would read as one character.
                      Bytes{"LoneLeadBeforeATwinCode", "\xEE\xED\x40", u"\uF7EE纊", 1},
                      Bytes{"ControlCodesAreThemselves", "\x1A\x1C\x7F", u"\u001A\u001C\u007F", 0},
                      Bytes{"ShiftJisSpecials", "\x87\x40\x81\x60\xFB\xFC\xF0\x40", u"①～髙\uE000", 0},
                      Bytes{"HalfWidthKatakana", "\xB1\xDF", u"ｱﾟ", 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Cp932, RefusesWhatItCannotHoldAndSaysWhere) {
    for (const QString& text :
         {QStringLiteral("楽しみ🎉"), QStringLiteral("𠮷野家"), QStringLiteral("한국")}) {
        QByteArray bytes;
        qsizetype bad = -1;
        EXPECT_FALSE(EncodeCp932(text, bytes, &bad)) << text.toStdString();
        EXPECT_TRUE(bytes.isEmpty());
        EXPECT_EQ(bad, FirstNonCp932Character(text));
        EXPECT_GE(bad, 0);
    }
    EXPECT_EQ(FirstNonCp932Character(QStringLiteral("楽しみ🎉")), 3);
    EXPECT_EQ(FirstNonCp932Character(QStringLiteral("①～髙ｱ")), -1);
}

TEST(Cp932, WritesTheCodeWindowsWritesForDuplicates) {
    // 髙 has an NEC-selected (EE E0) and an IBM (FB FC) code; ∵ a JIS one too (81 E6, 87 9A, FA 5B).
    EXPECT_EQ(cp932(QStringLiteral("髙")).toHex(), QByteArray("fbfc"));
    EXPECT_EQ(cp932(QStringLiteral("∵")).toHex(), QByteArray("81e6"));
    EXPECT_EQ(DecodeCp932(QByteArray("\xEE\xE0")), QStringLiteral("髙"));
}

TEST(SettingsText, UsesTheMarkOnlyWhenCp932CannotHoldAFolder) {
    const QString text = QStringLiteral("[Mirda]\r\nNames = /home/🎉/Sample01.txt\r\n");
    const QByteArray bytes = EncodeSettingsText(text);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(DecodeSettingsText(bytes), text);
}

} // namespace
