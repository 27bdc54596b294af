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

namespace {

struct Fixture {
    explicit Fixture(const QString& dflag = QStringLiteral("111111111"), qint32 mode = 1, qint32 cols = 5) {
        state.Settings.ApplyDefaults();
        state.Settings.Dflag = dflag;
        state.Settings.GameMode = mode;
        state.Settings.Cols = cols;
        state.Settings.Pictures = QStringLiteral("/w/Pictures");
        state.Settings.Musics = QStringLiteral("/w/Musics");
        state.ProgramFolder = dir.path() + u'/';
        screen = new GameSettingsScreen(state, t.services);
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen));
    }
    ~Fixture() { delete screen.data(); }
    template <typename T> T* Child(const QString& name) const { return screen->findChild<T*>(name); }
    // A click through the screen's window, as the platform delivers it.
    void Click(const QString& name) const {
        QWidget* widget = Child<QWidget>(name);
        QTest::mouseClick(screen->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          widget->mapTo(screen, widget->rect().center()));
    }
    void Apply(Dialogs::Answer answer) {
        t.dialogs.YesNo.push_back(answer);
        Click(QStringLiteral("Cmd設定適用"));
    }
    QString Checks() const {
        QString out;
        for (int i = 0; i < 9; ++i) {
            out += Child<QCheckBox>(QStringLiteral("Chk紹介_%1").arg(i))->isChecked() ? u'1' : u'0';
        }
        return out;
    }
    QTemporaryDir dir;
    ProgramState state;
    TestServices t;
    QPointer<GameSettingsScreen> screen;
};

} // namespace

class GameSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // The name is always introduced; a mode outside the list shows as モード１.
    void flagsAndModeAreShownAndStored_data() {
        QTest::addColumn<QString>("dflag");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stored");
        QTest::newRow("name and photo") << "100000001" << 4 << "100000001" << 4;
        QTest::newRow("name always on") << "011111111" << 2 << "111111111" << 2;
        QTest::newRow("short") << "111" << 0 << "111000000" << 1;
        QTest::newRow("other characters") << "1x1 11111" << 7 << "101011111" << 1;
    }
    void flagsAndModeAreShownAndStored() {
        QFETCH(QString, dflag);
        QFETCH(int, mode);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        Fixture f(dflag, mode);
        QCOMPARE(f.Checks(), shown);
        QVERIFY(f.Child<QRadioButton>(QStringLiteral("Optモード_%1").arg(stored - 1))->isChecked());
        f.Apply(Dialogs::Answer::Yes);
        QCOMPARE(f.state.Settings.Dflag, shown);
        QCOMPARE(f.state.Settings.GameMode, stored);
    }

    // Columns from 1 to 18 and rows from 1 to 12 to pick, any number typed; a confirmed apply
    // stores, saves and closes.
    void confirmedApplyStoresSavesAndCloses() {
        Fixture f(QStringLiteral("111111111"), 1, 20);
        auto* columns = f.Child<QComboBox>(QStringLiteral("Cmb列数"));
        auto* rows = f.Child<QComboBox>(QStringLiteral("Cmb行数"));
        QCOMPARE(columns->currentText(), QStringLiteral("20"));
        QCOMPARE(
            QStringList({columns->itemText(0), columns->itemText(17), QString::number(columns->count())}),
            QStringList({QStringLiteral("1"), QStringLiteral("18"), QStringLiteral("18")}));
        QCOMPARE(QStringList({rows->itemText(11), QString::number(rows->count())}),
                 QStringList({QStringLiteral("12"), QStringLiteral("12")}));
        rows->setEditText(QStringLiteral("2.5"));
        f.Apply(Dialogs::Answer::Yes);
        QCOMPARE(f.t.dialogs.Questions(), QStringList{QStringLiteral("指定条件を適用しますか？")});
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::Yes);
        QCOMPARE(f.state.Settings.Cols, 20);
        QCOMPARE(f.state.Settings.Rows, 2);
        QVERIFY(f.screen.isNull() || !f.screen->isVisible());
        QFile ini(f.dir.filePath(QStringLiteral("Mrda.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly) && ini.readAll().contains("Cols = 20\r\nRows = 2\r\n"));
    }

    void editsStayUntilApplied() {
        Fixture f;
        f.t.dialogs.Colours = {QColor(255, 0, 0), std::nullopt};
        f.Click(QStringLiteral("Cmd背景色"));
        QCOMPARE(f.Child<QLineEdit>(QStringLiteral("Txt背景色"))->text(), QStringLiteral("255"));
        QCOMPARE(f.screen->palette().color(QPalette::Window), QColor(255, 0, 0));
        f.Click(QStringLiteral("Cmd背景色")); // cancelled
        QCOMPARE(f.Child<QLineEdit>(QStringLiteral("Txt背景色"))->text(), QStringLiteral("255"));
        f.Click(QStringLiteral("Optモード_2"));
        f.Apply(Dialogs::Answer::No); // No keeps the screen with the edits in place
        QVERIFY(f.screen->isVisible() && f.Child<QRadioButton>(QStringLiteral("Optモード_2"))->isChecked());
        f.t.dialogs.Folders = {QStringLiteral("/photos"), QString()}; // the second cancelled
        f.Click(QStringLiteral("Cmd写真"));
        f.Click(QStringLiteral("Cmd音楽"));
        QCOMPARE(f.t.dialogs.Log.back().text, QStringLiteral("音楽保存フォルダーを選択してください。"));
        QCOMPARE(f.Child<QLineEdit>(QStringLiteral("Txt写真"))->text(), QStringLiteral("/photos"));
        QCOMPARE(f.Child<QLineEdit>(QStringLiteral("Txt音楽"))->text(), QStringLiteral("/w/Musics"));
        // Rows or columns that are no number are refused before the question.
        for (const char* combo : {"Cmb行数", "Cmb列数"}) {
            f.Child<QComboBox>(QString::fromUtf8(combo))->setEditText(QStringLiteral("abc"));
            f.Apply(Dialogs::Answer::Yes);
            QCOMPARE(f.t.dialogs.Questions().size(), 1);
            QCOMPARE(f.t.dialogs.Messages().last(),
                     QStringLiteral("縦パネル数と横パネル数は数字で指定してください。"));
            f.Child<QComboBox>(QString::fromUtf8(combo))->setEditText(QStringLiteral("5"));
        }
        f.screen->close(); // closed through its frame: nothing is stored
        QCOMPARE(f.state.Settings.Backcolor, QStringLiteral("8421504"));
        QCOMPARE(f.state.Settings.GameMode, 1);
        QCOMPARE(f.state.Settings.Pictures, QStringLiteral("/w/Pictures"));
        QCOMPARE(f.t.dialogs.YesNo.size(), size_t(2)); // the refused applies asked nothing
    }
};

QTEST_MAIN(GameSettingsTest)
#include "gamesettings_test.moc"
