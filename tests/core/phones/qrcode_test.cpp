#include "core/cards/cardrenderer.h"
#include "core/phones/cardtoken.h"
#include "core/phones/qrcode.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class QrCodeTest : public ::testing::TestWithParam<const char*> {};

TEST_P(QrCodeTest, DecodesBackToItsText) {
    const QString text = QString::fromUtf8(GetParam());
    const QImage image = QrCode(text, 4);
    ASSERT_FALSE(image.isNull());
    // Black on white, with the quiet zone all round.
    ASSERT_EQ(image.width(), image.height());
    ASSERT_EQ(image.width() % 4, 0);
    for (int k = 0; k < image.width(); ++k) {
        for (int edge = 0; edge < kQrQuietModules * 4; ++edge) {
            ASSERT_EQ(qGray(image.pixel(k, edge)), 255);
            ASSERT_EQ(qGray(image.pixel(edge, k)), 255);
            ASSERT_EQ(qGray(image.pixel(k, image.height() - 1 - edge)), 255);
        }
    }
    EXPECT_EQ(qGray(image.pixel(kQrQuietModules * 4, kQrQuietModules * 4)), 0); // a finder pattern's corner

    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbarimg.isEmpty()) {
        GTEST_SKIP()
            << "zbarimg (Debian's zbar-tools, installed by scripts/setup) is missing: nothing to decode with";
    }
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("code.png"));
    ASSERT_TRUE(image.save(png));
    QProcess decoder;
    decoder.start(zbarimg,
                  {QStringLiteral("--quiet"), QStringLiteral("--raw"), QStringLiteral("-Sbinary"), png});
    ASSERT_TRUE(decoder.waitForFinished(20000));
    EXPECT_EQ(decoder.exitCode(), 0) << decoder.readAllStandardError().toStdString();
    QByteArray decoded = decoder.readAllStandardOutput();
    if (decoded.endsWith('\n')) {
        decoded.chop(1);
    }
    EXPECT_EQ(QString::fromUtf8(decoded), text);
}

INSTANTIATE_TEST_SUITE_P(Texts, QrCodeTest,
                         ::testing::Values("http://192.168.10.2:8080/c/abcdefghijklmnopqrstuv-_",
                                           "HTTP://192.168.100.200:50080/C/ABCDEFGHIJKLMNOPQRSTUVWXYZ234",
                                           "http://[fe80::1]:41234/new", "ミルダ ビンゴ", "x"));

// A printed card's address, upper case all through, takes the compact mode: version 3 (29
// modules) at level M for the longest IPv4 address, where the same address in lower case needs
// version 4 (33).
TEST(QrCode, ThePrintedAddressTakesTheSmallestCode) {
    const QString printed = CardPageUrl(QStringLiteral("192.168.100.200:50080"), NewCardToken());
    EXPECT_EQ(QrCode(printed, 1).width(), 29 + 2 * kQrQuietModules);
    EXPECT_GT(QrCode(printed.toLower(), 1).width(), 29 + 2 * kQrQuietModules);
}

TEST(QrCode, RefusesWhatCannotBeACode) {
    EXPECT_TRUE(QrCode(QStringLiteral("x"), 0).isNull());
    EXPECT_TRUE(QrCode(QString(8000, QLatin1Char('x')), 1).isNull()); // beyond the largest version
    EXPECT_TRUE(QrCode(QStringLiteral("a") + QChar(0) + QStringLiteral("b"), 1).isNull());
}

} // namespace
