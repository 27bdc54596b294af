#include "core/common/designfonts.h"
#include "core/config/settingsfile.h"
#include "support/testservices.h"
#include "ui/app/helpviewer.h"
#include "ui/app/mainwindow.h"
#include "ui/colour/pickcolor.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Fixture {
    Fixture() {
        state.Roster.Clear();
        state.Settings.ApplyDefaults();
        state.ProgramFolder = dir.path() + u'/';
        window = std::make_unique<MainWindow>(state, t.services);
    }
    QAction* Action(const char* name) const { return window->findChild<QAction*>(QString::fromUtf8(name)); }
    // ﾌｧｲﾙ, 設定, 抽選, 開始, 抽選 → 終了
    QList<bool> MenuStates() const {
        QList<bool> states;
        for (const char* name : {"mnuFileAction", "mnuToolsOptions", "mnu抽選Action", "mnu開始", "mnu終了"}) {
            states.append(Action(name)->isEnabled());
        }
        return states;
    }
    void CloseScreen() const { window->MdiArea()->subWindowList().first()->close(); }
    QString Ini() const {
        QFile f(dir.filePath(QStringLiteral("Mrda.ini")));
        return f.open(QIODevice::ReadOnly) ? DecodeSettingsText(f.readAll()) : QString();
    }
    QTemporaryDir dir;
    ProgramState state;
    TestServices t;
    std::unique_ptr<MainWindow> window;
};

QStringList Items(QWidget* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return out;
}

