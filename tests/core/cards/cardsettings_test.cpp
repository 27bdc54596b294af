#include "core/cards/cardsettings.h"

#include <gtest/gtest.h>

namespace {

std::string Utf8(const QString& text) {
    return text.toStdString();
}

TEST(CardSettings, SheetsRowAndCentreAreReadAsRoundedSixteenBitNumbers) {
    const QString errors[] = {
        QString(), QStringLiteral("印字枚数は -32768 から 32767 の範囲で入力してください。"),
        QStringLiteral("指定登録行番は -32768 から 32767 の範囲で入力してください。"),
        QStringLiteral("カウントアップする場合は、指定登録行番に 0 以上の値を入力してください。")};
    const struct {
        const char16_t* sheets;
        const char16_t* row;
        const char* selected; // Opt中心枠(0..2)
        int error;            // index into errors; 0 accepts
        int expectedSheets;
        int expectedRow;
        CentreOption centre;
    } cases[] = {
        {u"2.5", u"001", "100", 0, 2, 1, CentreOption::Mark},
        {u"3.5", u"12.5", "100", 0, 4, 12, CentreOption::Mark},
        {u"1,0", u"13.5", "010", 0, 10, 14, CentreOption::FixedRow},
        {u"abc", u"", "000", 0, 0, 0, CentreOption::Mark},
        {u"-3", u"300", "011", 0, -3, 300, CentreOption::FixedRow},
        {u" 7 ", u"1,2,3", "001", 0, 7, 123, CentreOption::CountUp},
        {u"32767", u"-32768", "010", 0, 32767, -32768, CentreOption::FixedRow},
        {u"1", u"0", "001", 0, 1, 0, CentreOption::CountUp},
        {u"1", u"-0.4", "001", 0, 1, 0, CentreOption::CountUp},
        {u"32768", u"1", "100", 1, 0, 0, CentreOption::Mark},
        {u"-32769", u"1", "100", 1, 0, 0, CentreOption::Mark},
        {u"1e9", u"1", "100", 1, 0, 0, CentreOption::Mark},
        {u"1", u"40000", "010", 2, 0, 0, CentreOption::FixedRow},
        {u"1", u"-1", "001", 3, 0, 0, CentreOption::CountUp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(QString::fromUtf16(c.sheets) + u'|' + QString::fromUtf16(c.row)));
        CardControlTexts controls;
        controls.SheetsText = QString::fromUtf16(c.sheets);
        controls.DesignatedRowText = QString::fromUtf16(c.row);
        for (size_t i = 0; i < 3; ++i) {
            controls.CentreSelected[i] = c.selected[i] == '1';
        }
        CardRunValues values;
        QString error;
        EXPECT_EQ(ReadRunValues(controls, values, error), c.error == 0);
        EXPECT_EQ(error, errors[c.error]);
        EXPECT_EQ(values.Centre, c.centre);
        if (c.error == 0) {
            EXPECT_EQ(values.Sheets, c.expectedSheets);
            EXPECT_EQ(values.DesignatedRow, c.expectedRow);
        }
    }
}

TEST(CardSettings, FramesPerSideComeFromTheFirstCharacter) {
    const std::pair<const char16_t*, int> cases[] = {
        {u"３×３", 3}, {u"５×５", 5}, {u"７×７", 7}, {u"９×９", 9}, {u"７", 7}, {u"4", 5},
        {u"11", 5},    {u"9", 9},     {u"", 5},      {u"x", 5},     {u"1", 5},  {u"７×5", 7},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ReadFramesPerSide(QString::fromUtf16(text)), expected) << Utf8(QString::fromUtf16(text));
    }
}

TEST(CardSettings, PaperLayoutMustMatchExactly) {
    const std::pair<const char16_t*, int> cases[] = {
        {u"Ａ４横  １面付け", 5},
        {u"はがき横  １面付け", 11},
        {u"Ａ４縦  ４面付け", 0},
        {u"Ａ４横 １面付け", 1},
        {u"Ｂ５横  ２面付け ", 1},
        {u"A4横  １面付け", 1},
        {u"", 1},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ReadPaperLayout(QString::fromUtf16(text)), expected) << Utf8(QString::fromUtf16(text));
    }
}

// Typed the ways a number converts for the printer: separators, &H and &O, fractions, spaces;
// anything that is not a number as a whole, or not a colour, prints black.
TEST(CardSettings, TextColourIsAColourNumberWithRedLow) {
    const QColor black(Qt::black), red(255, 0, 0), green(0, 128, 0), blue(0, 0, 255);
    const std::pair<const char16_t*, QColor> cases[] = {
        {u"255", red},
        {u"16711680", blue},
        {u"32768", green},
        {u"0000000", black},
        {u"16777215", Qt::white},
        {u"&HFF0000", blue},
        {u"&hff", red},
        {u"&O377", red},
        {u"32,768", green},
        {u" 254.5 ", QColor(254, 0, 0)},
        {u"2.55e2", red},
        {u"blue", black},
        {u"", black},
        {u"12abc", black},
        {u"&HFG", black},
        {u"&H", black},
        {u"-1", black},
        {u"16777216", black},
        {u"1 2", black},
        {u"inf", black},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ReadTextColour(QString::fromUtf16(text)), expected) << Utf8(QString::fromUtf16(text));
    }
}

} // namespace
