#include "core/cards/cardrenderer.h"
#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "support/testservices.h"
#include "ui/cards/cardissuescreen.h"
#include "ui/cards/pdfcount.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

template <typename T> T* child(QWidget& screen, const char16_t* name) {
    T* widget = screen.findChild<T*>(QString::fromUtf16(name));
    if (!widget) {
        qFatal("missing control %s", qPrintable(QString::fromUtf16(name)));
    }
    return widget;
}

// A working folder with its pictures folder, where runs without a printer write their PDF.
struct Folders {
    QTemporaryDir dir;
    QString working() const { return dir.filePath(QStringLiteral("Mrda")); }
    Folders() { QDir(dir.path()).mkpath(QStringLiteral("Mrda/Pictures")); }
    QStringList pdfs() const { return QDir(working()).entryList({QStringLiteral("*.pdf")}, QDir::Files); }
};

ProgramState stateIn(const Folders& folders, int names) {
    ProgramState state = StateWithNames({});
    for (int row = 1; row <= names; ++row) {
        state.Roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
    }
    state.Settings.Pictures = JoinPath(folders.working(), QStringLiteral("Pictures"));
    state.ProgramFolder = folders.dir.path() + QStringLiteral("/");
    return state;
}

std::unique_ptr<CardIssueScreen> screenFor(ProgramState& state, TestServices& t) {
    auto screen = std::make_unique<CardIssueScreen>(state, t.services);
    screen->setAttribute(Qt::WA_DeleteOnClose, false);
    screen->SetPrinterLookup([] { return QPrinterInfo(); });
    return screen;
}

void issue(CardIssueScreen& screen, TestServices& t) {
    t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
    child<QPushButton>(screen, u"Cmd印刷設定適用")->click();
}

void runToEnd(TestServices& t) {
    for (int i = 0; i < 10000 && t.clock.AdvanceToNext(); ++i) {
    }
}

// Message boxes that, like real ones, keep the clock's timers running while they are open.
class NestedLoopDialogs : public ScriptedDialogs {
public:
    explicit NestedLoopDialogs(FakeClock& clock) : m_clock(clock) {}
    void ShowMessage(const QString& text) override {
        ScriptedDialogs::ShowMessage(text);
        for (int i = 0; i < 20 && m_clock.AdvanceToNext(); ++i) {
        }
    }

private:
    FakeClock& m_clock;
};

} // namespace

class CardIssueScreenTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void opensWithItsInitialValuesAndResetsTheDrawKind() {
        Folders folders;
        ProgramState state = stateIn(folders, 0);
        state.DrawKind = DrawKind::Simple;
        TestServices t;
        auto screen = screenFor(state, t);
        QCOMPARE(screen->objectName(), QStringLiteral("Frm印刷設定"));
        QCOMPARE(state.DrawKind, DrawKind::Normal);
        QVERIFY(child<QRadioButton>(*screen, u"Optカードモード_0")->isChecked());
        QCOMPARE(child<QRadioButton>(*screen, u"Optカードモード_0")->text(), QStringLiteral("ミルダカード"));
        QCOMPARE(child<QRadioButton>(*screen, u"Optカードモード_1")->text(),
                 QStringLiteral("通常ビンゴカード"));
        QVERIFY(child<QRadioButton>(*screen, u"Opt中心枠_0")->isChecked());
        QCOMPARE(child<QRadioButton>(*screen, u"Opt中心枠_1")->text(), QStringLiteral("指定登録行番　固定"));
        QCOMPARE(child<QRadioButton>(*screen, u"Opt中心枠_2")->text(),
                 QStringLiteral("指定登録行番からカウントアップ"));
        QCOMPARE(child<QGroupBox>(*screen, u"Frm印刷設定_1")->title(), QStringLiteral("用紙/面付　部数"));
        QCOMPARE(child<QLabel>(*screen, u"Label1_0")->text(), QStringLiteral("用紙/面付け"));
        QCOMPARE(child<QLabel>(*screen, u"Label1_3")->text(), QStringLiteral("指定登録行番"));

