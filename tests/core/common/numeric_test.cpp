#include "core/common/numeric.h"

#include <gtest/gtest.h>

namespace {

struct NumericCase {
    const char16_t* text;
    double expected;
};

TEST(NumericValue, ReadsTheLongestLeadingNumber) {
    const NumericCase cases[] = {
        {u"1,234", 1234}, {u"12 3", 123},   {u"1.5kg", 1.5},     {u"&H1F", 31},   {u"&h1f", 31},
        {u"&O17", 15},    {u"&HFFFF", -1},  {u"&H10000", 65536}, {u"-.5", -0.5},  {u"1,0", 10},
        {u"1e2", 100},    {u"1E+2", 100},   {u"2.5e-1", 0.25},   {u"1e", 1},      {u"", 0},
        {u"abc", 0},      {u"  -  7", -7},  {u"+5", 5},          {u"--5", 0},     {u"\t1\n2", 12},
        {u"01", 1},       {u"1.0", 1},      {u"．5", 0},         {u"５", 0},      {u"3.", 3},
        {u".", 0},        {u"12abc34", 12}, {u"&Hxyz", 0},       {u"1.2.3", 1.2},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(NumericValue(QString::fromUtf16(c.text)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {{2.5, 2}, {3.5, 4},   {-2.5, -2}, {0.5, 0},
                                               {1.5, 2}, {12.6, 13}, {-0.4, 0}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(RoundHalfEven(in), out) << in;
    }
    qint16 v16 = 0;
    EXPECT_FALSE(ToInt16(32767.5, v16));
    EXPECT_TRUE(ToInt16(-32768.4, v16));
    EXPECT_EQ(v16, -32768);
    qint32 v32 = 0;
    EXPECT_FALSE(ToInt32(3e9, v32));
}

TEST(ParseInt32, AcceptsOnlyPlainNumbers) {
    const std::tuple<const char*, bool, qint32> cases[] = {
        {"5", true, 5},    {" -12 ", true, -12}, {"2.5", true, 2},          {"3.5", true, 4}, {"", false, 0},
        {"abc", false, 0}, {"5x", false, 0},     {"99999999999", false, 0}, {"+7", true, 7},  {"-", false, 0},
    };
    for (const auto& [text, ok, value] : cases) {
        qint32 out = -999;
        EXPECT_EQ(ParseInt32(QString::fromLatin1(text), out), ok) << text;
        if (ok) {
            EXPECT_EQ(out, value) << text;
        }
    }
}

TEST(SplitPath, SeparatesFolderAndName) {
    QString folder;
    EXPECT_EQ(SplitPath(QStringLiteral("/home/a/b.txt"), folder), QStringLiteral("b.txt"));
    EXPECT_EQ(folder, QStringLiteral("/home/a"));
    EXPECT_EQ(SplitPath(QStringLiteral("b.txt"), folder), QStringLiteral("b.txt"));
    EXPECT_EQ(folder, QStringLiteral("b.txt"));
    EXPECT_EQ(SplitPath(QStringLiteral("/x.jpg"), folder), QStringLiteral("x.jpg"));
    EXPECT_EQ(folder, QString());
}

TEST(FormatField, PicturesAsUsedByTheScreens) {
    EXPECT_EQ(FormatField(7, QStringLiteral("000")), QStringLiteral("007"));
    EXPECT_EQ(FormatField(12, QStringLiteral("000")), QStringLiteral("012"));
    EXPECT_EQ(FormatField(300, QStringLiteral("000")), QStringLiteral("300"));
    EXPECT_EQ(FormatField(1234, QStringLiteral("000")), QStringLiteral("   "));
    EXPECT_EQ(FormatField(-5, QStringLiteral("000")), QStringLiteral("   "));
    EXPECT_EQ(FormatField(0, QStringLiteral("000")), QStringLiteral("000"));
    EXPECT_EQ(FormatField(QStringLiteral("20110325"), QStringLiteral("yyyy/mm/dd")),
              QStringLiteral("2011/03/25"));
    EXPECT_EQ(FormatField(QString(), QStringLiteral("yyyy/mm/dd")), QString());
    EXPECT_EQ(FormatField(QStringLiteral("123456"), QStringLiteral("hh:nn:ss")), QStringLiteral("12:34:56"));
    EXPECT_EQ(FormatNumber(0, QStringLiteral("#####")), QString());
    EXPECT_EQ(FormatNumber(12.5, QStringLiteral("#####")), QStringLiteral("13"));
    EXPECT_EQ(FormatNumber(1234, QStringLiteral("#####")), QStringLiteral("1234"));
}

} // namespace
