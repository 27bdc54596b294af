#include "core/common/designfonts.h"
#include "core/transfer/importread.h"
#include "core/transfer/importsource.h"
#include "support/testservices.h"
#include "ui/app/mainwindow.h"
#include "ui/transfer/importdialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstring>

namespace {

using R = RosterTable;
using C = RosterColumn;

template <typename W> W* child(QWidget& parent, const QString& name) {
    return parent.findChild<W*>(name);
}

QComboBox* columnChoice(QWidget& dialog, RosterColumn column) {
    return child<QComboBox>(dialog, QStringLiteral("cmbColumn_%1").arg(static_cast<int>(column)));
}

// The source column each roster column takes, as the dialog shows it (-1 for none).
QList<int> shownMapping(QWidget& dialog) {
    QList<int> out;
    for (int c = 0; c < R::kColumns; ++c) {
        out.append(columnChoice(dialog, C(c))->currentIndex() - 1);
    }
    return out;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        qWarning("cannot write %s", qPrintable(path));
    }
    return path;
}

// Waits until the dialog has read its file, then accepts it.
int acceptOnceRead(QDialog& dialog) {
    auto& import = static_cast<ImportDialog&>(dialog);
    if (!QTest::qWaitFor([&] { return !import.IsReading(); })) {
        qWarning("the file was not read");
    }
    return static_cast<int>(QDialog::Accepted);
}

