#include "core/cards/cardsettings.h"
#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "core/phones/cardtoken.h"
#include "core/record/cardrecord.h"
#include "core/record/recordfile.h"
#include "support/testservices.h"
#include "ui/cards/cardissuescreen.h"
#include "ui/cards/cardpreview.h"
#include "ui/cards/pdfcount.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

namespace {

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

// The screen on a roster of the first `names` rows, with a working folder where runs without a
// printer write their PDF.
struct Fixture {
    explicit Fixture(int names) : state(StateWithNames({})) {
        QDir(dir.path()).mkpath(QStringLiteral("Mrda/Pictures"));
        for (int row = 1; row <= names; ++row) {
            state.Roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
        }
        state.Settings.Pictures = JoinPath(Working(), QStringLiteral("Pictures"));
        state.ProgramFolder = dir.path() + u'/';
        screen = std::make_unique<CardIssueScreen>(state, services);
        screen->setAttribute(Qt::WA_DeleteOnClose, false);
        screen->SetPrinterLookup([] { return QPrinterInfo(); });
    }
    template <typename T = QWidget> T* Child(const QString& name) const {
        T* widget = screen->findChild<T*>(name);
        if (!widget) {
            qFatal("missing control %s", qPrintable(name));
        }
        return widget;
    }
    void Set(const QString& name, const QString& text) const {
        if (auto* edit = qobject_cast<QLineEdit*>(Child(name))) {
            edit->setText(text);
        } else {
            Child<QComboBox>(name)->setEditText(text);
        }
    }
    void Check(const char16_t* name, bool on = true) const {
        Child<QAbstractButton>(QString::fromUtf16(name))->setChecked(on);
    }
    void Pick(const char16_t* name, int index) const {
        Child<QComboBox>(QString::fromUtf16(name))->setCurrentIndex(index);
    }
    // A numbered run of normal cards.
    void Numbered(bool qr = false) const {
        Check(u"Optカードモード_1");
        Check(u"chkCardNumber");
        Check(u"chkCardQr", qr);
    }
    void Issue(Dialogs::Answer answer = Dialogs::Answer::Yes) {
        dialogs.YesNo.push_back(answer);
        Child<QPushButton>(QStringLiteral("Cmd印刷設定適用"))->click();
    }
    // The record is read and written on other threads: their ends arrive through the event loop.
    void RunToEnd() {
        for (QDeadlineTimer deadline(30000); !deadline.hasExpired();) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (!t.clock.AdvanceToNext() && (!screen || !screen->IsPrinting())) {
                return;
            }
        }
    }
    // Until the run makes its first sheet (or has ended).
    bool UntilPrinting() {
        for (QDeadlineTimer deadline(30000); !deadline.hasExpired();) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (t.clock.ActiveTimerCount() > 0 || !screen->IsPrinting()) {
                return screen->IsPrinting();
            }
        }
        return false;
    }
    QString Working() const { return dir.filePath(QStringLiteral("Mrda")); }
    QStringList Pdfs() const { return QDir(Working()).entryList({QStringLiteral("*.pdf")}, QDir::Files); }
    QString Pdf() const { return QDir(Working()).filePath(Pdfs().value(0)); }

    QTemporaryDir dir;
    TestServices t;
    NestedLoopDialogs dialogs{t.clock};
    Services services{dialogs, t.random, t.clock, t.music};
    ProgramState state;
    std::unique_ptr<CardIssueScreen> screen;
};

QString Shown(QWidget* w) {
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return button->text();
    }
    if (auto* box = qobject_cast<QGroupBox*>(w)) {
        return box->title();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text();
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return combo->currentText();
    }
    return qobject_cast<QLineEdit*>(w)->text();
}

// One run of the runs table.
struct Run {
    int Names;
    bool Normal;
    int Layout;
    const char* Sheets;
    bool Yes;             // the answer to the question
    int Pages;            // of the PDF; 0: no file
    QSize PageMm;         // of its pages
    QStringList Messages; // how each message begins
    int Ended;            // RunEnded signals
};