const QList<bool> kAllButStop{true, true, true, true, false};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void menuTreeCaptionsOrderAndInitialStates() {
        Fixture f;
        QCOMPARE(Items(f.window->menuBar()), (QStringList{QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("設定"),
                                                          QStringLiteral("抽選"), QStringLiteral("取説")}));
        QCOMPARE(
            Items(f.window->findChild<QMenu*>(QStringLiteral("mnuFile"))),
            (QStringList{QStringLiteral("新規作成(&N)"), QStringLiteral("開く(&O)..."), QStringLiteral("-"),
                         QStringLiteral("上書き保存(&S)"), QStringLiteral("名前を付けて保存(&A)..."),
                         QStringLiteral("インポート(&I)..."), QStringLiteral("エクスポート(&E)..."),
                         QStringLiteral("-"), QStringLiteral("ビンゴカード発行(&P)..."), QStringLiteral("-"),
                         QStringLiteral("終了(&X)")}));
        QCOMPARE(Items(f.window->findChild<QMenu*>(QStringLiteral("mnu抽選"))),
                 (QStringList{QStringLiteral("開始"), QStringLiteral("-"), QStringLiteral("通常抽選"),
                              QStringLiteral("簡易抽選"), QStringLiteral("-"), QStringLiteral("終了"),
                              QStringLiteral("-"), QStringLiteral("全画面表示")}));
        QCOMPARE(f.Action("mnuFileOpen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QVERIFY(f.Action("mnu通常")->isChecked() && !f.Action("mnu簡易")->isChecked());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("ミルダ(Ver 1.1.0  2011/3/25)"));
        QVERIFY(!(f.window->windowFlags() & Qt::WindowCloseButtonHint));
        // Before the first tick of the 1200 ms monitor everything is on, 抽選 → 終了 included.
        f.t.clock.Advance(1199);
        QCOMPARE(f.MenuStates(), (QList<bool>{true, true, true, true, true}));
        f.t.clock.Advance(1);
        QCOMPARE(f.MenuStates(), kAllButStop);
    }

    void oneScreenAtATimeAndTheMonitor() {
        Fixture f;
        f.t.clock.Advance(1200);
        f.window->mnuToolsOptions_Click();
        QCOMPARE(f.window->ChildScreen()->objectName(), QStringLiteral("Frm設定"));
        QCOMPARE(f.MenuStates().mid(0, 3), (QList<bool>{false, false, false}));
        f.window->mnuFilePrint_Click(); // ignored silently while a screen is open
        f.window->mnu開始_Click();
        QCOMPARE(f.window->MdiArea()->subWindowList().size(), 1);
        QVERIFY(f.t.dialogs.Log.empty());
        QVERIFY(f.window->CheckNoChildScreen());
        QCOMPARE(f.t.dialogs.Messages(),
                 QStringList{QStringLiteral(
                     "選択された操作は無効です。\r\n呼び出されたフォームを閉じてから再操作してください。")});
        f.t.clock.Advance(1200); // the screen is still open: nothing changes
        QCOMPARE(f.MenuStates().mid(0, 3), (QList<bool>{false, false, false}));
        f.CloseScreen(); // closed by its own means: the monitor brings the menus back
        QVERIFY(!f.window->ChildScreen() && !f.window->CheckNoChildScreen());
        QCOMPARE(f.MenuStates().mid(0, 3), (QList<bool>{false, false, false}));
        f.t.clock.Advance(1200);
        QCOMPARE(f.MenuStates(), kAllButStop);
    }

    void drawScreenLeavesStopAndDrawKindsUsable() {
        Fixture f;
        f.t.clock.Advance(1200);
        f.window->mnu開始_Click();
        QCOMPARE(f.window->ChildScreen()->objectName(), QStringLiteral("frm抽選"));
        QCOMPARE(f.MenuStates(), (QList<bool>{false, false, true, false, true}));
        f.window->mnu簡易_Click();
        QCOMPARE(f.state.DrawKind, DrawKind::Simple);
        QVERIFY(f.Action("mnu簡易")->isChecked() && !f.Action("mnu通常")->isChecked());
        // A started draw asks first; No keeps the screen.
        f.state.DrawInProgress = true;
        f.t.dialogs.YesNo = {Dialogs::Answer::No, Dialogs::Answer::Yes};
        f.window->mnu終了_Click();
        QCOMPARE(f.t.dialogs.Questions(), QStringList{QStringLiteral("抽選を中止しますか？")});
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::No);
        QVERIFY(f.window->ChildScreen() && f.state.DrawInProgress);
        f.window->mnu終了_Click();
        QVERIFY(!f.window->ChildScreen() && !f.state.DrawInProgress);
        // Without a started draw it closes at once, without a question.
        f.t.clock.Advance(1200);
        f.window->mnu開始_Click();
        f.window->mnu終了_Click();
        QVERIFY(!f.window->ChildScreen());
        QCOMPARE(f.t.dialogs.Questions().size(), 2);
        f.window->mnu通常_Click();
        QCOMPARE(f.state.DrawKind, DrawKind::Normal);
    }

    void closingIsRefusedUnlessExitIsChosen() {
        Fixture f;
        f.window->show();
        QVERIFY(!f.window->close());
        QCOMPARE(f.t.dialogs.Messages(),
                 QStringList{QStringLiteral("プログラムの終了は、メニューの[終了]で行ってください。")});
        // Unsaved changes, answered No: the program keeps running and the flag stays.
        f.state.RosterModified = true;
        f.t.dialogs.YesNo = {Dialogs::Answer::No, Dialogs::Answer::Yes};
        f.window->mnuFileExit_Click();
        QVERIFY(f.window->isVisible() && f.state.RosterModified);
        QCOMPARE(f.t.dialogs.Questions(),
                 QStringList{QStringLiteral("データが保存されていません\r\n\r\n終了しますか?")});
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::No);
        // With a screen open the guard speaks and nothing else happens.
        f.window->mnuToolsOptions_Click();
        f.window->mnuFileExit_Click();
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.t.dialogs.Messages().size(), 2);
        f.CloseScreen();
        f.window->mnuFileExit_Click();
        QVERIFY(!f.window->isVisible() && !f.state.RosterModified);
    }

    void newAndOpenOpenTheRegistrationScreen() {
        Fixture f;
        const QString unsaved = QStringLiteral(
            "名簿ファイルは保存されていません。\r\n続行すると変更内容がキャンセルされます。\r\n%1\r\n");
        f.state.Roster.SetCell(RosterColumn::Name, 3, QStringLiteral("佐藤"));
        f.state.RosterModified = true;
        f.state.Settings.RosterFilePath = QStringLiteral("/old/roster.txt");
        f.t.dialogs.YesNo = {Dialogs::Answer::No, Dialogs::Answer::Yes, Dialogs::Answer::Yes};
        f.window->mnuFileNew_Click();
        QVERIFY(f.state.Roster.IsInUse(3) && !f.window->ChildScreen());
        QCOMPARE(f.t.dialogs.Questions().last(), unsaved.arg(QStringLiteral("新規作成を作成しますか")));
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::No);
        f.window->mnuFileNew_Click();
        QVERIFY(!f.state.Roster.IsInUse(3));
        QVERIFY(f.state.RosterModified); // a later exit asks again
        QVERIFY(f.state.Settings.RosterFilePath.isEmpty());
        QCOMPARE(f.window->ChildScreen()->objectName(), QStringLiteral("Frm参加者登録"));
        QCOMPARE(f.window->ChildScreen()->windowTitle(), QString());
        QVERIFY(f.Ini().isEmpty()); // New does not rewrite the settings
        f.CloseScreen();
        // Open of an unreadable file: reported, named in Mrda.ini, the screen captioned with it.
        const QString missing = f.dir.filePath(QStringLiteral("missing.txt"));
        f.t.dialogs.Files.push_back(missing);
        f.window->mnuFileOpen_Click();
        QCOMPARE(f.t.dialogs.Questions().last(), unsaved.arg(QStringLiteral("続行しますか")));
        const auto& open = f.t.dialogs.Log.at(f.t.dialogs.Log.size() - 2);
        QCOMPARE(QStringList({open.kind, open.text, open.extra}),
                 QStringList({QStringLiteral("open"), QStringLiteral("開く"),
                              QStringLiteral("|Tab区切りﾃｷｽﾄﾌｧｲﾙ (*.txt);;すべてのファイル(*.*)|1")}));
        QVERIFY(f.t.dialogs.Messages().last().contains(missing + QStringLiteral(" が読めません。\r\n")));
        QVERIFY(f.Ini().contains(QStringLiteral("Names = ") + missing + QStringLiteral("\r\n")));
        QCOMPARE(f.window->ChildScreen()->windowTitle(), missing);
        QVERIFY(!f.state.RosterModified);
        f.CloseScreen();
        const size_t before = f.t.dialogs.Log.size(); // cancelling the dialog changes nothing
        f.window->mnuFileOpen_Click();
        QCOMPARE(f.t.dialogs.Log.size(), before + 1);
        QVERIFY(!f.window->ChildScreen());
    }

    void saveAndSaveAs() {
        Fixture f;
        f.state.Settings.RosterFilePath = QStringLiteral("  ");
        f.window->mnuFileSave_Click();
        QCOMPARE(f.t.dialogs.Messages(), QStringList{QStringLiteral("名簿ファイル名が指定されていません。")});
        f.state.Roster.SetCell(RosterColumn::Name, 1, QStringLiteral("山田"));
        f.state.RosterModified = true;
        const QString target = f.dir.filePath(QStringLiteral("roster-without-extension"));
        f.t.dialogs.Files.push_back(target);
        f.window->mnuFileSaveAs_Click();
        QCOMPARE(f.t.dialogs.Log.back().text, QStringLiteral("名前を付けて保存"));
        QVERIFY(QFile::exists(target) && !f.state.RosterModified); // exactly that name, no extension added
        QVERIFY(f.Ini().contains(QStringLiteral("Names = ") + target + QStringLiteral("\r\n")));
        f.state.Roster.SetCell(RosterColumn::Name, 2, QStringLiteral("川口"));
        f.window->mnuFileSave_Click(); // replaces the file without a question
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().count("\r\n") == 3);
        QVERIFY(f.t.dialogs.Questions().isEmpty());
    }

    // A roster holding characters the file cannot hold is never a dead end: the save offers to
    // replace them, and refusing keeps everything as it was.
    void saveOffersToReplaceWhatTheFileCannotHold_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no keeps the roster and the file") << false;
        QTest::newRow("yes replaces and saves") << true;
    }
    void saveOffersToReplaceWhatTheFileCannotHold() {
        QFETCH(bool, yes);
        Fixture f;
        const QString target = f.dir.filePath(QStringLiteral("名簿.txt"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5);
        old.close();
        f.state.Settings.RosterFilePath = target;
        f.state.Roster.SetCell(RosterColumn::Name, 1, QStringLiteral("𠮷田"));
        f.state.Roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("楽しみ🎉"));
        f.state.RosterModified = true;
        f.t.dialogs.YesNo.push_back(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        f.window->mnuFileSave_Click();
        QCOMPARE(f.t.dialogs.Questions(),
                 QStringList{QStringLiteral(
                     "名簿ファイルに保存できない文字があります。\r\n行番号 1 の「氏名」: 𠮷\r\n"
                     "行番号 1 の「一言」: 🎉\r\n\r\nこれらの文字を「〓」に置き換えて保存しますか？")});
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::No);
        QVERIFY(f.t.dialogs.Messages().isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray bytes = old.readAll();
        QCOMPARE(f.state.RosterModified, !yes);
        QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 1),
                 yes ? QStringLiteral("〓田") : QStringLiteral("𠮷田"));
        QCOMPARE(bytes.contains("\x81\xac\x93\x63"), yes); // 〓田 in CP932
        QCOMPARE(bytes == "old\r\n", !yes);
        QCOMPARE(f.Ini().contains(QStringLiteral("Names = ") + target), yes);
    }

    // A file that plainly is not a roster is opened only when the user says so.
    void openAsksBeforeAFileThatIsNoRoster() {
        Fixture f;
        const QString picture = f.dir.filePath(QStringLiteral("photo.jpg"));
        QFile file(picture);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01", 13)) == 13);
        file.close();
        f.state.Settings.RosterFilePath = f.dir.filePath(QStringLiteral("before.txt"));
        f.state.Roster.SetCell(RosterColumn::Name, 1, QStringLiteral("山田"));
        f.t.dialogs.Files.push_back(picture);
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::No);
        f.window->mnuFileOpen_Click();
        QCOMPARE(
            f.t.dialogs.Questions(),
            QStringList{picture + QStringLiteral("\r\nは名簿ファイルではないようです。\r\n開きますか？")});
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::No);
        QCOMPARE(f.state.Settings.RosterFilePath, f.dir.filePath(QStringLiteral("before.txt")));
        QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 1), QStringLiteral("山田"));
        QVERIFY(!f.window->ChildScreen() && f.Ini().isEmpty());
    }

    void manualViewer() {
        QTemporaryDir dir;
        HelpViewer viewer;
        viewer.LoadText(dir.path() + u'/', QStringLiteral("操作説明.txt"));
        QCOMPARE(viewer.Text(), QStringLiteral("操作説明.txt  がありません"));
        QCOMPARE(viewer.windowTitle(), QStringLiteral("取り扱い説明書"));
        QFile file(dir.filePath(QStringLiteral("操作説明.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(QStringLiteral("一行目\r\n二行目\rthird").toUtf8()) > 0);
        file.close();
        viewer.LoadText(dir.path() + u'/', QStringLiteral("操作説明.txt"));
        QCOMPARE(viewer.Text(), QStringLiteral("一行目\n二行目\nthird\n"));
        // From the menu, modal, whether or not a screen is open.
        Fixture f;
        f.window->mnuToolsOptions_Click();
        f.window->mnuHelp_Click();
        QCOMPARE(f.t.dialogs.Log.back().kind, QStringLiteral("exec"));
        QCOMPARE(f.t.dialogs.Log.back().text, QStringLiteral("KapHelp"));
    }

    void fileDialogFiltersAsQtReadsThem_data() {
        QTest::addColumn<QString>("filters");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("qt");
        const QString music = QStringLiteral("音楽ファイル(*.mp3;*.wav);;すべてのファイル(*.*)");
        QTest::newRow("spaces") << music << false << "音楽ファイル(*.mp3 *.wav);;すべてのファイル(*.*)";
        QTest::newRow("upper case") << music << true
                                    << "音楽ファイル(*.mp3 *.wav *.MP3 *.WAV);;すべてのファイル(*.*)";
        QTest::newRow("one") << "Tab区切りﾃｷｽﾄﾌｧｲﾙ (*.txt)" << true << "Tab区切りﾃｷｽﾄﾌｧｲﾙ (*.txt *.TXT)";
    }
    void fileDialogFiltersAsQtReadsThem() {
        QFETCH(QString, filters);
        QFETCH(bool, upper);
        QFETCH(QString, qt);
        QCOMPARE(ToQtNameFilters(filters, upper), qt);
    }

    void pickColorGivesTheColourNumberOrNothing() {
        ScriptedDialogs dialogs;
        dialogs.Colours = {QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255), std::nullopt};
        for (const char* expected : {"0", "255", "16711680", ""}) { // a chosen black is not a cancel
            QString text = QStringLiteral("x");
            QCOMPARE(PickColor(dialogs, nullptr, text), *expected != 0);
            QCOMPARE(text, QString::fromLatin1(expected));
        }
        QColor grey;
        QVERIFY(ColourFromText(QStringLiteral("8421504"), grey) && grey == QColor(128, 128, 128));
        QVERIFY(!ColourFromText(QStringLiteral("grey"), grey));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