const QByteArray kFormCsv = QStringLiteral("お名前,誕生日,部署,コメント\r\n"
                                           "山田 太郎,1990/4/1,総務部,\"よろしく, どうぞ\"\r\n"
                                           "川口 花子,1988-12-24,営業部,\r\n"
                                           ",,人事部,名前なし\r\n")
                                .toUtf8();

} // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        explicit Fixture(std::initializer_list<const char16_t*> names = {}) : state(StateWithNames(names)) {
            state.ProgramFolder = dir.path() + u'/';
            state.Settings.RosterFilePath = dir.filePath(QStringLiteral("roster.txt"));
            window = std::make_unique<MainWindow>(state, t.services);
        }
        QAction* action(const char* name) const {
            return window->findChild<QAction*>(QString::fromUtf8(name));
        }
        void closeScreen() {
            window->MdiArea()->subWindowList().first()->close();
            t.clock.Advance(1200);
        }
        QTemporaryDir dir;
        ProgramState state;
        TestServices t;
        std::unique_ptr<MainWindow> window;
    };

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // The dialog shows what it guessed; every choice made in it changes the plan it shows.
    void choicesChangeThePlan() {
        const ProgramState state = StateWithNames({u"既存1", u"既存2"});
        FakeClock clock;
        ImportDialog dialog(ImportRead::Bytes(kFormCsv, QStringLiteral("form.csv"), {}),
                            QStringLiteral("form.csv"), state.Roster, state.RosterEncoding, clock);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_VERIFY(dialog.IsReady());
        QCOMPARE(child<QLabel>(dialog, QStringLiteral("lblFile"))->text(),
                 QStringLiteral("ファイル: form.csv（UTF-8）"));
        QCOMPARE(columnChoice(dialog, C::Name)->itemText(1), QStringLiteral("列1: お名前"));
        QCOMPARE(child<QTableWidget>(dialog, QStringLiteral("grdPreview"))->rowCount(), 4);
        QCOMPARE(shownMapping(dialog), (QList<int>{0, 1, 1, 1, -1, -1, 2, -1, 3, -1, -1, -1, -1, -1}));
        QCOMPARE(dialog.SummaryText(),
                 QStringLiteral("取り込む行: 2 行（名簿の 3～4 行目）　入りきらない行: 0 行"
                                "（名簿は 300 行まで）　氏名がなく飛ばす行: 1 行"));

        // No header row, chosen with the keyboard: every column maps to its own place and row 1
        // counts as a participant; the header row again brings the guesses back.
        QComboBox* header = child<QComboBox>(dialog, QStringLiteral("cmbHeader"));
        QCOMPARE(header->currentIndex(), 1); // なし, then rows 1-4
        header->setFocus();
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Up);
        QCOMPARE(shownMapping(dialog), (QList<int>{0, 1, 2, 3, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
        QCOMPARE(dialog.Plan().Fitting(), 3);
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Down);
        QCOMPARE(shownMapping(dialog), (QList<int>{0, 1, 1, 1, -1, -1, 2, -1, 3, -1, -1, -1, -1, -1}));

        // A choice made by hand.
        columnChoice(dialog, C::Birthplace)->setCurrentIndex(3 + 1);
        QCOMPARE(dialog.Plan().Rows().at(0)[C::Birthplace], QStringLiteral("よろしく, どうぞ"));

        // Replacing: from row 1, and the summary says what becomes of the roster.
        child<QRadioButton>(dialog, QStringLiteral("optReplace"))->setChecked(true);
        QVERIFY(dialog.SummaryText().contains(QStringLiteral("（名簿の 1～2 行目）")));
        QVERIFY(dialog.SummaryText().contains(QStringLiteral("今の名簿の 2 人")));

        // Another separator reads the file again: one column; without a name column nothing imports.
        QComboBox* separator = child<QComboBox>(dialog, QStringLiteral("cmbSeparator"));
        separator->setCurrentIndex(separator->findText(QStringLiteral("セミコロン（;）")));
        QTRY_VERIFY(dialog.IsReady());
        QCOMPARE(dialog.Source().Separator(), QChar(u';'));
        QCOMPARE(child<QTableWidget>(dialog, QStringLiteral("grdPreview"))->columnCount(), 1);
        columnChoice(dialog, C::Name)->setCurrentIndex(0);
        QVERIFY(dialog.SummaryText().startsWith(QStringLiteral("氏名を取り込む列を選んでください。\n")));
        QVERIFY(!child<QPushButton>(dialog, QStringLiteral("cmdImport"))->isEnabled());
    }

    void charactersTheFileCannotHold() {
        const ProgramState state = StateWithNames({});
        FakeClock clock;
        ImportDialog dialog(ImportRead::Bytes(QStringLiteral("氏名,一言\n𠮷田,よろしく〜\n").toUtf8(),
                                              QStringLiteral("a.csv"), {}),
                            QStringLiteral("a.csv"), state.Roster, state.RosterEncoding, clock);
        QTRY_VERIFY(dialog.IsReady());
        QPushButton* import = child<QPushButton>(dialog, QStringLiteral("cmdImport"));
        QCheckBox* replace = child<QCheckBox>(dialog, QStringLiteral("chkReplaceCharacters"));
        QCOMPARE(
            child<QLabel>(dialog, QStringLiteral("lblUnstorable"))->text(),
            QStringLiteral("名簿ファイルに保存できない文字が 2 個あります: 「𠮷」→「〓」（2 行目 氏名）、"
                           "「〜」→「～」（2 行目 一言）"));
        QVERIFY(!import->isEnabled());
        QVERIFY(replace->isEnabled());
        replace->setChecked(true);
        QVERIFY(import->isEnabled());
        QCOMPARE(dialog.Plan().Rows().at(0)[C::Name], QStringLiteral("〓田"));
    }

    // A long read goes on a worker thread: the dialog paints, shows the progress from half a second
    // on, and 中止 ends the read and the dialog; a read let through shows the table.
    void longReadsShowProgressAndStop() {
        const ProgramState state = StateWithNames({});
        for (const bool stop : {true, false}) {
            auto gate = std::make_shared<QSemaphore>();
            const auto read =
                ImportRead::Start([gate](ImportSource& source, QString& error, ReadProgress& progress) {
                    progress.Report(0.4);
                    while (!gate->tryAcquire(1, 10)) {
                        if (progress.Stopped()) {
                            return false;
                        }
                    }
                    return source.LoadBytes(kFormCsv, QStringLiteral("form.csv"), error, {}, &progress);
                });
            FakeClock clock;
            ImportDialog dialog(read, QStringLiteral("form.csv"), state.Roster, state.RosterEncoding, clock);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QProgressBar* bar = child<QProgressBar>(dialog, QStringLiteral("prgRead"));
            QPushButton* stopButton = child<QPushButton>(dialog, QStringLiteral("cmdStop"));
            clock.Advance(ImportDialog::kProgressDelayMs - 100);
            QVERIFY(bar->isHidden());
            clock.Advance(100);
            QVERIFY(bar->isVisible());
            QCOMPARE(bar->value(), 400);
            QVERIFY(!child<QPushButton>(dialog, QStringLiteral("cmdImport"))->isEnabled());
            if (stop) {
                QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {},
                                  stopButton->mapTo(&dialog, stopButton->rect().center()));
                QVERIFY(dialog.isHidden());
                QCOMPARE(dialog.result(), static_cast<int>(QDialog::Rejected));
                QTRY_VERIFY(read->IsDone());
                QVERIFY(read->Stopped());
                QVERIFY(dialog.Failure().isEmpty());
            } else {
                gate->release();
                QTRY_VERIFY(dialog.IsReady());
                QCOMPARE(child<QStackedWidget>(dialog, QStringLiteral("stkPages"))->currentIndex(), 1);
                QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
                QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
            }
        }
    }

    void menuItemsFollowTheRosterFileCommands() {
        Fixture f;
        const QList<QAction*> items = f.window->findChild<QMenu*>(QStringLiteral("mnuFile"))->actions();
        const auto at = [&](const char* name) { return items.indexOf(f.action(name)); };
        QCOMPARE(at("mnuFileImport"), at("mnuFileSaveAs") + 1);
        QCOMPARE(at("mnuFileExport"), at("mnuFileSaveAs") + 2);
        QCOMPARE(f.action("mnuFileImport")->text(), QStringLiteral("インポート(&I)..."));
        QCOMPARE(f.action("mnuFileExport")->text(), QStringLiteral("エクスポート(&E)..."));

        // With a screen open the ﾌｧｲﾙ menu is off, and called anyway the commands refuse.
        f.t.clock.Advance(1200);
        f.window->mnuToolsOptions_Click();
        QVERIFY(!f.action("mnuFileAction")->isEnabled());
        f.window->mnuFileImport_Click();
        f.window->mnuFileExport_Click();
        const QString refusal = QStringLiteral(
            "選択された操作は無効です。\r\n呼び出されたフォームを閉じてから再操作してください。");
        QCOMPARE(f.t.dialogs.Messages(), (QStringList{refusal, refusal}));
        QCOMPARE(static_cast<int>(f.t.dialogs.Log.size()), 2); // no file dialog
        f.closeScreen();
        QVERIFY(f.action("mnuFileAction")->isEnabled());
    }

    void importAppends() {
        Fixture f({u"既存1", u"既存2"});
        const QString path = writeFile(f.dir, QStringLiteral("form.csv"), kFormCsv);
        f.t.dialogs.Files.push_back(path);
        f.t.dialogs.Execs.push_back(acceptOnceRead);
        f.window->mnuFileImport_Click();
        const auto& open = f.t.dialogs.Log.front();
        QCOMPARE(open.kind, QStringLiteral("open"));
        QCOMPARE(open.text, QStringLiteral("インポート"));
        QCOMPARE(open.extra,
                 QDir::toNativeSeparators(f.dir.path()) +
                     QStringLiteral("|表のファイル (*.csv;*.tsv;*.txt;*.xlsx);;すべてのファイル(*.*)|1"));
        QCOMPARE(f.state.Roster.Cell(C::Name, 2), QStringLiteral("既存2"));
        QCOMPARE(f.state.Roster.Cell(C::Name, 3), QStringLiteral("山田 太郎"));
        QVERIFY(!f.state.Roster.IsInUse(5));
        QVERIFY(f.state.RosterModified);
        QVERIFY(f.t.dialogs.Questions().isEmpty()); // adding asks nothing
        QCOMPARE(f.window->ChildScreen()->objectName(), QStringLiteral("Frm参加者登録"));
        QCOMPARE(f.window->ChildScreen()->windowTitle(), f.state.Settings.RosterFilePath);
        f.closeScreen();

        // Cancelled in the dialog: nothing changes, no screen opens.
        f.t.dialogs.Files.push_back(path);
        f.window->mnuFileImport_Click();
        QVERIFY(!f.state.Roster.IsInUse(5));
        QVERIFY(!f.window->ChildScreen());

        // A file that cannot be read is reported.
        const QString broken = writeFile(f.dir, QStringLiteral("book.xlsx"), "not a workbook");
        f.t.dialogs.Files.push_back(broken);
        f.t.dialogs.Execs.push_back(acceptOnceRead); // when the read outlasts the wait before the dialog
        f.window->mnuFileImport_Click();
        QCOMPARE(f.t.dialogs.Messages().last(),
                 broken +
                     QStringLiteral(" を取り込めません。\r\nXLSX 形式のブックではありません。\r\n"
                                    "Excel などで開き、.xlsx 形式で保存し直してから取り込んでください。"));
        // So is one whose only cells lie beyond the columns read.
        const QString wide = writeFile(f.dir, QStringLiteral("wide.csv"), QByteArray(300, ',') + "山田\r\n");
        f.t.dialogs.Files.push_back(wide);
        f.t.dialogs.Execs.push_back(acceptOnceRead);
        f.window->mnuFileImport_Click();
        QCOMPARE(f.t.dialogs.Messages().last(),
                 wide + QStringLiteral(
                            " の最初の 256 列には取り込めるデータがありません（ファイルは 301 列あります）。"
                            "\r\n氏名などの列を左に寄せたファイルにしてください。"));
        QVERIFY(!f.window->ChildScreen());
    }

    void importReplacesAfterTheUnsavedQuestion() {
        Fixture f({u"既存1", u"既存2", u"既存3"});
        f.state.RosterModified = true;
        const QString path = writeFile(f.dir, QStringLiteral("form.csv"), kFormCsv);
        const auto replace = [](QDialog& dialog) {
            dialog.findChild<QRadioButton*>(QStringLiteral("optReplace"))->setChecked(true);
            return acceptOnceRead(dialog);
        };
        f.t.dialogs.Files.push_back(path);
        f.t.dialogs.Execs.push_back(replace);
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::No);
        f.window->mnuFileImport_Click();
        QCOMPARE(f.t.dialogs.Questions(),
                 QStringList{QStringLiteral(
                     "名簿ファイルは保存されていません。\r\n続行すると変更内容がキャンセルされます。"
                     "\r\n名簿を置き換えますか\r\n")});
        QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::No);
        QCOMPARE(f.state.Roster.Cell(C::Name, 3), QStringLiteral("既存3"));
        QVERIFY(!f.window->ChildScreen());

        f.t.dialogs.Files.push_back(path);
        f.t.dialogs.Execs.push_back(replace);
        f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
        f.window->mnuFileImport_Click();
        QCOMPARE(f.state.Roster.Cell(C::Name, 1), QStringLiteral("山田 太郎"));
        QCOMPARE(f.state.Roster.Cell(C::Name, 2), QStringLiteral("川口 花子"));
        QVERIFY(!f.state.Roster.IsInUse(3));
        QVERIFY(f.state.RosterModified);
        QVERIFY(f.state.Settings.RosterFilePath.isEmpty());
        QCOMPARE(f.window->ChildScreen()->windowTitle(), QString());
    }

    void exportWritesOrSaysWhyNot() {
        Fixture f({u"山田, 太郎"});
        const QString target = f.dir.filePath(QStringLiteral("名簿.csv"));
        f.t.dialogs.Files.push_back(target);
        f.window->mnuFileExport_Click();
        const auto& save = f.t.dialogs.Log.front();
        QCOMPARE(save.kind, QStringLiteral("save"));
        QCOMPARE(save.text, QStringLiteral("エクスポート"));
        QCOMPARE(save.extra, QDir::toNativeSeparators(target) +
                                 QStringLiteral("|CSVファイル (*.csv);;すべてのファイル(*.*)|1"));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("\xEF\xBB\xBF氏名,生年"));
        QVERIFY(f.t.dialogs.Messages().isEmpty());
        QVERIFY(!f.state.RosterModified);

        const QString missing = f.dir.filePath(QStringLiteral("なし/名簿.csv"));
        f.t.dialogs.Files.push_back(missing);
        f.window->mnuFileExport_Click();
        QCOMPARE(f.t.dialogs.Messages(), QStringList{QStringLiteral("エクスポートできませんでした。\r\n") +
                                                     missing + QStringLiteral("\r\nエラー番号=2\r\n") +
                                                     QString::fromLocal8Bit(std::strerror(ENOENT))});

        // Cancelled: nothing is written and nothing said.
        f.window->mnuFileExport_Click();
        QCOMPARE(f.t.dialogs.Messages().size(), 1);
    }
};

QTEST_MAIN(ImportDialogTest)
#include "importdialog_test.moc"
