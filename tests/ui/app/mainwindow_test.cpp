#include "core/common/designfonts.h"
#include "core/config/settingsfile.h"
#include "support/scriptstep.h"
#include "support/testservices.h"
#include "ui/app/helpviewer.h"
#include "ui/app/mainwindow.h"
#include "ui/colour/pickcolor.h"
#include "ui/transfer/importdialog.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The main window over an empty roster, its settings file in a folder of its own.
struct Fixture {
    Fixture() {
        state.Roster.Clear();
        state.Settings.ApplyDefaults();
        state.ProgramFolder = dir.path() + u'/';
        window = std::make_unique<MainWindow>(state, t.services);
    }
    QAction* Action(const char* name) const { return window->findChild<QAction*>(QString::fromUtf8(name)); }
    QString Path(const QString& name) const { return name.isEmpty() ? name : dir.filePath(name); }
    QByteArray Read(const QString& name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool Write(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    // One step of a script: a command, an answer or a check (see RunScripts). Paths are relative to
    // the fixture's folder.
    QString Step(const ScriptStep& step) {
        static const std::map<QString, void (MainWindow::*)()> commands = {
            {QStringLiteral("new"), &MainWindow::mnuFileNew_Click},
            {QStringLiteral("open"), &MainWindow::mnuFileOpen_Click},
            {QStringLiteral("save"), &MainWindow::mnuFileSave_Click},
            {QStringLiteral("saveas"), &MainWindow::mnuFileSaveAs_Click},
            {QStringLiteral("print"), &MainWindow::mnuFilePrint_Click},
            {QStringLiteral("exit"), &MainWindow::mnuFileExit_Click},
            {QStringLiteral("settings"), &MainWindow::mnuToolsOptions_Click},
            {QStringLiteral("start"), &MainWindow::mnu開始_Click},
            {QStringLiteral("normal"), &MainWindow::mnu通常_Click},
            {QStringLiteral("simple"), &MainWindow::mnu簡易_Click},
            {QStringLiteral("stop"), &MainWindow::mnu終了_Click},
            {QStringLiteral("help"), &MainWindow::mnuHelp_Click},
            {QStringLiteral("import"), &MainWindow::mnuFileImport_Click},
            {QStringLiteral("export"), &MainWindow::mnuFileExport_Click}};
        const QString &name = step.Name, &arg = step.Arg, &value = step.Value;
        const auto& log = t.dialogs.Log;
        QString got;
        if (commands.count(name)) {
            (window.get()->*commands.at(name))();
        } else if (name == u"tick") {
            t.clock.Advance(value.toInt());
        } else if (name == u"key") { // through the shown window
            window->show();
            const QKeyCombination combination = QKeySequence::fromString(arg)[0];
            if (!QTest::qWaitForWindowActive(window.get())) {
                got = QStringLiteral("the window is not active");
            }
            QTest::keyClick(window->windowHandle(), combination.key(), combination.keyboardModifiers());
        } else if (name == u"show") {
            window->show();
        } else if (name == u"closed?") { // the window's close box
            got = QString::number(int(window->close()));
        } else if (name == u"closescreen") {
            window->MdiArea()->subWindowList().first()->close();
        } else if (name == u"yes" || name == u"no") {
            t.dialogs.YesNo.push_back(name == u"yes" ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        } else if (name == u"file") {
            t.dialogs.Files.push_back(Path(value));
        } else if (name == u"take" || name == u"replace") { // the import dialog, accepted once read
            t.dialogs.Execs.push_back([replace = name == u"replace"](QDialog& dialog) {
                dialog.findChild<QRadioButton*>(QStringLiteral("optReplace"))->setChecked(replace);
                const bool read =
                    QTest::qWaitFor([&] { return !static_cast<ImportDialog&>(dialog).IsReading(); });
                return int(read ? QDialog::Accepted : QDialog::Rejected);
            });
        } else if (name == u"write") {
            got = Write(arg, value.toUtf8()) ? QString() : QStringLiteral("not written");
        } else if (name == u"writebytes") { // the bytes as escaped, not as UTF-8
            got = Write(arg, step.Bytes) ? QString() : QStringLiteral("not written");
        } else if (name == u"cell") {
            state.Roster.SetCell(RosterColumn(step.Column()), step.Row(), value);
        } else if (name == u"roster") {
            state.Settings.RosterFilePath =
                value.startsWith(u'/') || value.trimmed().isEmpty() ? value : Path(value);
        } else if (name == u"modified" || name == u"drawing") {
            (name == u"modified" ? state.RosterModified : state.DrawInProgress) = value == u"1";
        } else if (name == u"menus?") { // ﾌｧｲﾙ, 設定, 抽選, 開始, 抽選 → 終了
            for (const char* action :
                 {"mnuFileAction", "mnuToolsOptions", "mnu抽選Action", "mnu開始", "mnu終了"}) {
                got += Action(action)->isEnabled() ? u'1' : u'0';
            }
            got.truncate(value.size()); // as many as the script names
        } else if (name == u"screen?") {
            got = window->ChildScreen() ? window->ChildScreen()->objectName() : QStringLiteral("none");
        } else if (name == u"title?") { // the open screen's caption, relative to the folder
            got = window->ChildScreen()->windowTitle().remove(dir.path() + u'/');
        } else if (name == u"guard?") {
            got = QString::number(int(window->CheckNoChildScreen()));
        } else if (name == u"questions?" || name == u"messages?") {
            got = (name == u"questions?" ? t.dialogs.Questions() : t.dialogs.Messages()).join(u'/');
            got.replace(dir.path() + u'/', QString());
        } else if (name == u"default?") {
            got = QString::fromLatin1(t.dialogs.LastDefault == Dialogs::Answer::Yes ? "Yes" : "No");
        } else if (name == u"boxes?") { // how many boxes and dialogs came up
            got = QString::number(log.size());
        } else if (name == u"filemenu?") { // the ﾌｧｲﾙ menu's items
            for (const QAction* action : window->findChild<QMenu*>(QStringLiteral("mnuFile"))->actions()) {
                got += action->isSeparator() ? QStringLiteral("|") : action->text() + u'|';
            }
        } else if (name == u"dialog?" ||
                   name == u"dialogextra?") { // the last dialog or its start|filters|index
            for (auto it = log.rbegin(); it != log.rend() && got.isEmpty(); ++it) {
                if (arg.isEmpty() ? it->kind == u"open" || it->kind == u"save" || it->kind == u"exec"
                                  : it->kind == arg) {
                    got = name == u"dialog?" ? it->kind + u'|' + it->text : it->extra;
                }
            }
            got.remove(QDir::toNativeSeparators(dir.path() + u'/'));
        } else if (name == u"names?") { // the roster named in Mrda.ini, relative to the folder
            const QString ini = DecodeSettingsText(Read(QStringLiteral("Mrda.ini")));
            got = ini.isEmpty() ? QStringLiteral("no file")
                                : ini.section(QStringLiteral("Names = "), 1).section(u'\r', 0, 0);
            got.remove(dir.path() + u'/');
        } else if (name == u"roster?") {
            got = QString(state.Settings.RosterFilePath).remove(dir.path() + u'/');
        } else if (name == u"file?" || name == u"has?") { // the file's bytes, or bytes it holds, escaped
            const bool found = name == u"file?" ? Read(arg) == step.Bytes : Read(arg).contains(step.Bytes);
            got = found ? value : QString::fromLatin1(Read(arg).toHex(' '));
        } else if (name == u"lines?") {
            got = QString::number(Read(arg).count("\r\n"));
        } else if (name == u"cell?") {
            got = state.Roster.Cell(RosterColumn(step.Column()), step.Row());
        } else if (name == u"inuse?") {
            got = QString::number(int(state.Roster.IsInUse(step.Index())));
        } else if (name == u"modified?" || name == u"drawing?" || name == u"visible?") {
            got = QString::number(int(name == u"modified?"  ? state.RosterModified
                                      : name == u"drawing?" ? state.DrawInProgress
                                                            : window->isVisible()));
        } else if (name == u"kind?") { // the draw kind and the menu's check marks
            got = QStringLiteral("%1|%2|%3")
                      .arg(QLatin1String(state.DrawKind == DrawKind::Simple ? "simple" : "normal"))
                      .arg(int(Action("mnu通常")->isChecked()))
                      .arg(int(Action("mnu簡易")->isChecked()));
        } else {
            got = QStringLiteral("<no such step>");
        }
        return got;
    }

    QTemporaryDir dir;
    ProgramState state;
    TestServices t;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // Scripts of commands and answers, from tests/data/mainwindow.
    void scriptsFromData() {
        const int cases = RunScripts<Fixture>(QStringLiteral("mainwindow"), [](const std::string& failed) {
            QTest::qFail(failed.c_str(), __FILE__, __LINE__);
        });
        QVERIFY(cases >= 8);
    }

    void manualViewer() {
        Fixture f;
        HelpViewer viewer;
        viewer.LoadText(f.dir.path() + u'/', QStringLiteral("操作説明.txt"));
        QCOMPARE(viewer.Text(), QStringLiteral("操作説明.txt  がありません"));
        QVERIFY(f.Write(QStringLiteral("操作説明.txt"), QStringLiteral("一行目\r\n二行目\rthird").toUtf8()));
        viewer.LoadText(f.dir.path() + u'/', QStringLiteral("操作説明.txt"));
        QCOMPARE(viewer.Text(), QStringLiteral("一行目\n二行目\nthird\n"));
    }

    void fileDialogFiltersAsQtReadsThem() {
        const QString music = QStringLiteral("音楽ファイル(*.mp3;*.wav);;すべてのファイル(*.*)");
        QCOMPARE(ToQtNameFilters(music, false),
                 QStringLiteral("音楽ファイル(*.mp3 *.wav);;すべてのファイル(*.*)"));
        QCOMPARE(ToQtNameFilters(music, true),
                 QStringLiteral("音楽ファイル(*.mp3 *.wav *.MP3 *.WAV);;すべてのファイル(*.*)"));
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
