#include "core/common/numeric.h"

#include <gtest/gtest.h>

namespace {

TEST(NumericValue, ReadsTheLongestLeadingNumber) {
    const std::pair<const char16_t*, double> cases[] = {
        {u"1,234", 1234}, {u"12 3", 123},  {u"1.5kg", 1.5},     {u"&H1F", 31},  {u"&h1f", 31},
        {u"&O17", 15},    {u"&HFFFF", -1}, {u"&H10000", 65536}, {u"-.5", -0.5}, {u"1,0", 10},
        {u"1e2", 100},    {u"1E+2", 100},  {u"2.5e-1", 0.25},   {u"1e", 1},     {u"1d2", 100},
        {u"", 0},         {u"abc", 0},     {u"  -  7", -7},     {u"+5", 5},     {u"--5", 0},
        {u"\t1\n2", 12},  {u"01", 1},      {u"1.0", 1},         {u"．5", 0},    {u"５", 0},
        {u"3.", 3},       {u".", 0},       {u"12abc34", 12},    {u"&Hxyz", 0},  {u"1.2.3", 1.2},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(NumericValue(QString::fromUtf16(text)), expected)
            << QString::fromUtf16(text).toStdString();
    }
}

// Halves to the even neighbour; 16- and 32-bit conversions refuse what does not fit once rounded.
TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {{2.5, 2}, {3.5, 4},   {-2.5, -2}, {0.5, 0},
                                               {1.5, 2}, {12.6, 13}, {-0.4, 0}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(RoundHalfEven(in), out) << in;
    }
    const std::tuple<double, bool, qint16> int16s[] = {
        {32767.5, false, 0}, {32766.5, true, 32766}, {-32768.4, true, -32768}, {-32768.6, false, 0}};
    for (const auto& [in, ok, out] : int16s) {
        qint16 v = 0;
        EXPECT_EQ(ToInt16(in, v), ok) << in;
        EXPECT_EQ(v, out) << in;
    }
    qint32 v32 = 0;
    EXPECT_FALSE(ToInt32(3e9, v32));
}

TEST(ParseInt32, AcceptsOnlyPlainNumbers) {
    const std::tuple<const char*, bool, qint32> cases[] = {
        {"5", true, 5},    {" -12 ", true, -12}, {"2.5", true, 2},          {"3.5", true, 4}, {"", false, 0},
        {"abc", false, 0}, {"5x", false, 0},     {"99999999999", false, 0}, {"+7", true, 7},  {"-", false, 0},
    };
    for (const auto& [text, ok, value] : cases) {
        qint32 out = 0;
        EXPECT_EQ(ParseInt32(QString::fromLatin1(text), out), ok) << text;
        EXPECT_EQ(out, value) << text;
    }
}

TEST(SplitPath, SeparatesFolderAndName) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/home/a/b.txt", "b.txt", "/home/a"}, {"b.txt", "b.txt", "b.txt"}, {"/x.jpg", "x.jpg", ""}};
    for (const auto& [path, name, folder] : cases) {
        QString out;
        EXPECT_EQ(SplitPath(QString::fromLatin1(path), out), QString::fromLatin1(name)) << path;
        EXPECT_EQ(out, QString::fromLatin1(folder)) << path;
    }
}

TEST(FormatField, PicturesAsUsedByTheScreens) {
    const std::tuple<double, const char*, const char*> numbers[] = {{7, "000", "007"},   {12, "000", "012"},
                                                                    {300, "000", "300"}, {1234, "000", "   "},
                                                                    {-5, "000", "   "},  {0, "000", "000"}};
    for (const auto& [value, picture, expected] : numbers) {
        EXPECT_EQ(FormatField(value, QString::fromLatin1(picture)), QString::fromLatin1(expected)) << value;
    }
    const std::tuple<const char*, const char*, const char*> texts[] = {
        {"20110325", "yyyy/mm/dd", "2011/03/25"}, {"", "yyyy/mm/dd", ""}, {"123456", "hh:nn:ss", "12:34:56"}};
    for (const auto& [value, picture, expected] : texts) {
        EXPECT_EQ(FormatField(QString::fromLatin1(value), QString::fromLatin1(picture)),
                  QString::fromLatin1(expected));
    }
    const std::pair<double, const char*> hashes[] = {{0, ""}, {12.5, "13"}, {1234, "1234"}};
    for (const auto& [value, expected] : hashes) {
        EXPECT_EQ(FormatNumber(value, QStringLiteral("#####")), QString::fromLatin1(expected)) << value;
    }
}

} // namespace
