#include "core/common/linebreak.h"

#include <QFile>
#include <gtest/gtest.h>

// Each case in tests/data/linebreak/cases.tsv: the box's width in full-width characters, the
// text, and the lines expected.
TEST(LineBreak, CasesFromData) {
    QFile file(QStringLiteral(MIRDA_TEST_DATA "/linebreak/cases.tsv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto width = [](const QString& text) {
        double w = 0;
        for (const QChar c : text) {
            w += c.unicode() < 0x80 ? 0.5 : 1.0;
        }
        return w;
    };
    int cases = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 3) << line.toStdString();
        QString text = fields[1];
        text.replace(QStringLiteral("⏎"), QStringLiteral("\r\n"));
        const QStringList lines = BreakIntoLines(text, fields[0].toDouble(), width);
        EXPECT_EQ(lines.join(QStringLiteral("⏎")).toStdString(), fields[2].toStdString())
            << line.toStdString();
        ++cases;
    }
    EXPECT_GE(cases, 10);
}