// One numbered run (or not) of the numbered runs table: 5 × 5 normal cards from 30 names.
struct NumberedRun {
    bool Numbered;
    bool Qr;
    int Layout;
    int Sheets;
    int Existing;    // the highest number of the record before the run (0: no record)
    int CancelAfter; // sheets printed before 中止 is pressed; -1: not pressed
    int SheetsSent;
};

const QString kAddress = QStringLiteral("192.168.1.20");

// The record's cards, or nothing when there is no record (or it cannot be read).
std::vector<RecordedCard> RecordAt(const QString& path) {
    std::vector<RecordedCard> cards;
    FileError error;
    LoadCardRecord(path, cards, error);
    return cards;
}

// A whole 3 × 3 card of the mark and empty cells, as an earlier run left it.
RecordedCard EarlierCard(int number) {
    RecordedCard card;
    card.Number = number;
    card.Side = 3;
    card.Cells.resize(9);
    card.Cells[4] = {0, QStringLiteral("★"), true};
    return card;
}

} // namespace

Q_DECLARE_METATYPE(NumberedRun)
Q_DECLARE_METATYPE(Run)

class CardIssueScreenTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // Each control's caption as the screen shows it, one a line: name <TAB> caption.
    void captions_data() {
        QTest::addColumn<QString>("shown");
        QFile file(QStringLiteral(MIRDA_TEST_DATA "/cards/screen_captions.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            QTest::newRow(line.section(u'\t', 0, 0).toUtf8()) << line.section(u'\t', 1);
        }
    }
    void captions() {
        QFETCH(QString, shown);
        Fixture f(0);
        QCOMPARE(f.screen->objectName(), QStringLiteral("Frm印刷設定"));
        QCOMPARE(Shown(f.Child(QString::fromUtf8(QTest::currentDataTag()))), shown);
    }

    void opensOnItsFirstChoicesAndResetsTheDrawKind() {
        Fixture f(0);
        f.state.DrawKind = DrawKind::Simple;
        f.screen = std::make_unique<CardIssueScreen>(f.state, f.services);
        QCOMPARE(f.state.DrawKind, DrawKind::Normal);
        QVERIFY(f.Child<QRadioButton>(QStringLiteral("Optカードモード_0"))->isChecked());
        QVERIFY(f.Child<QRadioButton>(QStringLiteral("Opt中心枠_0"))->isChecked());
    }

    void colourButtonWritesThePickedColour() {
        Fixture f(0);
        f.dialogs.Colours = {QColor(0, 0, 255), std::nullopt};
        auto* button = f.Child<QPushButton>(QStringLiteral("Cmd文字色"));
        button->click();
        QCOMPARE(Shown(f.Child(QStringLiteral("Txt文字色"))), QStringLiteral("16711680"));
        button->click(); // cancelled: unchanged
        QCOMPARE(Shown(f.Child(QStringLiteral("Txt文字色"))), QStringLiteral("16711680"));
        QVERIFY(f.screen->isEnabled() && f.Child(QStringLiteral("Cmd印刷設定適用"))->isEnabled());
    }

    void typedLayoutKeepsItsCaseWhenEntered() {
        Fixture f(0);
        auto* edit = f.Child<QComboBox>(QStringLiteral("Cmb用紙面付"))->lineEdit();
        edit->clear();
        // Lower-case full-width a, typed one key at a time as the completer sees it: no entry.
        for (const QChar ch : QStringLiteral("ａ４横  １面付け")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(edit, &press);
        }
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(Shown(f.Child(QStringLiteral("Cmb用紙面付"))), QStringLiteral("ａ４横  １面付け"));
        QCOMPARE(ReadPaperLayout(f.screen->ControlTexts().LayoutText), kDefaultPaperLayout);
    }

    // Runs without a printer, from the question to the end: the PDF's pages and what the user is told.
    void runs_data() {
        QTest::addColumn<Run>("run");
        const QString pdf =
            QStringLiteral("プリンタが見つからないため、ビンゴカードをPDFファイルに出力しました。\r\n");
        const QString nobody =
            QStringLiteral("データが登録されていません。\r\n通常ビンゴカード発行を打ち切ります。");
        QTest::newRow("answered No") << Run{24, false, 1, "1", false, 0, {}, {}, 0};
        QTest::newRow("three A4 sheets of normal cards")
            << Run{30, true, 0, "3", true, 3, {210, 297}, {pdf}, 1};
        QTest::newRow("blank cards need nobody") << Run{0, false, 8, "2", true, 2, {257, 182}, {pdf}, 1};
        QTest::newRow("a PDF takes a postcard") << Run{3, false, 10, "1", true, 1, {100, 148}, {pdf}, 1};
        QTest::newRow("nobody for a normal card")
            << Run{0, true, 1, "6", true, 1, {210, 297}, {nobody, pdf}, 1};
        QTest::newRow("no sheets") << Run{3, false, 1, "abc", true, 0, {}, {}, 1};
        QTest::newRow("fewer than no sheets") << Run{3, false, 1, "-4", true, 0, {}, {}, 1};
        QTest::newRow("sheets out of range")
            << Run{3, false, 1, "40000", true, 0, {}, {QStringLiteral("印字枚数は")}, 0};
    }
    void runs() {
        QFETCH(Run, run);
        Fixture f(run.Names);
        QSignalSpy ended(f.screen.get(), &CardIssueScreen::RunEnded);
        f.Child<QRadioButton>(QStringLiteral("Optカードモード_%1").arg(run.Normal ? 1 : 0))->setChecked(true);
        f.Pick(u"Cmb用紙面付", run.Layout);
        f.Set(QStringLiteral("Txt部数"), QString::fromLatin1(run.Sheets));
        f.Issue(run.Yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        f.RunToEnd();
        QCOMPARE(f.dialogs.Questions(), QStringList{QStringLiteral("指定条件でカードを発行しますか？")});
        QCOMPARE(f.dialogs.LastDefault, Dialogs::Answer::Yes);
        QCOMPARE(f.Pdfs().size(), run.Pages > 0 ? 1 : 0);
        if (run.Pages > 0) {
            QCOMPARE(CountPdfPages(f.Pdf()), run.Pages);
            QCOMPARE(PdfPageMm(f.Pdf()), run.PageMm);
            QVERIFY(f.Pdfs().first().startsWith(QStringLiteral("ビンゴカード_")));
            QVERIFY(f.dialogs.Messages().last().endsWith(QDir::toNativeSeparators(f.Pdf())));
        }
        QCOMPARE(f.dialogs.Messages().size(), run.Messages.size());
        for (int i = 0; i < run.Messages.size(); ++i) {
            QVERIFY2(f.dialogs.Messages().at(i).startsWith(run.Messages.at(i)),
                     qPrintable(f.dialogs.Messages().at(i)));
        }
        QCOMPARE(ended.count(), run.Ended);
        QVERIFY(f.screen->isEnabled() && !f.screen->IsPrinting());
    }

    // Numbered runs to a PDF: every card of the run is in the record beside it, numbered on from the
    // record, with its rows and names (and for phones a token and the address), before the first
    // sheet is made; the cards a stopped run did not make are marked 未印刷.
    void numberedRuns_data() {
        QTest::addColumn<NumberedRun>("run");
        QTest::newRow("unnumbered writes no record") << NumberedRun{false, false, 1, 2, 0, -1, 2};
        QTest::newRow("first numbers, two a sheet") << NumberedRun{true, false, 1, 2, 0, -1, 2};
        QTest::newRow("numbers go on after the record, four a sheet")
            << NumberedRun{true, true, 0, 1, 7, -1, 1};
        QTest::newRow("postcard with QR codes") << NumberedRun{true, true, 10, 1, 0, -1, 1};
        QTest::newRow("stopped after the first of five sheets") << NumberedRun{true, true, 1, 5, 2, 1, 1};
        QTest::newRow("stopped after three of five sheets") << NumberedRun{true, false, 1, 5, 0, 3, 3};
        QTest::newRow("stopped while the record is read") << NumberedRun{true, false, 1, 5, 0, 0, 0};
    }
    void numberedRuns() {
        QFETCH(NumberedRun, run);
        Fixture f(30);
        f.state.Settings.RosterFilePath = f.dir.filePath(QStringLiteral("名簿Ａ.txt"));
        const QString record = JoinPath(f.Working(), QStringLiteral("カード記録_名簿Ａ.csv"));
        FileError error;
        if (run.Existing > 0) {
            QVERIFY(AddCardsToRecord(record, {EarlierCard(1), EarlierCard(run.Existing)}, error));
        }
        f.screen->SetPhoneAddresses({QHostAddress(QStringLiteral("10.0.0.9")), QHostAddress(kAddress)});
        f.Check(u"Optカードモード_1");
        f.Pick(u"Cmb用紙面付", run.Layout);
        f.Set(QStringLiteral("Txt部数"), QString::number(run.Sheets));
        f.Check(u"chkCardNumber", run.Numbered);
        f.Check(u"chkCardQr", run.Qr);
        f.Pick(u"cmbPhoneAddress", 1);
        f.Issue();
        const PaperLayout& layout = PaperLayouts().at(size_t(run.Layout));
        const int runCards = run.CancelAfter == 0 ? 0 : run.Sheets * layout.CardsPerSheet;
        if (run.CancelAfter != 0) {
            // The first sheet is not made before every card of the run is on the disk.
            QVERIFY(f.UntilPrinting());
            QCOMPARE(int(RecordAt(record).size()),
                     (run.Existing > 0 ? 2 : 0) + (run.Numbered ? runCards : 0));
            QVERIFY(f.Pdfs().isEmpty());
        }
        for (int sheet = 0; sheet < run.CancelAfter; ++sheet) {
            QVERIFY(f.t.clock.AdvanceToNext());
        }
        if (run.CancelAfter >= 0) {
            auto* progress = f.screen->findChild<QProgressDialog*>(QStringLiteral("printProgress"));
            QVERIFY(progress);
            const QList<QPushButton*> buttons = progress->findChildren<QPushButton*>();
            QCOMPARE(buttons.size(), 1);
            QCOMPARE(buttons.first()->text(), QStringLiteral("中止"));
            QVERIFY(progress->isEnabled() && buttons.first()->isEnabled());
            buttons.first()->click();
        }
        f.RunToEnd();
        QVERIFY(!f.screen->IsPrinting() && f.screen->isEnabled());
        QCOMPARE(CountPdfPages(f.Pdf()), run.SheetsSent > 0 ? run.SheetsSent : -1);
        const std::vector<RecordedCard> cards = RecordAt(record);
        const int added = run.Numbered ? runCards : 0;
        const int sent = run.Numbered ? run.SheetsSent * layout.CardsPerSheet : 0;
        QCOMPARE(QDir(f.Working()).entryList({QStringLiteral("*.csv")}, QDir::Files).size(),
                 run.Existing > 0 || added > 0 ? 1 : 0);
        QCOMPARE(int(cards.size()), (run.Existing > 0 ? 2 : 0) + added);
        QSet<QString> tokens;
        for (int k = 0; k < added; ++k) {
            const RecordedCard& card = cards.at(cards.size() - size_t(added) + size_t(k));
            QCOMPARE(card.Number, run.Existing + 1 + k);
            QCOMPARE(card.Status, k < sent ? CardStatus::Given : CardStatus::NotPrinted);
            QCOMPARE(card.Layout, layout.Text);
            QCOMPARE(card.Side, 5);
            QCOMPARE(card.RosterPath, f.state.Settings.RosterFilePath);
            QCOMPARE(card.Fingerprint, RosterFingerprint(f.state.Roster));
            for (size_t cell = 0; cell < card.Cells.size(); ++cell) {
                const RecordedCell& c = card.Cells[cell];
                if (cell == 12) {
                    QVERIFY(c.IsMark());
                } else {
                    QVERIFY(c.Row >= 1 && c.Row <= 30 && !c.Centre);
                    QCOMPARE(c.Name, f.state.Roster.Cell(RosterColumn::Name, c.Row));
                }
            }
            QCOMPARE(IsTokenShaped(card.Token), run.Qr);
            QCOMPARE(card.PhoneAddress, run.Qr ? kAddress + QStringLiteral(":50080") : QString());
            tokens.insert(card.Token);
        }
        if (run.Qr) {
            QCOMPARE(tokens.size(), added); // a fresh token each
        }
        if (run.SheetsSent == 0) {
            QVERIFY(f.dialogs.Messages().isEmpty() && f.Pdfs().isEmpty());
            return;
        }
        // What was printed, by number, and where the record is; a stop is said first.
        const QString said = f.dialogs.Messages().last();
        QCOMPARE(said.startsWith(QStringLiteral("印刷を中止しました")), run.CancelAfter > 0);
        QVERIFY(said.contains(QStringLiteral("プリンタが見つからないため")));
        if (run.Numbered) {
            const auto no = [](int n) { return QStringLiteral("No.%1").arg(n, 4, 10, QLatin1Char('0')); };
            QVERIFY2(said.contains(QStringLiteral("カード番号: %1～%2（%3 枚）")
                                       .arg(no(run.Existing + 1), no(run.Existing + sent))
                                       .arg(sent)) ||
                         (sent == 1 &&
                          said.contains(QStringLiteral("カード番号: %1（1 枚）").arg(no(run.Existing + 1)))),
                     qPrintable(said));
            QVERIFY(said.contains(QStringLiteral("カード記録: ") + QDir::toNativeSeparators(record)));
            QCOMPARE(said.contains(QStringLiteral("未印刷")), sent < added);
        }
    }

    // A record that cannot be read exactly refuses the run before anything is printed (numbers
    // would be given twice); one that cannot take the run's cards prints nothing either.
    void recordThatCannotBeReadOrWritten_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("a folder in the record's place")
            << QStringLiteral("folder") << QStringLiteral("カード記録を読み込めなかったため");
        QTest::newRow("a record cut mid-line")
            << QStringLiteral("cut") << QStringLiteral("カード記録に正しく読めない行があるため");
        QTest::newRow("the record's place cannot be written")
            << QStringLiteral("nowhere")
            << QStringLiteral("カード記録に書き込めなかったため、印刷しませんでした");
    }
    void recordThatCannotBeReadOrWritten() {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        Fixture f(30);
        const QString record = JoinPath(f.Working(), QStringLiteral("カード記録_名簿なし.csv"));
        FileError error;
        if (kind == QStringLiteral("nowhere")) { // a link to a folder that is not there
            QVERIFY(QFile::link(f.dir.filePath(QStringLiteral("gone/record.csv")), record));
        } else if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir().mkpath(record));
        } else {
            QVERIFY(AddCardsToRecord(record, {EarlierCard(1), EarlierCard(2)}, error));
            QFile file(record);
            QVERIFY(file.resize(file.size() - 20));
        }
        f.Numbered();
        f.Issue();
        f.RunToEnd();
        QCOMPARE(f.dialogs.Messages().size(), 1);
        const QString message = f.dialogs.Messages().first();
        QVERIFY2(message.startsWith(said), qPrintable(message));
        QVERIFY(message.contains(QDir::toNativeSeparators(record)));
        if (kind == QStringLiteral("cut")) {
            QVERIFY2(message.contains(QStringLiteral("18 行目: 途中で切れています")) &&
                         message.contains(QStringLiteral("11 行目（No.0002）")),
                     qPrintable(message));
        }
        QCOMPARE(f.Pdfs().size(), 0);
        QVERIFY(!f.screen->IsPrinting() && f.screen->isEnabled());
    }

    // The run prints the cards the preview showed; a later run chooses afresh.
    void theRunPrintsWhatThePreviewShowed() {
        Fixture f(30);
        f.Numbered();
        f.Set(QStringLiteral("Txt部数"), QStringLiteral("2"));
        std::mt19937 pick(7);
        for (int i = 0; i < 400; ++i) {
            f.t.random.Push(double(pick() % 1000000) / 1000000.0);
        }
        std::vector<PlannedSheet> shown;
        f.dialogs.Execs.push_back([&](QDialog& dialog) {
            shown = qobject_cast<CardPreview*>(&dialog)->Chosen().Sheets;
            return int(QDialog::Rejected);
        });
        f.Child<QPushButton>(QStringLiteral("btnPreview"))->click();
        QCOMPARE(int(shown.size()), 2);
        const auto cells = [](const std::vector<RecordedCard>& cards) {
            std::vector<std::vector<RecordedCell>> out;
            for (const RecordedCard& card : cards) {
                out.push_back(card.Cells);
            }
            return out;
        };
        std::vector<RecordedCard> previewed = shown[0].Cards;
        previewed.insert(previewed.end(), shown[1].Cards.begin(), shown[1].Cards.end());
        QCOMPARE(previewed.front().Number, 1);
        f.Issue();
        f.RunToEnd();
        const QString record = JoinPath(f.Working(), QStringLiteral("カード記録_名簿なし.csv"));
        QVERIFY(cells(RecordAt(record)) == cells(previewed));
        f.Issue();
        f.RunToEnd();
        const std::vector<RecordedCard> both = RecordAt(record);
        QCOMPARE(both.size(), size_t{8});
        QVERIFY(cells({both.begin() + 4, both.end()}) != cells(previewed));
    }

    // Numbered cards and their QR codes are chosen again when the screen opens, after a restart
    // too; Mrda.ini is not touched. Too few people for a card is said in the question.
    void numberedCardsAreKeptAndRepeatsSaid() {
        Fixture f(10);
        f.screen->SetPhoneAddresses({QHostAddress(kAddress)});
        f.Numbered(true);
        f.Issue(Dialogs::Answer::No);
        QCOMPARE(f.dialogs.Questions().last(),
                 QStringLiteral("参加者が 10 人のため、5×5 のカードには同じ人が 2 回以上入ります"
                                "（中心のほかに 24 マスあります）。\r\n指定条件でカードを発行しますか？"));
        QVERIFY(f.screen->close());
        for (const bool restart : {false, true}) {
            if (restart) {
                f.state.CardChoices.reset();
            }
            f.screen = std::make_unique<CardIssueScreen>(f.state, f.services);
            QVERIFY(f.Child<QRadioButton>(QStringLiteral("Optカードモード_1"))->isChecked());
            QVERIFY(f.Child<QCheckBox>(QStringLiteral("chkCardNumber"))->isChecked());
            QVERIFY(f.Child<QCheckBox>(QStringLiteral("chkCardQr"))->isChecked());
        }
        f.Check(u"chkCardNumber", false);
        QVERIFY(f.screen->close());
        f.state.CardChoices.reset();
        f.screen = std::make_unique<CardIssueScreen>(f.state, f.services);
        QVERIFY(
            f.Child<QRadioButton>(QStringLiteral("Optカードモード_0"))->isChecked()); // as it always opened
        QVERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("Mrda.ini"))));
        QVERIFY(QFile::exists(f.dir.filePath(QStringLiteral("MrdaCards.ini"))));
    }

    // Numbers only on cards whose cells are printed; the QR code only for numbered cards, and only
    // when the computer has a network.
    void qrCodeNeedsNumbersAndANetwork_data() {
        QTest::addColumn<bool>("blank");
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<bool>("network");
        QTest::addColumn<bool>("offered");
        QTest::newRow("numbered, on a network") << false << true << true << true;
        QTest::newRow("not numbered") << false << false << true << false;
        QTest::newRow("no network") << false << true << false << false;
        QTest::newRow("a blank card") << true << true << true << false;
    }
    void qrCodeNeedsNumbersAndANetwork() {
        QFETCH(bool, blank);
        QFETCH(bool, numbered);
        QFETCH(bool, network);
        QFETCH(bool, offered);
        Fixture f(0);
        auto* number = f.Child<QCheckBox>(QStringLiteral("chkCardNumber"));
        auto* qr = f.Child<QCheckBox>(QStringLiteral("chkCardQr"));
        QVERIFY(!number->isChecked() && !qr->isChecked()); // both off whenever the screen opens
        QCOMPARE(number->text(), QStringLiteral("カード番号を印刷する"));
        QCOMPARE(qr->text(), QStringLiteral("スマホ用QRコードを印刷する"));
        f.screen->SetPhoneAddresses(network ? std::vector<QHostAddress>{QHostAddress(kAddress)}
                                            : std::vector<QHostAddress>{});
        f.Child<QRadioButton>(QStringLiteral("Optカードモード_%1").arg(blank ? 0 : 1))->setChecked(true);
        number->setChecked(numbered);
        qr->setChecked(true);
        QCOMPARE(number->isEnabled(), !blank);
        QCOMPARE(qr->isEnabled(), offered);
        QCOMPARE(f.Child(QStringLiteral("cmbPhoneAddress"))->isEnabled(), offered);
        QCOMPARE(qr->toolTip().contains(QStringLiteral("ネットワーク")), !network);
        QCOMPARE(f.screen->PhoneAddress(), offered ? kAddress + QStringLiteral(":50080") : QString());
    }

    // The preview shows the run's sheets on its paper and writes nothing, numbered or not.
    void previewWritesNothing_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("sheets");
        QTest::addColumn<QSizeF>("pageMm");
        QTest::addColumn<QString>("count");
        QTest::newRow("A4 2-up, 3 sheets") << 1 << 3 << QSizeF(210, 297) << QStringLiteral("全 3 ページ");
        QTest::newRow("postcard, sheets beyond what a preview shows")
            << 10 << 40 << QSizeF(100, 148)
            << QStringLiteral("全 40 ページ（最初の 10 ページを表示しています）");
    }
    void previewWritesNothing() {
        QFETCH(int, layout);
        QFETCH(int, sheets);
        QFETCH(QSizeF, pageMm);
        QFETCH(QString, count);
        Fixture f(30);
        f.screen->SetPhoneAddresses({QHostAddress(kAddress)});
        f.Numbered(true);
        f.Pick(u"Cmb用紙面付", layout);
        f.Set(QStringLiteral("Txt部数"), QString::number(sheets));
        int pages = -1;
        QSizeF paper;
        QString said;
        f.dialogs.Execs.push_back([&](QDialog& dialog) {
            auto* preview = qobject_cast<CardPreview*>(&dialog);
            preview->Preview()->updatePreview();
            pages = preview->Preview()->pageCount();
            said = preview->findChild<QLabel*>(QStringLiteral("lblページ数"))->text();
            paper = preview->PageLayout().fullRectPoints().size() * 25.4 / 72;
            paper = QSizeF(qRound(paper.width()), qRound(paper.height()));
            return int(QDialog::Rejected);
        });
        f.Child<QPushButton>(QStringLiteral("btnPreview"))->click();
        QCOMPARE(pages, std::min(sheets, 10));
        QCOMPARE(said, count);
        QCOMPARE(paper, pageMm);
        QVERIFY(f.dialogs.Messages().isEmpty() && f.dialogs.Questions().isEmpty());
        QCOMPARE(QDir(f.Working()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    }

    void printingScreenTakesNoInputAndShowsItsProgress() {
        Fixture f(30);
        f.Set(QStringLiteral("Txt部数"), QStringLiteral("5"));
        f.Issue();
        QVERIFY(f.screen->IsPrinting() && !f.screen->isEnabled() && QApplication::overrideCursor());
        QVERIFY(!f.screen->close());
        auto* progress = f.screen->findChild<QProgressDialog*>(QStringLiteral("printProgress"));
        QVERIFY(progress && !progress->isModal());
        QCOMPARE(progress->maximum(), 5);
        QVERIFY(f.t.clock.AdvanceToNext());
        QCOMPARE(progress->value(), 1);
        QVERIFY(f.Pdfs().isEmpty()); // no half-written PDF carries its name
        f.RunToEnd();
        QVERIFY(!f.screen->findChild<QProgressDialog*>(QStringLiteral("printProgress")));
        QVERIFY(!f.screen->IsPrinting() && f.screen->isEnabled() && !QApplication::overrideCursor());
        QCOMPARE(QDir(f.Working()).entryList(QDir::Files), f.Pdfs()); // only the finished file is left
        QCOMPARE(CountPdfPages(f.Pdf()), 5);
        QVERIFY(f.screen->close());
    }

    void screenDestroyedMidRunLeavesNoFile() {
        Fixture f(30);
        f.Set(QStringLiteral("Txt部数"), QStringLiteral("5"));
        f.Issue();
        QVERIFY(f.t.clock.AdvanceToNext());
        f.screen.reset(); // the program goes away mid-run
        f.RunToEnd();
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(QDir(f.Working()).entryList(QDir::Files).isEmpty());
    }
};

QTEST_MAIN(CardIssueScreenTest)
#include "cardissuescreen_test.moc"
