#include "core/transfer/delimitedtext.h"
#include "core/transfer/importsource.h"

#include <gtest/gtest.h>

namespace {

QStringList rowsOf(const SourceTable& table) {
    QStringList out;
    for (const SourceTable::Row& r : table.Rows) {
        out.append(QStringLiteral("%1: ").arg(r.Number) + r.Cells.join(u'|'));
    }
    return out;
}

// Text split anywhere into the pieces a large file is read in gives the same table as the whole.
TEST(DelimitedParser, PiecesSplitAnywhereGiveTheSameTable) {
    const QString text =
        QStringLiteral("氏名,一言\r\n\"山田, 太郎\",\"彼は\"\"元気\"\"\"\r\n\"一行目\r\n二行目\",x\r"
                       "5\" disk,\"ab\"cd\n\r\n,\"\"\r\n\"終わらない,引用");
    const QStringList whole = rowsOf(ParseDelimited(text, u','));
    EXPECT_EQ(whole,
              QStringList({QStringLiteral("1: 氏名|一言"), QStringLiteral("2: 山田, 太郎|彼は\"元気\""),
                           QStringLiteral("3: 一行目\r\n二行目|x"), QStringLiteral("4: 5\" disk|abcd"),
                           QStringLiteral("7: 終わらない,引用")}));
    for (qsizetype size = 1; size <= 4; ++size) {
        for (qsizetype offset = 0; offset < size; ++offset) {
            SourceTable table;
            DelimitedTableReader reader(u',', table);
            reader.Feed(QStringView(text).first(offset));
            for (qsizetype i = offset; i < text.size(); i += size) {
                reader.Feed(QStringView(text).sliced(i, std::min(size, text.size() - i)));
            }
            reader.Finish();
            EXPECT_EQ(rowsOf(table), whole) << size << " " << offset;
        }
    }
}

// Text files that are large in memory though small or plain on disk: what is kept stays bounded.
TEST(HostileText, MillionsOfLinesAreCountedNotKept) {
    QByteArray bytes = "氏名\n";
    for (int i = 0; i < 3000000; ++i) {
        bytes += "a\n";
    }
    ImportSource source;
    QString error;
    ASSERT_TRUE(source.LoadBytes(bytes, QStringLiteral("a.csv"), error)) << error.toStdString();
    const SourceTable& table = source.Table();
    EXPECT_EQ(table.Rows.size(), kMaxKeptRows);
    EXPECT_EQ(table.LaterRows, 3000001 - kMaxKeptRows);
    EXPECT_EQ(table.LaterCellsIn(0), 3000001 - kMaxKeptRows);
}

TEST(HostileText, WideLinesOfferTheFirstColumns) {
    QByteArray bytes = "氏名";
    for (int i = 0; i < 300000; ++i) {
        bytes += ",x";
    }
    bytes += "\r\n" + QByteArray(40 << 20, 'y');
    ImportSource source;
    QString error;
    ASSERT_TRUE(source.LoadBytes(bytes, QStringLiteral("a.csv"), error)) << error.toStdString();
    const SourceTable& table = source.Table();
    EXPECT_EQ(source.Separator(), QChar(u','));
    EXPECT_EQ(table.FileWidth, 300001);
    EXPECT_EQ(table.Width, kMaxSourceColumns);
    EXPECT_EQ(table.Rows.at(0).Cells.size(), kMaxSourceColumns);
    EXPECT_EQ(table.Cell(1, 0), QString(kMaxCellLength, u'y'));
    EXPECT_TRUE(table.IsCut(2, 0));
}

} // namespace
