#include "core/transfer/delimitedtext.h"
#include "core/transfer/importsource.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* what;
    const char16_t* text;
    char16_t separator;
    TextTable rows;
};

class ParseDelimitedTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseDelimitedTest, GivesTheRows) {
    const ParseCase& c = GetParam();
    const TextTable rows = ParseDelimited(QStringView(c.text), QChar(c.separator));
    ASSERT_EQ(rows.size(), c.rows.size()) << c.what;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(rows.at(r), c.rows.at(r))
            << c.what << " row " << r << ": " << rows.at(r).join(u'|').toStdString();
    }
}

QStringList row(std::initializer_list<const char16_t*> cells) {
    QStringList out;
    for (const char16_t* c : cells) {
        out.append(QString::fromUtf16(c));
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Rfc4180, ParseDelimitedTest,
    testing::Values(
        ParseCase{"plain, CR LF", u"a,b\r\nc,d\r\n", u',', {row({u"a", u"b"}), row({u"c", u"d"})}},
        ParseCase{"LF and no final line end", u"a,b\nc,d", u',', {row({u"a", u"b"}), row({u"c", u"d"})}},
        ParseCase{"CR alone", u"a,b\rc,d\r", u',', {row({u"a", u"b"}), row({u"c", u"d"})}},
        ParseCase{"quoted separator and doubled quotes",
                  u"\"山田, 太郎\",\"彼は\"\"元気\"\"\"\r\n",
                  u',',
                  {row({u"山田, 太郎", u"彼は\"元気\""})}},
        ParseCase{"line breaks inside quotes stay",
                  u"\"一行目\r\n二行目\",x\n\"a\nb\",y\n",
                  u',',
                  {row({u"一行目\r\n二行目", u"x"}), row({u"a\nb", u"y"})}},
        ParseCase{"empty fields and an empty line",
                  u"a,,\r\n\r\n,b",
                  u',',
                  {row({u"a", u"", u""}), row({u""}), row({u"", u"b"})}},
        ParseCase{"a quote inside an unquoted field is a character",
                  u"5\" disk,x",
                  u',',
                  {row({u"5\" disk", u"x"})}},
        ParseCase{"text after a closing quote is kept", u"\"ab\"cd,e", u',', {row({u"abcd", u"e"})}},
        ParseCase{"an unterminated quote runs to the end", u"\"a,b\nc", u',', {row({u"a,b\nc"})}},
        ParseCase{"tab separator keeps commas", u"山田, 太郎\tA\r\n", u'\t', {row({u"山田, 太郎", u"A"})}},
        ParseCase{"semicolon separator", u"a;\"b;c\";d", u';', {row({u"a", u"b;c", u"d"})}},
        ParseCase{"empty text", u"", u',', {}}));

struct DetectCase {
    const char* what;
    const char16_t* text;
    char16_t fallback;
    char16_t expected;
};

class DetectSeparatorTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectSeparatorTest, FindsTheSeparator) {
    const DetectCase& c = GetParam();
    EXPECT_EQ(DetectSeparator(QStringView(c.text), QChar(c.fallback)), QChar(c.expected)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    MostConsistentColumnCount, DetectSeparatorTest,
    testing::Values(DetectCase{"comma", u"氏名,所属\r\n山田,総務\r\n川口,営業\r\n", u'\t', u','},
                    DetectCase{"tab, with commas inside some cells",
                               u"氏名\t一言\t所属\r\n山田\tはい, "
                               u"どうも\t総務\r\n川口\tよろしく\t営業\r\n佐藤\ta, b, c\t人事\r\n",
                               u',', u'\t'},
                    DetectCase{"semicolon", u"name;dept\nYamada;HR\nKawaguchi;Sales\n", u',', u';'},
                    DetectCase{"commas only inside quotes do not count",
                               u"\"山田, 太郎\";総務\n\"川口, 花子\";営業\n", u',', u';'},
                    DetectCase{"one column: the fallback", u"山田\r\n川口\r\n", u'\t', u'\t'},
                    DetectCase{"one column, CSV fallback", u"山田\r\n川口\r\n", u',', u','}));

QByteArray cp932(const QString& text) {
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

struct SourceCase {
    const char* what;
    QByteArray bytes;
    const char* fileName;
    TextEncoding encoding;
    char16_t separator;
};

class ImportSourceTextTest : public testing::TestWithParam<SourceCase> {};

TEST_P(ImportSourceTextTest, DecodesAndSplits) {
    const SourceCase& c = GetParam();
    ImportSource source;
    QString error;
    ASSERT_TRUE(source.LoadBytes(c.bytes, QString::fromUtf8(c.fileName), error)) << error.toStdString();
    EXPECT_EQ(source.SourceKind(), ImportSource::Kind::Delimited);
    EXPECT_EQ(source.Encoding(), c.encoding) << c.what;
    EXPECT_EQ(source.Separator(), QChar(c.separator)) << c.what;
    ASSERT_EQ(source.Table().size(), 2) << c.what;
    EXPECT_EQ(source.Table().at(0), row({u"氏名", u"一言"})) << c.what;
    EXPECT_EQ(source.Table().at(1), row({u"髙橋 ①", u"～です, よろしく"})) << c.what;
}

const QString kSample = QStringLiteral("氏名,一言\r\n髙橋 ①,\"～です, よろしく\"\r\n");

const QString kTabSample = QStringLiteral("氏名\t一言\r\n髙橋 ①\t～です, よろしく\r\n");
const QString kSemicolonSample = QStringLiteral("氏名;一言\n髙橋 ①;\"～です, よろしく\"\n");

INSTANTIATE_TEST_SUITE_P(
    Encodings, ImportSourceTextTest,
    testing::Values(SourceCase{"UTF-8 with BOM", "\xEF\xBB\xBF" + kSample.toUtf8(), "a.csv",
                               TextEncoding::Utf8Bom, u','},
                    SourceCase{"UTF-8 without BOM", kSample.toUtf8(), "a.csv", TextEncoding::Utf8, u','},
                    SourceCase{"CP932", cp932(kSample), "a.csv", TextEncoding::Cp932, u','},
                    SourceCase{"CP932, tab", cp932(kTabSample), "a.txt", TextEncoding::Cp932, u'\t'},
                    SourceCase{"UTF-8, tab, in a file named .csv", kTabSample.toUtf8(), "a.csv",
                               TextEncoding::Utf8, u'\t'},
                    SourceCase{"semicolons", kSemicolonSample.toUtf8(), "a.csv", TextEncoding::Utf8, u';'}));

TEST(ImportSource, RefusesABinaryFile) {
    ImportSource source;
    QString error;
    EXPECT_FALSE(source.LoadBytes(QByteArray("a,b\0\x01,c\r\n", 9), QStringLiteral("x.csv"), error));
    EXPECT_TRUE(source.Table().isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(ImportSource, SeparatorCanBeChanged) {
    ImportSource source;
    QString error;
    ASSERT_TRUE(source.LoadBytes(QByteArrayLiteral("a;b,c\r\nd;e,f\r\n"), QStringLiteral("x.csv"), error));
    EXPECT_EQ(source.Table().at(0), row({u"a;b", u"c"})); // a tie goes to the comma
    source.SetSeparator(u';');
    EXPECT_EQ(source.Table().at(0), row({u"a", u"b,c"}));
    EXPECT_EQ(source.Table().at(1), row({u"d", u"e,f"}));
}

} // namespace
