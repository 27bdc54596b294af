#include "core/common/designfonts.h"
#include "support/testservices.h"
#include "ui/settings/gamesettingsscreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

class GameSettingsTest : public QObject {
    Q_OBJECT

    struct Fixture {
        Fixture() {
            state.Settings.ApplyDefaults();
            state.Settings.Pictures = QStringLiteral("/w/Pictures");
            state.Settings.Musics = QStringLiteral("/w/Musics");
            state.ProgramFolder = dir.path() + u'/';
        }
        GameSettingsScreen* open() {
            screen = new GameSettingsScreen(state, t.services);
            screen->show();
            return screen;
        }
        template <typename T> T* child(const QString& name) const { return screen->findChild<T*>(name); }
        QString checks() const {
            QString out;
            for (int i = 0; i < 9; ++i) {
                out += child<QCheckBox>(QStringLiteral("Chk紹介_%1").arg(i))->isChecked() ? u'1' : u'0';
            }
            return out;
        }
        void apply(Dialogs::Answer answer) {
            t.dialogs.YesNo.push_back(answer);
            QTest::mouseClick(child<QPushButton>(QStringLiteral("Cmd設定適用")), Qt::LeftButton);
        }
        QTemporaryDir dir;
        ProgramState state;
        TestServices t;
        QPointer<GameSettingsScreen> screen;
    };

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void introductionFlags_data() {
        QTest::addColumn<QString>("dflag");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("name and photo") << "100000001"
                                        << "100000001"
                                        << "100000001";
        QTest::newRow("name always on") << "011111111"
                                        << "111111111"
                                        << "111111111";
        QTest::newRow("short") << "111"
                               << "111000000"
                               << "111000000";
        QTest::newRow("other characters") << "1x1 11111"
                                          << "101011111"
                                          << "101011111";
    }
    void introductionFlags() {
        QFETCH(QString, dflag);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        Fixture f;
        f.state.Settings.Dflag = dflag;
        f.open();
        QCOMPARE(f.checks(), shown);
        f.apply(Dialogs::Answer::Yes);
        QCOMPARE(f.state.Settings.Dflag, stored);
    }

    void gameModeOutsideTheListAndColumnsBeyondIt() {
        Fixture f;
        f.state.Settings.GameMode = 7;
        f.state.Settings.Cols = 20;
        f.state.Settings.Rows = 3;
        f.open();
        QVERIFY(f.child<QRadioButton>(QStringLiteral("Optモード_0"))->isChecked());
        QCOMPARE(f.child<QRadioButton>(QStringLiteral("Optモード_3"))->text(), QStringLiteral("モード4"));
        QCOMPARE(f.child<QComboBox>(QStringLiteral("Cmb列数"))->currentText(), QStringLiteral("20"));
        QCOMPARE(f.child<QComboBox>(QStringLiteral("Cmb列数"))->count(), 18);
        QCOMPARE(f.child<QComboBox>(QStringLiteral("Cmb行数"))->count(), 12);
        QCOMPARE(f.child<QLineEdit>(QStringLiteral("Txt背景色"))->text(), QStringLiteral("8421504"));
        f.apply(Dialogs::Answer::Yes);
        QCOMPARE(f.t.dialogs.Questions(), QStringList{QStringLiteral("指定条件を適用しますか？")});
        QCOMPARE(f.state.Settings.GameMode, 1);
        QCOMPARE(f.state.Settings.Cols, 20);
        QCOMPARE(f.state.Settings.Rows, 3);
        QVERIFY(f.screen.isNull() || !f.screen->isVisible()); // closed after a confirmed apply
        QFile ini(f.dir.filePath(QStringLiteral("Mrda.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("Cols = 20\r\n"));
    }

    void editsStayUntilApplied() {
        Fixture f;
        f.open();
        f.t.dialogs.Colours.push_back(QColor(255, 0, 0));
        QTest::mouseClick(f.child<QPushButton>(QStringLiteral("Cmd背景色")), Qt::LeftButton);
        QCOMPARE(f.child<QLineEdit>(QStringLiteral("Txt背景色"))->text(), QStringLiteral("255"));
        QCOMPARE(f.screen->palette().color(QPalette::Window), QColor(255, 0, 0));
        QVERIFY(f.screen->isEnabled());
        f.child<QRadioButton>(QStringLiteral("Optモード_2"))->setChecked(true);

        f.apply(Dialogs::Answer::No); // No keeps the screen with the edits in place
        QVERIFY(f.screen->isVisible());
        QCOMPARE(f.state.Settings.Backcolor, QStringLiteral("8421504"));
        QVERIFY(f.child<QRadioButton>(QStringLiteral("Optモード_2"))->isChecked());

        f.t.dialogs.Folders.push_back(QStringLiteral("/photos"));
        f.t.dialogs.Folders.push_back(QString()); // cancelled
        QTest::mouseClick(f.child<QPushButton>(QStringLiteral("Cmd写真")), Qt::LeftButton);
        QTest::mouseClick(f.child<QPushButton>(QStringLiteral("Cmd音楽")), Qt::LeftButton);
        QCOMPARE(f.t.dialogs.Log.at(f.t.dialogs.Log.size() - 2).text,
                 QStringLiteral("写真保存フォルダーを選択してください。"));
        QCOMPARE(f.t.dialogs.Log.back().text, QStringLiteral("音楽保存フォルダーを選択してください。"));
        QCOMPARE(f.child<QLineEdit>(QStringLiteral("Txt写真"))->text(), QStringLiteral("/photos"));
        QCOMPARE(f.child<QLineEdit>(QStringLiteral("Txt音楽"))->text(), QStringLiteral("/w/Musics"));

        f.screen->close(); // closed through its frame: nothing is stored
        QCOMPARE(f.state.Settings.Backcolor, QStringLiteral("8421504"));
        QCOMPARE(f.state.Settings.GameMode, 1);
        QCOMPARE(f.state.Settings.Pictures, QStringLiteral("/w/Pictures"));
    }

    void rowsOrColumnsThatAreNoNumberAreRefused() {
        Fixture f;
        f.open();
        f.child<QComboBox>(QStringLiteral("Cmb行数"))->setEditText(QStringLiteral("abc"));
        f.apply(Dialogs::Answer::Yes);
        QCOMPARE(f.t.dialogs.Questions(), QStringList());
        QCOMPARE(f.t.dialogs.Messages().size(), 1);
        QVERIFY(f.screen->isVisible());
        f.child<QComboBox>(QStringLiteral("Cmb行数"))->setEditText(QStringLiteral("2.5"));
        f.apply(Dialogs::Answer::Yes);
        QCOMPARE(f.state.Settings.Rows, 2);
    }
};

QTEST_MAIN(GameSettingsTest)
#include "gamesettings_test.moc"
