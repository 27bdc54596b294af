#include "core/cards/cardsettings.h"

#include <gtest/gtest.h>

namespace {

CardControlTexts initialControls() {
    CardControlTexts c;
    c.FramesText = QStringLiteral("５×５");
    c.LayoutText = QStringLiteral("Ａ４縦  ２面付け");
    c.SheetsText = QStringLiteral("1");
    c.CentreSelected = {true, false, false};
    c.DesignatedRowText = QStringLiteral("001");
    c.ColourText = QStringLiteral("0000000");
    return c;
}

TEST(CardSettings, SheetsAndRowAreReadAsRoundedNumbers) {
    const struct {
        const char16_t* sheets;
        const char16_t* row;
        int expectedSheets;
        int expectedRow;
    } cases[] = {
        {u"2.5", u"001", 2, 1},
        {u"3.5", u"12.5", 4, 12},
        {u"1,0", u"13.5", 10, 14},
        {u"abc", u"", 0, 0},
        {u"-3", u"300", -3, 300},
        {u" 7 ", u"1,2,3", 7, 123},
        {u"32767", u"-32768", 32767, -32768},
    };
    for (const auto& c : cases) {
        CardControlTexts controls = initialControls();
        controls.SheetsText = QString::fromUtf16(c.sheets);
        controls.DesignatedRowText = QString::fromUtf16(c.row);
        CardRunValues values;
        QString error;
        ASSERT_TRUE(ReadRunValues(controls, values, error)) << QString::fromUtf16(c.sheets).toStdString();
        EXPECT_EQ(values.Sheets, c.expectedSheets) << QString::fromUtf16(c.sheets).toStdString();
        EXPECT_EQ(values.DesignatedRow, c.expectedRow) << QString::fromUtf16(c.row).toStdString();
    }
}

TEST(CardSettings, ValuesOutsideSixteenBitsAreRefusedWithAMessage) {
    const struct {
        const char16_t* sheets;
        const char16_t* row;
        int centre;
        bool accepted;
    } cases[] = {
        {u"32768", u"1", 0, false}, {u"-32769", u"1", 0, false}, {u"1", u"40000", 1, false},
        {u"1", u"-1", 2, false},    {u"1", u"-1", 1, true},      {u"1", u"0", 2, true},
        {u"1e9", u"1", 0, false},   {u"1", u"-0.4", 2, true},
    };
    for (const auto& c : cases) {
        CardControlTexts controls = initialControls();
        controls.SheetsText = QString::fromUtf16(c.sheets);
        controls.DesignatedRowText = QString::fromUtf16(c.row);
        controls.CentreSelected = {c.centre == 0, c.centre == 1, c.centre == 2};
        CardRunValues values;
        QString error;
        EXPECT_EQ(ReadRunValues(controls, values, error), c.accepted)
            << QString::fromUtf16(c.sheets).toStdString() << " " << QString::fromUtf16(c.row).toStdString();
        EXPECT_EQ(error.isEmpty(), c.accepted);
    }
}

TEST(CardSettings, FramesPerSideComeFromTheFirstCharacter) {
    const struct {
        const char16_t* text;
        int expected;
    } cases[] = {
        {u"３×３", 3}, {u"５×５", 5}, {u"７×７", 7}, {u"９×９", 9}, {u"７", 7}, {u"4", 5},
        {u"11", 5},    {u"9", 9},     {u"", 5},      {u"x", 5},     {u"1", 5},  {u"７×5", 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadFramesPerSide(QString::fromUtf16(c.text)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(CardSettings, PaperLayoutMustMatchExactly) {
    EXPECT_EQ(ReadPaperLayout(QStringLiteral("Ａ４横  １面付け")), 5);
    EXPECT_EQ(ReadPaperLayout(QStringLiteral("はがき横  １面付け")), 11);
    EXPECT_EQ(ReadPaperLayout(QStringLiteral("Ａ４縦  ４面付け")), 0);
    // One space instead of two, half-width letters, or anything else: entry 1.
    EXPECT_EQ(ReadPaperLayout(QStringLiteral("Ａ４横 １面付け")), 1);
    EXPECT_EQ(ReadPaperLayout(QStringLiteral("Ｂ５横  ２面付け ")), 1);
    EXPECT_EQ(ReadPaperLayout(QStringLiteral("A4横  １面付け")), 1);
    EXPECT_EQ(ReadPaperLayout(QString()), 1);
    const PaperLayout& landscapeOne = PaperLayouts()[5];
    EXPECT_EQ(landscapeOne.Paper, QStringLiteral("A4"));
    EXPECT_EQ(landscapeOne.Orientation, 2);
    EXPECT_EQ(landscapeOne.CardsPerSheet, 1);
    EXPECT_EQ(landscapeOne.CardSide, 1850000);
}

TEST(CardSettings, TextColourIsAColourNumberWithRedLow) {
    EXPECT_EQ(ReadTextColour(QStringLiteral("255")), QColor(255, 0, 0));
    EXPECT_EQ(ReadTextColour(QStringLiteral("16711680")), QColor(0, 0, 255));
    EXPECT_EQ(ReadTextColour(QStringLiteral("32768")), QColor(0, 128, 0));
    EXPECT_EQ(ReadTextColour(QStringLiteral("0000000")), QColor(Qt::black));
    EXPECT_EQ(ReadTextColour(QStringLiteral("blue")), QColor(Qt::black));
    EXPECT_EQ(ReadTextColour(QString()), QColor(Qt::black));
    // Typed the ways a number converts: separators, hexadecimal and octal, fractions, spaces.
    EXPECT_EQ(ReadTextColour(QStringLiteral("&HFF0000")), QColor(0, 0, 255));
    EXPECT_EQ(ReadTextColour(QStringLiteral("&hff")), QColor(255, 0, 0));
    EXPECT_EQ(ReadTextColour(QStringLiteral("&O377")), QColor(255, 0, 0));
    EXPECT_EQ(ReadTextColour(QStringLiteral("32,768")), QColor(0, 128, 0));
    EXPECT_EQ(ReadTextColour(QStringLiteral(" 254.5 ")), QColor(254, 0, 0));
    EXPECT_EQ(ReadTextColour(QStringLiteral("2.55e2")), QColor(255, 0, 0));
    // Not numbers as a whole, or not colours: black.
    EXPECT_EQ(ReadTextColour(QStringLiteral("12abc")), QColor(Qt::black));
    EXPECT_EQ(ReadTextColour(QStringLiteral("&HFG")), QColor(Qt::black));
    EXPECT_EQ(ReadTextColour(QStringLiteral("&H")), QColor(Qt::black));
    EXPECT_EQ(ReadTextColour(QStringLiteral("-1")), QColor(Qt::black));
    EXPECT_EQ(ReadTextColour(QStringLiteral("16777216")), QColor(Qt::black));
    EXPECT_EQ(ReadTextColour(QStringLiteral("1 2")), QColor(Qt::black));
    EXPECT_EQ(ReadTextColour(QStringLiteral("inf")), QColor(Qt::black));
}

TEST(CardSettings, ModeAndCentreOptionTakeTheFirstSelected) {
    CardControlTexts controls = initialControls();
    CardRunValues values;
    QString error;
    controls.CentreSelected = {false, false, false};
    ASSERT_TRUE(ReadRunValues(controls, values, error));
    EXPECT_EQ(values.Centre, CentreOption::Mark);
    EXPECT_EQ(values.Mode, CardMode::Blank);
    controls.CentreSelected = {false, true, true};
    controls.NormalCardSelected = true;
    controls.FramesText = QStringLiteral("７");
    ASSERT_TRUE(ReadRunValues(controls, values, error));
    EXPECT_EQ(values.Centre, CentreOption::FixedRow);
    EXPECT_EQ(values.Mode, CardMode::Normal);
    EXPECT_EQ(values.FramesPerSide, 7);
    EXPECT_EQ(values.LayoutIndex, 1);
}

} // namespace
