#include "core/common/designfonts.h"
#include "core/transfer/importread.h"
#include "core/transfer/importsource.h"
#include "support/testservices.h"
#include "ui/transfer/importdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QStackedWidget>
#include <QTableWidget>
#include <QtTest>

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

const QByteArray kFormCsv = QStringLiteral("お名前,誕生日,部署,コメント\r\n"
                                           "山田 太郎,1990/4/1,総務部,\"よろしく, どうぞ\"\r\n"
                                           "川口 花子,1988-12-24,営業部,\r\n"
                                           ",,人事部,名前なし\r\n")
                                .toUtf8();

} // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT

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
};

QTEST_MAIN(ImportDialogTest)
#include "importdialog_test.moc"
