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

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        Fixture() {
            state.Roster.Clear();
            state.Settings.ApplyDefaults();
            state.ProgramFolder = dir.path() + u'/';
            window = std::make_unique<MainWindow>(state, t.services);
        }
        QAction* action(const char* name) const {
            return window->findChild<QAction*>(QString::fromUtf8(name));
        }
        bool enabled(const char* name) const { return action(name)->isEnabled(); }
        int subWindows() const { return static_cast<int>(window->MdiArea()->subWindowList().size()); }
        QString ini() const {
            QFile f(dir.filePath(QStringLiteral("Mrda.ini")));
            return f.open(QIODevice::ReadOnly) ? DecodeSettingsText(f.readAll()) : QString();
        }
        QTemporaryDir dir;
        ProgramState state;
        TestServices t;
        std::unique_ptr<MainWindow> window;
    };

    // ﾌｧｲﾙ, 設定, 抽選, 開始, 抽選 → 終了
    static QList<bool> menuStates(const Fixture& f) {
        return {f.enabled("mnuFileAction"), f.enabled("mnuToolsOptions"), f.enabled("mnu抽選Action"),
                f.enabled("mnu開始"), f.enabled("mnu終了")};
    }

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void menuTreeCaptionsOrderAndInitialStates() {
        Fixture f;
        QStringList top;
        for (QAction* a : f.window->menuBar()->actions()) {
            top << a->text();
        }
        QCOMPARE(top, (QStringList{QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("設定"), QStringLiteral("抽選"),
                                   QStringLiteral("取説")}));
        const auto items = [](QMenu* menu) {
            QStringList out;
            for (QAction* a : menu->actions()) {
                out << (a->isSeparator() ? QStringLiteral("-") : a->text());
            }
            return out;
        };
        QCOMPARE(
            items(f.window->findChild<QMenu*>(QStringLiteral("mnuFile"))),
            (QStringList{QStringLiteral("新規作成(&N)"), QStringLiteral("開く(&O)..."), QStringLiteral("-"),
                         QStringLiteral("上書き保存(&S)"), QStringLiteral("名前を付けて保存(&A)..."),
                         QStringLiteral("インポート(&I)..."), QStringLiteral("エクスポート(&E)..."),
                         QStringLiteral("-"), QStringLiteral("ビンゴカード発行(&P)..."), QStringLiteral("-"),
                         QStringLiteral("終了(&X)")}));
        QCOMPARE(items(f.window->findChild<QMenu*>(QStringLiteral("mnu抽選"))),
                 (QStringList{QStringLiteral("開始"), QStringLiteral("-"), QStringLiteral("通常抽選"),
                              QStringLiteral("簡易抽選"), QStringLiteral("-"), QStringLiteral("終了"),
                              QStringLiteral("-"), QStringLiteral("全画面表示")}));
        QCOMPARE(f.action("mnuFileOpen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QVERIFY(f.action("mnu通常")->isChecked());
        QVERIFY(!f.action("mnu簡易")->isChecked());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("ミルダ(Ver 1.1.0  2011/3/25)"));
        QVERIFY(!(f.window->windowFlags() & Qt::WindowCloseButtonHint));
        // Before the first tick everything is on, 抽選 → 終了 included; the tick turns it off.
        QCOMPARE(menuStates(f), (QList<bool>{true, true, true, true, true}));
        f.t.clock.Advance(1200);
        QCOMPARE(menuStates(f), (QList<bool>{true, true, true, true, false}));
    }

    void oneScreenAtATimeAndTheMonitor() {
        Fixture f;
        f.t.clock.Advance(1200);
        f.window->mnuToolsOptions_Click();
        QCOMPARE(f.subWindows(), 1);
        QCOMPARE(f.window->ChildScreen()->objectName(), QStringLiteral("Frm設定"));
        QCOMPARE(menuStates(f).mid(0, 3), (QList<bool>{false, false, false}));
        f.window->mnuFilePrint_Click(); // ignored silently while a screen is open
        f.window->mnu開始_Click();
        QCOMPARE(f.subWindows(), 1);
        QVERIFY(f.t.dialogs.Log.empty());
        QVERIFY(f.window->CheckNoChildScreen());
        QCOMPARE(f.t.dialogs.Messages(),
                 QStringList{QStringLiteral(
                     "選択された操作は無効です。\r\n呼び出されたフォームを閉じてから再操作してください。")});
        f.t.clock.Advance(1200); // the screen is still open: nothing changes
        QCOMPARE(menuStates(f).mid(0, 3), (QList<bool>{false, false, false}));

        f.window->MdiArea()->subWindowList().first()->close(); // closed by its own means
        QVERIFY(!f.window->ChildScreen());
        QCOMPARE(menuStates(f).mid(0, 3), (QList<bool>{false, false, false}));
        f.t.clock.Advance(1200);
        QCOMPARE(menuStates(f), (QList<bool>{true, true, true, true, false}));
        QVERIFY(!f.window->CheckNoChildScreen());
    }

    void drawScreenLeavesStopAndDrawKindsUsable() {
        Fixture f;
        f.t.clock.Advance(1200);
        f.window->mnu開始_Click();
        QCOMPARE(f.window->ChildScreen()->objectName(), QStringLiteral("frm抽選"));
        QCOMPARE(menuStates(f), (QList<bool>{false, false, true, false, true}));
        f.window->mnu簡易_Click();
        QCOMPARE(f.state.DrawKind, DrawKind::Simple);
        QVERIFY(f.action("mnu簡易")->isChecked() && !f.action("mnu通常")->isChecked());

        // A started draw asks first; No keeps the screen.
        f.state.DrawInProgress = true;
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::No);
        f.window->mnu終了_Click();
        QCOMPARE(f.t.dialogs.Questions(), QStringList{QStringLiteral("抽選を中止しますか？")});
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::No);
        QVERIFY(f.window->ChildScreen());
        QVERIFY(f.state.DrawInProgress);
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
        f.window->mnu終了_Click();
        QVERIFY(!f.window->ChildScreen());
        QVERIFY(!f.state.DrawInProgress);

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
        QVERIFY(f.window->isVisible());

        // Unsaved changes, answered No: the program keeps running and the flag stays.
        f.state.RosterModified = true;
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::No);
        f.window->mnuFileExit_Click();
        QVERIFY(f.window->isVisible());
        QVERIFY(f.state.RosterModified);
        QCOMPARE(f.t.dialogs.Questions(),
                 QStringList{QStringLiteral("データが保存されていません\r\n\r\n終了しますか?")});
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::No);

        // With a screen open the guard speaks and nothing else happens.
        f.window->mnuToolsOptions_Click();
        f.window->mnuFileExit_Click();
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.t.dialogs.Messages().size(), 2);
        f.window->MdiArea()->subWindowList().first()->close();

        f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
        f.window->mnuFileExit_Click();
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.state.RosterModified);
    }

    void newAndOpenOpenTheRegistrationScreen() {
        Fixture f;
        f.state.Roster.SetCell(RosterColumn::Name, 3, QStringLiteral("佐藤"));
        f.state.RosterModified = true;
        f.state.Settings.RosterFilePath = QStringLiteral("/old/roster.txt");
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::No);
        f.window->mnuFileNew_Click();
        QVERIFY(f.state.Roster.IsInUse(3));
        QVERIFY(!f.window->ChildScreen());
        QCOMPARE(f.t.dialogs.Questions().last(),
                 QStringLiteral(
                     "名簿ファイルは保存されていません。\r\n続行すると変更内容がキャンセルされます。\r\n"
                     "新規作成を作成しますか\r\n"));

        f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
        f.window->mnuFileNew_Click();
        QVERIFY(!f.state.Roster.IsInUse(3));
        QVERIFY(f.state.RosterModified); // a later exit asks again
        QVERIFY(f.state.Settings.RosterFilePath.isEmpty());
        QCOMPARE(f.window->ChildScreen()->objectName(), QStringLiteral("Frm参加者登録"));
        QCOMPARE(f.window->ChildScreen()->windowTitle(), QString());
        QVERIFY(f.ini().isEmpty()); // New does not rewrite the settings
        f.window->MdiArea()->subWindowList().first()->close();

        // Open of an unreadable file: reported, named in Mrda.ini, registration screen captioned with it.
        const QString missing = f.dir.filePath(QStringLiteral("missing.txt"));
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
        f.t.dialogs.Files.push_back(missing);
        f.window->mnuFileOpen_Click();
        QCOMPARE(f.t.dialogs.Questions().last(),
                 QStringLiteral("名簿ファイルは保存されていません。\r\n続行すると変更内容がキャンセルされます"
                                "。\r\n続行しますか\r\n"));
        const auto& open = f.t.dialogs.Log.at(f.t.dialogs.Log.size() - 2);
        QCOMPARE(open.kind, QStringLiteral("open"));
        QCOMPARE(open.text, QStringLiteral("開く"));
        QCOMPARE(open.extra,
                 QString() + QStringLiteral("|Tab区切りﾃｷｽﾄﾌｧｲﾙ (*.txt);;すべてのファイル(*.*)|1"));
        QVERIFY(f.t.dialogs.Messages().last().contains(missing + QStringLiteral(" が読めません。\r\n")));
        QVERIFY(f.ini().contains(QStringLiteral("Names = ") + missing + QStringLiteral("\r\n")));
        QCOMPARE(f.window->ChildScreen()->windowTitle(), missing);
        QVERIFY(!f.state.RosterModified);
        f.window->MdiArea()->subWindowList().first()->close();

        // Cancelling the dialog changes nothing.
        const int before = static_cast<int>(f.t.dialogs.Log.size());
        f.window->mnuFileOpen_Click();
        QCOMPARE(static_cast<int>(f.t.dialogs.Log.size()), before + 1);
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
        QVERIFY(QFile::exists(target)); // exactly that name, no extension added
        QVERIFY(!f.state.RosterModified);
        QVERIFY(f.ini().contains(QStringLiteral("Names = ") + target + QStringLiteral("\r\n")));
        QCOMPARE(f.t.dialogs.Log.back().text, QStringLiteral("名前を付けて保存"));

        // Saving again replaces the file without a question.
        f.state.Roster.SetCell(RosterColumn::Name, 2, QStringLiteral("川口"));
        f.window->mnuFileSave_Click();
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), 3);
        QVERIFY(f.t.dialogs.Questions().isEmpty());
    }

    // A roster holding characters the file cannot hold is never a dead end: the save offers to
    // replace them, and refusing keeps everything as it was.
    void saveOffersToReplaceWhatTheFileCannotHold_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("no keeps the roster and the file") << int(Dialogs::Answer::No);
        QTest::newRow("yes replaces and saves") << int(Dialogs::Answer::Yes);
    }
    void saveOffersToReplaceWhatTheFileCannotHold() {
        QFETCH(int, answer);
        Fixture f;
        const QString target = f.dir.filePath(QStringLiteral("名簿.txt"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old\r\n");
        old.close();
        f.state.Settings.RosterFilePath = target;
        f.state.Roster.SetCell(RosterColumn::Name, 1, QStringLiteral("𠮷田"));
        f.state.Roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("楽しみ🎉"));
        f.state.RosterModified = true;
        f.t.dialogs.YesNo.push_back(Dialogs::Answer(answer));
        f.window->mnuFileSave_Click();
        QCOMPARE(f.t.dialogs.Questions().size(), 1);
        const QString question = f.t.dialogs.Questions().first();
        QVERIFY2(question.contains(QStringLiteral("行番号 1 の「氏名」: 𠮷")), qPrintable(question));
        QVERIFY(question.contains(QStringLiteral("行番号 1 の「一言」: 🎉")));
        QVERIFY(question.endsWith(QStringLiteral("「〓」に置き換えて保存しますか？")));
        QVERIFY(f.t.dialogs.Messages().isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray bytes = old.readAll();
        if (Dialogs::Answer(answer) == Dialogs::Answer::No) {
            QCOMPARE(bytes, QByteArray("old\r\n"));
            QVERIFY(f.state.RosterModified);
            QCOMPARE(f.state.Roster.Cell(RosterColumn::Comment, 1), QStringLiteral("楽しみ🎉"));
        } else {
            QVERIFY(!f.state.RosterModified);
            QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 1), QStringLiteral("〓田"));
            QVERIFY(bytes.contains("\x81\xac\x93\x63")); // 〓田 in CP932
            QVERIFY(f.ini().contains(QStringLiteral("Names = ") + target));
        }
    }

    // A file that plainly is not a roster is opened only when the user says so.
    void openAsksBeforeAFileThatIsNoRoster() {
        Fixture f;
        const QString picture = f.dir.filePath(QStringLiteral("photo.jpg"));
        QFile file(picture);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01", 13));
        file.close();
        f.state.Settings.RosterFilePath = f.dir.filePath(QStringLiteral("before.txt"));
        f.state.Roster.SetCell(RosterColumn::Name, 1, QStringLiteral("山田"));
        f.t.dialogs.Files.push_back(picture);
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::No);
        f.window->mnuFileOpen_Click();
        QCOMPARE(
            f.t.dialogs.Questions(),
            QStringList{picture + QStringLiteral("\r\nは名簿ファイルではないようです。\r\n開きますか？")});
        QCOMPARE(f.t.dialogs.Log.back().extra, QStringLiteral("no"));
        QCOMPARE(f.state.Settings.RosterFilePath, f.dir.filePath(QStringLiteral("before.txt")));
        QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 1), QStringLiteral("山田"));
        QCOMPARE(f.subWindows(), 0);
        QVERIFY(f.ini().isEmpty());
    }

    void manualViewer() {
        QTemporaryDir dir;
        HelpViewer missing;
        missing.LoadText(dir.path() + u'/', QStringLiteral("操作説明.txt"));
        QCOMPARE(missing.Text(), QStringLiteral("操作説明.txt  がありません"));
        QCOMPARE(missing.windowTitle(), QStringLiteral("取り扱い説明書"));

        QFile file(dir.filePath(QStringLiteral("操作説明.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("一行目\r\n二行目\rthird").toUtf8());
        file.close();
        HelpViewer present;
        present.LoadText(dir.path() + u'/', QStringLiteral("操作説明.txt"));
        QCOMPARE(present.Text(), QStringLiteral("一行目\n二行目\nthird\n"));

        // From the menu, modal, whether or not a screen is open.
        Fixture f;
        f.window->mnuToolsOptions_Click();
        f.window->mnuHelp_Click();
        QCOMPARE(f.t.dialogs.Log.back().kind, QStringLiteral("exec"));
        QCOMPARE(f.t.dialogs.Log.back().text, QStringLiteral("KapHelp"));
    }

    void fileDialogFiltersAsQtReadsThem() {
        const QString music = QStringLiteral("音楽ファイル(*.mp3;*.wav);;すべてのファイル(*.*)");
        QCOMPARE(ToQtNameFilters(music, false),
                 QStringLiteral("音楽ファイル(*.mp3 *.wav);;すべてのファイル(*.*)"));
        QCOMPARE(ToQtNameFilters(music, true),
                 QStringLiteral("音楽ファイル(*.mp3 *.wav *.MP3 *.WAV);;すべてのファイル(*.*)"));
        QCOMPARE(ToQtNameFilters(QStringLiteral("Tab区切りﾃｷｽﾄﾌｧｲﾙ (*.txt)"), true),
                 QStringLiteral("Tab区切りﾃｷｽﾄﾌｧｲﾙ (*.txt *.TXT)"));
    }

    void pickColorGivesTheColourNumberOrNothing() {
        ScriptedDialogs dialogs;
        dialogs.Colours.push_back(QColor(0, 0, 0));
        dialogs.Colours.push_back(QColor(255, 0, 0));
        dialogs.Colours.push_back(QColor(0, 0, 255));
        dialogs.Colours.push_back(std::nullopt);
        QString text = QStringLiteral("x");
        QVERIFY(PickColor(dialogs, nullptr, text));
        QCOMPARE(text, QStringLiteral("0")); // a chosen black is not a cancel
        QVERIFY(PickColor(dialogs, nullptr, text));
        QCOMPARE(text, QStringLiteral("255"));
        QVERIFY(PickColor(dialogs, nullptr, text));
        QCOMPARE(text, QStringLiteral("16711680"));
        QVERIFY(!PickColor(dialogs, nullptr, text));
        QCOMPARE(text, QString());
        QColor grey;
        QVERIFY(ColourFromText(QStringLiteral("8421504"), grey));
        QCOMPARE(grey, QColor(128, 128, 128));
        QVERIFY(!ColourFromText(QStringLiteral("grey"), grey));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
