#include "ui/registration/registrationrules.h"

#include <QSet>
#include <QtTest>

class RegistrationRulesTest : public QObject {
    Q_OBJECT

private slots:
    void prefecturesInTheProgramsOrder();
    void photoPreviewTwips_data();
    void photoPreviewTwips();
};

void RegistrationRulesTest::prefecturesInTheProgramsOrder() {
    const QStringList& list = PrefectureList();
    QCOMPARE(list.size(), 47);
    QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), 47);
    const struct {
        int number;
        const char16_t* name;
    } checks[] = {{1, u"北海道"},    {13, u"東京都"}, {14, u"神奈川県"}, {25, u"京都府"},   {26, u"大阪府"},
                  {30, u"和歌山県"}, {31, u"高知県"}, {32, u"愛媛県"},   {46, u"鹿児島県"}, {47, u"沖縄県"}};
    for (const auto& c : checks) {
        QCOMPARE(list.at(c.number - 1), QString::fromUtf16(c.name));
        QCOMPARE(PrefectureNumber(QString::fromUtf16(c.name)), c.number);
    }
    QCOMPARE(PrefectureNumber(QStringLiteral("北海道 ")), 0); // exact comparison
}

void RegistrationRulesTest::photoPreviewTwips_data() {
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<QSizeF>("expected");
    QTest::newRow("4:3") << 1600.0 << 1200.0 << QSizeF(2280, 1710);
    QTest::newRow("3:4") << 300.0 << 400.0 << QSizeF(2280, 3040);
    QTest::newRow("16:9") << 1920.0 << 1080.0 << QSizeF(3040, 1710);
    QTest::newRow("square") << 500.0 << 500.0 << QSizeF(2280, 2280);
    QTest::newRow("zero height") << 500.0 << 0.0 << QSizeF(2280, 1710);
    QTest::newRow("zero width") << 0.0 << 500.0 << QSizeF(2280, 1710);
}

void RegistrationRulesTest::photoPreviewTwips() {
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(QSizeF, expected);
    const QSizeF size = PhotoPreviewTwips(w, h);
    QVERIFY2(qAbs(size.width() - expected.width()) < 1e-6 && qAbs(size.height() - expected.height()) < 1e-6,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
}

QTEST_APPLESS_MAIN(RegistrationRulesTest)
#include "registrationrules_test.moc"
