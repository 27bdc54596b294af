#include "core/common/designfonts.h"
#include "core/draw/effects.h"
#include "core/draw/textfit.h"
#include "ui/draw/drawcanvas.h"
#include "ui/draw/panelwidget.h"

#include <QFontInfo>
#include <QPainter>
#include <QtTest>

namespace {
const char16_t* const kNames[] = {
    u"森",          u"山田 太郎",  u"佐々木 小次郎",       u"Mirda",        u"W",
    u"髙橋 一二三", u"ｱｲｳｴｵｶｷｸｹｺ", u"長谷川 ジェニファー", u"李 明",        u"Jean-Pierre Dupont",
    u"①②③",         u"i",          u"渡辺　早紀",          u"MMMMMMMMMMMM", u"小林 a.k.a. コバ",
};

// Counts the measurements a search makes.
TextMeasure counted(const TextMeasure& measure, int& count) {
    return [&measure, &count](double size) {
        ++count;
        return measure(size);
    };
}
} // namespace

class TextFitTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // The draw's bold texts resolve to faces with a real bold, which print with clearly more ink
    // than their regular weight.
    void boldIsSeenOnTheProjector_data() {
        QTest::addColumn<int>("face");
        QTest::addColumn<QString>("family");
        QTest::newRow("panels, buttons, typed lines") << int(DesignFace::PGothic) << "Noto Sans CJK JP";
        QTest::newRow("scrolling line") << int(DesignFace::PMincho) << "Noto Serif CJK JP";
        QTest::newRow("registration fields") << int(DesignFace::Gothic) << "Noto Sans Mono CJK JP";
    }
    void boldIsSeenOnTheProjector() {
        QFETCH(int, face);
        QFETCH(QString, family);
        const QFont bold = DesignFont(DesignFace(face), 60, true);
        const QFontInfo info(bold);
        QCOMPARE(info.family(), family);
        QVERIFY(info.bold());
        const auto ink = [](const QFont& font) {
            QImage image(400, 120, QImage::Format_Grayscale8);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(5, 95), QStringLiteral("抽選開始"));
            painter.end();
            qint64 sum = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    sum += 255 - qGray(image.pixel(x, y));
                }
            }
            return sum;
        };
        const double ratio = double(ink(bold)) / double(ink(DesignFont(DesignFace(face), 60, false)));
        QVERIFY2(ratio > 1.2, qPrintable(QString::number(ratio)));
    }

    // The fast searches give exactly the literal scans' results, with real fonts, over many
    // names, box and screen sizes, and measure at most 10 sizes.
    void fastFitsEqualTheLiteralScans() {
        QImage device(8, 8, QImage::Format_RGB32);
        device.setDotsPerMeterX(3780);
        device.setDotsPerMeterY(3780);
        int worst = 0;
        int cases = 0;
        const QSize areas[] = {{1920, 1080}, {1024, 700}, {800, 600}, {1366, 768}, {3840, 2160}, {640, 1000}};
        for (const char16_t* raw : kNames) {
            const QString name = QString::fromUtf16(raw);
            const TextMeasure panel =
                TextMeasureFor(UnhintedFont(FaceName(DesignFace::PGothic), true), name, &device);
            for (int w = 12; w <= 420; w += 17) {
                for (const double a : {double(w), 3.0 * w / 4.0}) {
                    int literalCount = 0;
                    int fastCount = 0;
                    const PanelTextFit literal =
                        FitPanelTextLiteral(name, w, a, counted(panel, literalCount));
                    const PanelTextFit fast = FitPanelText(name, w, a, counted(panel, fastCount));
                    QCOMPARE(std::tuple(fast.Size, fast.X, fast.Y),
                             std::tuple(literal.Size, literal.X, literal.Y));
                    worst = std::max(worst, fastCount);
                    ++cases;
                }
            }
            for (int face = 1; face <= 8; face += 3) {
                const TextMeasure effect =
                    TextMeasureFor(UnhintedFont(EffectFontFace(face), false), name, &device);
                for (const QSize& area : areas) {
                    int literalCount = 0;
                    int fastCount = 0;
                    const NameTarget literal =
                        FindNameTargetLiteral(area.width(), area.height(), counted(effect, literalCount));
                    const NameTarget fast =
                        FindNameTarget(area.width(), area.height(), counted(effect, fastCount));
                    QCOMPARE(std::pair(fast.Size, fast.Measured.Width),
                             std::pair(literal.Size, literal.Measured.Width));
                    worst = std::max(worst, fastCount);
                }
            }
        }
        QVERIFY(cases > 500);
        QVERIFY2(worst <= 10, qPrintable(QString::number(worst)));
    }
};

QTEST_MAIN(TextFitTest)
#include "textfit_test.moc"