        auto* frames = child<QComboBox>(*screen, u"Cmb枠数");
        QCOMPARE(frames->currentText(), QStringLiteral("５×５"));
        QCOMPARE(frames->count(), 4);
        QCOMPARE(frames->itemText(3), QStringLiteral("９×９"));
        auto* layout = child<QComboBox>(*screen, u"Cmb用紙面付");
        QCOMPARE(layout->currentText(), QStringLiteral("Ａ４縦  ２面付け"));
        QCOMPARE(layout->count(), 12);
        QCOMPARE(layout->itemText(11), QStringLiteral("はがき横  １面付け"));
        auto* row = child<QComboBox>(*screen, u"Cmb指定行番");
        QCOMPARE(row->currentText(), QStringLiteral("001"));
        QCOMPARE(row->count(), 301);
        QCOMPARE(row->itemText(300), QStringLiteral("300"));
        // The drop-downs open on the entry the initial text stands for.
        QCOMPARE(frames->currentIndex(), 1);
        QCOMPARE(layout->currentIndex(), 1);
        QCOMPARE(row->currentIndex(), 1);
        QCOMPARE(child<QLineEdit>(*screen, u"Txt部数")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLineEdit>(*screen, u"Txt文字色")->text(), QStringLiteral("0000000"));
        QCOMPARE(child<QPushButton>(*screen, u"Cmd印刷設定適用")->text(), QStringLiteral("カード発行"));
    }

    void colourButtonWritesThePickedColour() {
        Folders folders;
        ProgramState state = stateIn(folders, 0);
        TestServices t;
        auto screen = screenFor(state, t);
        auto* colour = child<QLineEdit>(*screen, u"Txt文字色");
        t.dialogs.Colours.push_back(QColor(0, 0, 255));
        child<QPushButton>(*screen, u"Cmd文字色")->click();
        QCOMPARE(colour->text(), QStringLiteral("16711680"));
        t.dialogs.Colours.push_back(std::nullopt);
        child<QPushButton>(*screen, u"Cmd文字色")->click();
        QCOMPARE(colour->text(), QStringLiteral("16711680"));
        QVERIFY(screen->isEnabled());
        QVERIFY(child<QPushButton>(*screen, u"Cmd印刷設定適用")->isEnabled());
    }

    void controlsAreReadAsTyped() {
        Folders folders;
        ProgramState state = stateIn(folders, 0);
        TestServices t;
        auto screen = screenFor(state, t);
        child<QComboBox>(*screen, u"Cmb枠数")->setEditText(QStringLiteral("７"));
        child<QComboBox>(*screen, u"Cmb用紙面付")->setCurrentIndex(8);
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("1,0"));
        child<QComboBox>(*screen, u"Cmb指定行番")->setEditText(QStringLiteral("12.5"));
        child<QRadioButton>(*screen, u"Opt中心枠_2")->setChecked(true);
        child<QRadioButton>(*screen, u"Optカードモード_1")->setChecked(true);
        CardRunValues values;
        QString error;
        QVERIFY(ReadRunValues(screen->ControlTexts(), values, error));
        QCOMPARE(values.FramesPerSide, 7);
        QCOMPARE(values.LayoutIndex, 8);
        QCOMPARE(values.Sheets, qint16(10));
        QCOMPARE(values.DesignatedRow, qint16(12));
        QCOMPARE(values.Centre, CentreOption::CountUp);
        QCOMPARE(values.Mode, CardMode::Normal);
    }

    void answeringNoPrintsNothing() {
        Folders folders;
        ProgramState state = stateIn(folders, 24);
        TestServices t;
        auto screen = screenFor(state, t);
        t.dialogs.YesNo.push_back(Dialogs::Answer::No);
        child<QPushButton>(*screen, u"Cmd印刷設定適用")->click();
        runToEnd(t);
        QCOMPARE(t.dialogs.Questions(), QStringList{QStringLiteral("指定条件でカードを発行しますか？")});
        QVERIFY(folders.pdfs().isEmpty());
        QVERIFY(t.dialogs.Messages().isEmpty());
        QVERIFY(screen->isEnabled());
    }

    void threeSheetsWithoutAPrinterGiveAPdfOfThreePages() {
        Folders folders;
        ProgramState state = stateIn(folders, 30);
        TestServices t;
        auto screen = screenFor(state, t);
        QSignalSpy ended(screen.get(), &CardIssueScreen::RunEnded);
        child<QRadioButton>(*screen, u"Optカードモード_1")->setChecked(true);
        child<QComboBox>(*screen, u"Cmb用紙面付")->setCurrentIndex(0);
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("3"));
        issue(*screen, t);
        // Printing: the screen takes no input and refuses to close.
        QVERIFY(screen->IsPrinting());
        QVERIFY(!screen->isEnabled());
        QVERIFY(!screen->close());
        runToEnd(t);
        QVERIFY(!screen->IsPrinting());
        QVERIFY(screen->isEnabled());
        QCOMPARE(ended.count(), 1);
        const QStringList pdfs = folders.pdfs();
        QCOMPARE(pdfs.size(), 1);
        QVERIFY(pdfs.first().startsWith(QStringLiteral("ビンゴカード_")));
        const QString path = QDir(folders.working()).filePath(pdfs.first());
        QCOMPARE(CountPdfPages(path), 3);
        // The user is told where the file is.
        QCOMPARE(t.dialogs.Messages().size(), 1);
        QVERIFY(t.dialogs.Messages().first().contains(QDir::toNativeSeparators(path)));
        QVERIFY(screen->close());
    }

    void longRunsShowTheirProgress() {
        Folders folders;
        ProgramState state = stateIn(folders, 5);
        TestServices t;
        auto screen = screenFor(state, t);
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("5"));
        issue(*screen, t);
        auto* progress = screen->findChild<QProgressDialog*>(QStringLiteral("printProgress"));
        QVERIFY(progress);
        QCOMPARE(progress->maximum(), 5);
        QVERIFY(!progress->isModal());
        t.clock.AdvanceToNext();
        QCOMPARE(progress->value(), 1);
        runToEnd(t);
        QVERIFY(!screen->findChild<QProgressDialog*>(QStringLiteral("printProgress")));
        QCOMPARE(CountPdfPages(QDir(folders.working()).filePath(folders.pdfs().value(0))), 5);
    }

    void noParticipantMessageOnceAndOneSheet() {
        Folders folders;
        ProgramState state = stateIn(folders, 0);
        TestServices t;
        auto screen = screenFor(state, t);
        child<QRadioButton>(*screen, u"Optカードモード_1")->setChecked(true);
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("4"));
        issue(*screen, t);
        runToEnd(t);
        const QStringList messages = t.dialogs.Messages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages.at(0),
                 QStringLiteral("データが登録されていません。\r\n通常ビンゴカード発行を打ち切ります。"));
        QCOMPARE(CountPdfPages(QDir(folders.working()).filePath(folders.pdfs().value(0))), 1);
    }

    void valuesOutOfRangeAreRefusedBeforeTheRun() {
        const struct {
            const char16_t* sheets;
            const char16_t* row;
            int centre;
        } cases[] = {{u"40000", u"1", 0}, {u"1", u"-70000", 1}, {u"1", u"-1", 2}};
        for (const auto& c : cases) {
            Folders folders;
            ProgramState state = stateIn(folders, 3);
            TestServices t;
            auto screen = screenFor(state, t);
            child<QLineEdit>(*screen, u"Txt部数")->setText(QString::fromUtf16(c.sheets));
            child<QComboBox>(*screen, u"Cmb指定行番")->setEditText(QString::fromUtf16(c.row));
            const char16_t* centres[] = {u"Opt中心枠_0", u"Opt中心枠_1", u"Opt中心枠_2"};
            child<QRadioButton>(*screen, centres[c.centre])->setChecked(true);
            issue(*screen, t);
            QVERIFY(!screen->IsPrinting());
            QCOMPARE(t.dialogs.Messages().size(), 1);
            QVERIFY(folders.pdfs().isEmpty());
            QVERIFY(screen->isEnabled());
        }
    }

    void noSheetsOpenNoFile() {
        Folders folders;
        ProgramState state = stateIn(folders, 3);
        TestServices t;
        auto screen = screenFor(state, t);
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("abc"));
        QSignalSpy ended(screen.get(), &CardIssueScreen::RunEnded);
        issue(*screen, t);
        runToEnd(t);
        QVERIFY(folders.pdfs().isEmpty());
        QVERIFY(t.dialogs.Messages().isEmpty());
        QCOMPARE(ended.count(), 1);
        QVERIFY(screen->isEnabled());
    }

    void postcardNeedsNoQuestionWhenThePaperExists() {
        Folders folders;
        ProgramState state = stateIn(folders, 3);
        TestServices t;
        auto screen = screenFor(state, t);
        child<QComboBox>(*screen, u"Cmb用紙面付")->setCurrentIndex(10);
        issue(*screen, t);
        runToEnd(t);
        QCOMPARE(t.dialogs.Questions().size(), 1);
        QCOMPARE(CountPdfPages(QDir(folders.working()).filePath(folders.pdfs().value(0))), 1);
    }

    void pdfThatCannotBeWrittenMidRunIsReportedNotAnnounced() {
        Folders folders;
        ProgramState state = stateIn(folders, 30);
        TestServices t;
        auto screen = screenFor(state, t);
        QSignalSpy ended(screen.get(), &CardIssueScreen::RunEnded);
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("5"));
        issue(*screen, t);
        QVERIFY(t.clock.AdvanceToNext());
        // The working folder goes away under the run (a memory stick pulled out).
        QVERIFY(QDir(folders.working()).removeRecursively());
        runToEnd(t);
        QVERIFY(!screen->IsPrinting());
        QVERIFY(screen->isEnabled());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(t.dialogs.Messages().size(), 1);
        QVERIFY(t.dialogs.Messages().first().startsWith(
            QStringLiteral("PDFファイルを書き込めなかったため、印刷を中止しました。\r\n")));
        QVERIFY(!QDir(folders.dir.path()).exists(QStringLiteral("Mrda")));
    }

    void noHalfWrittenPdfCarriesItsNameDuringTheRun() {
        Folders folders;
        ProgramState state = stateIn(folders, 30);
        TestServices t;
        auto screen = screenFor(state, t);
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("3"));
        issue(*screen, t);
        QVERIFY(t.clock.AdvanceToNext());
        QVERIFY(screen->IsPrinting());
        QVERIFY(folders.pdfs().isEmpty());
        runToEnd(t);
        QCOMPARE(folders.pdfs().size(), 1);
        // Only the finished file is left in the folder.
        QCOMPARE(QDir(folders.working()).entryList(QDir::Files).size(), 1);
    }

    void screenInItsWindowCannotBeClosedMidRun() {
        Folders folders;
        ProgramState state = stateIn(folders, 30);
        TestServices t;
        QMdiArea area;
        QPointer<CardIssueScreen> screen = new CardIssueScreen(state, t.services);
        screen->SetPrinterLookup([] { return QPrinterInfo(); });
        QPointer<QMdiSubWindow> sub = area.addSubWindow(screen);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("4"));
        issue(*screen, t);
        QVERIFY(t.clock.AdvanceToNext());
        QVERIFY(!sub->close());
        area.closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(screen);
        QVERIFY(screen->IsPrinting());
        runToEnd(t);
        QCOMPARE(CountPdfPages(QDir(folders.working()).filePath(folders.pdfs().value(0))), 4);
        QVERIFY(sub->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!screen);
    }

    void messageBoxMidRunPrintsNoFurtherSheet() {
        Folders folders;
        ProgramState state = stateIn(folders, 0);
        TestServices t;
        NestedLoopDialogs dialogs(t.clock);
        Services services{dialogs, t.random, t.clock, t.music};
        CardIssueScreen screen(state, services);
        screen.setAttribute(Qt::WA_DeleteOnClose, false);
        screen.SetPrinterLookup([] { return QPrinterInfo(); });
        child<QRadioButton>(screen, u"Optカードモード_1")->setChecked(true);
        child<QLineEdit>(screen, u"Txt部数")->setText(QStringLiteral("6"));
        dialogs.YesNo.push_back(Dialogs::Answer::Yes);
        child<QPushButton>(screen, u"Cmd印刷設定適用")->click();
        runToEnd(t);
        QCOMPARE(dialogs.Messages().size(), 2);
        QCOMPARE(dialogs.Messages().at(0), NoParticipantMessage());
        QCOMPARE(CountPdfPages(QDir(folders.working()).filePath(folders.pdfs().value(0))), 1);
        QVERIFY(screen.isEnabled());
    }

    void typedLayoutKeepsItsCaseWhenEntered() {
        Folders folders;
        ProgramState state = stateIn(folders, 0);
        TestServices t;
        auto screen = screenFor(state, t);
        auto* layout = child<QComboBox>(*screen, u"Cmb用紙面付");
        // Lower-case full-width a: not an entry of the list, so the default layout.
        const QString typed = QStringLiteral("ａ４横  １面付け");
        layout->lineEdit()->clear();
        for (const QChar ch : typed) {
            // Typed one key at a time, as the completer sees it.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(layout->lineEdit(), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(layout->lineEdit(), &release);
        }
        QTest::keyClick(layout->lineEdit(), Qt::Key_Return);
        QCOMPARE(layout->currentText(), typed);
        CardRunValues values;
        QString error;
        QVERIFY(ReadRunValues(screen->ControlTexts(), values, error));
        QCOMPARE(values.LayoutIndex, kDefaultPaperLayout);
    }

    void screenDestroyedMidRunLeavesNoFile() {
        Folders folders;
        ProgramState state = stateIn(folders, 30);
        TestServices t;
        auto screen = screenFor(state, t);
        child<QLineEdit>(*screen, u"Txt部数")->setText(QStringLiteral("5"));
        issue(*screen, t);
        QVERIFY(t.clock.AdvanceToNext());
        QVERIFY(QApplication::overrideCursor());
        screen.reset(); // the program goes away mid-run
        runToEnd(t);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(QDir(folders.working()).entryList(QDir::Files).isEmpty());
    }
};

QTEST_MAIN(CardIssueScreenTest)
#include "cardissuescreen_test.moc"
