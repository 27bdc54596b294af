#include "core/cards/cardsettings.h"
#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "core/phones/cardtoken.h"
#include "core/record/cardrecord.h"
#include "core/record/recordfile.h"
#include "support/scriptstep.h"
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

QString Flag(bool on) {
    return QString::number(int(on));
}

// The cells of cards, to compare what was previewed with what was recorded.
std::vector<std::vector<RecordedCell>> CellsOf(const std::vector<RecordedCard>& cards) {
    std::vector<std::vector<RecordedCell>> out;
    for (const RecordedCard& card : cards) {
        out.push_back(card.Cells);
    }
    return out;
}

// The card screen on a roster of the first rows, with a working folder where runs without a
// printer write their PDF; driven by the steps of a script (see tests/data/cards/runs).
struct Rig {
    Rig() : state(StateWithNames({})) {
        QDir(dir.path()).mkpath(QStringLiteral("Mrda/Pictures"));
        state.Settings.Pictures = JoinPath(Working(), QStringLiteral("Pictures"));
        state.ProgramFolder = dir.path() + u'/';
    }
    void Create() {
        screen = std::make_unique<CardIssueScreen>(state, services);
        screen->setAttribute(Qt::WA_DeleteOnClose, false);
        screen->SetPrinterLookup([] { return QPrinterInfo(); });
        ended = std::make_unique<QSignalSpy>(screen.get(), &CardIssueScreen::RunEnded);
    }
    QWidget* Child(const QString& name) const { return screen->findChild<QWidget*>(name); }
    template <typename T> T* Child(const QString& name) const { return qobject_cast<T*>(Child(name)); }
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
    QStringList Files(const QString& pattern) const {
        return QDir(Working()).entryList({pattern}, QDir::Files);
    }
    QString Pdf() const { return QDir(Working()).filePath(Files(QStringLiteral("*.pdf")).value(0)); }
    QString Record() const { return CardRecordPath(Working(), state.Settings.RosterFilePath); }
    std::vector<RecordedCard> RecordCards() const {
        std::vector<RecordedCard> cards;
        FileError error;
        LoadCardRecord(Record(), cards, error);
        return cards;
    }
    // What the user was told, the folder and the PDF's name left out.
    QString Said(const QStringList& texts) const {
        QString out = texts.join(u'/');
        const QString pdf = Files(QStringLiteral("*.pdf")).value(0);
        return out.replace(QDir::toNativeSeparators(Working() + u'/'), QString())
            .replace(pdf.startsWith(u"ビンゴカード_") ? pdf : QStringLiteral("\x01"), QStringLiteral("PDF"));
    }
    // The record in runs of cards alike: numbers, then what they are (an earlier run's, printed
    // or not, with a token and the address of the phones); a card whose cells, roster or layout
    // are not those of the run is named.
    QString RecordSummary() const {
        const std::vector<RecordedCard> cards = RecordCards();
        const QString layout =
            PaperLayouts().at(size_t(Child<QComboBox>(QStringLiteral("Cmb用紙面付"))->currentIndex())).Text;
        QStringList runs;
        QSet<QString> tokens;
        QString kind;
        for (size_t k = 0; k < cards.size(); ++k) {
            const RecordedCard& card = cards[k];
            QString now = card.Side == 3                     ? QStringLiteral("earlier")
                          : card.Status == CardStatus::Given ? QStringLiteral("given")
                                                             : QStringLiteral("未印刷");
            if (card.Side != 3) {
                now += IsTokenShaped(card.Token) && !tokens.contains(card.Token) ? QStringLiteral(" qr")
                                                                                 : QString();
                now += card.PhoneAddress.isEmpty() ? QString() : u' ' + card.PhoneAddress;
                tokens.insert(card.Token);
                bool sound = card.Side == 5 && card.Layout == layout &&
                             card.RosterPath == state.Settings.RosterFilePath &&
                             card.Fingerprint == RosterFingerprint(state.Roster);
                for (size_t cell = 0; cell < card.Cells.size(); ++cell) {
                    const RecordedCell& c = card.Cells[cell];
                    sound =
                        sound && (cell == 12 ? c.IsMark()
                                             : c.Row >= 1 && !c.Centre &&
                                                   c.Name == state.Roster.Cell(RosterColumn::Name, c.Row));
                }
                now += sound ? QString() : QStringLiteral(" unsound");
            }
            if (k > 0 && now == kind && card.Number == cards[k - 1].Number + 1) {
                runs.last() =
                    QStringLiteral("%1-%2 %3").arg(runs.last().section(u'-', 0, 0)).arg(card.Number).arg(now);
            } else {
                runs << QStringLiteral("%1-%1 %2").arg(card.Number).arg(now);
            }
            kind = now;
        }
        return runs.isEmpty() ? QStringLiteral("none") : runs.join(u'|');
    }

    // One step of a script: what it gives back (see RunScripts).
    QString Step(const ScriptStep& step) {
        const QString &name = step.Name, &arg = step.Arg, &value = step.Value;
        const bool setUp = name == u"names" || name == u"roster" || name == u"earlier" || name == u"record" ||
                           name == u"drawkind";
        if (!ended && !setUp) {
            Create();
        }
        QString got;
        FileError error;
        if (name == u"names") {
            for (int row = 1; row <= value.toInt(); ++row) {
                state.Roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
            }
        } else if (name == u"roster") {
            state.Settings.RosterFilePath = dir.filePath(value);
        } else if (name == u"drawkind") {
            state.DrawKind = DrawKind::Simple;
        } else if (name == u"earlier") { // a record of two whole 3 × 3 cards of an earlier run
            std::vector<RecordedCard> cards(2);
            for (size_t k = 0; k < 2; ++k) {
                cards[k].Number = k == 0 ? 1 : value.toInt();
                cards[k].Side = 3;
                cards[k].Cells.resize(9);
                cards[k].Cells[4] = {0, QStringLiteral("★"), true};
            }
            got = AddCardsToRecord(Record(), cards, error) ? QString() : QStringLiteral("not written");
        } else if (name ==
                   u"record") { // a record in the way: a folder, cut, moved away, or a link to nowhere
            if (value == u"folder") {
                QDir().mkpath(Record());
            } else if (value == u"gone") {
                QFile::rename(Record(), Record() + QStringLiteral(".moved"));
            } else if (value == u"nowhere") {
                QFile::link(dir.filePath(QStringLiteral("gone/record.csv")), Record());
            } else {
                QFile file(Record());
                file.resize(file.size() - value.toInt());
            }
        } else if (name == u"addresses") {
            std::vector<QHostAddress> addresses;
            for (const QString& address : value.split(u',', Qt::SkipEmptyParts)) {
                addresses.emplace_back(address);
            }
            screen->SetPhoneAddresses(addresses);
        } else if (name == u"check") {
            Child<QAbstractButton>(arg)->setChecked(value != u"0");
        } else if (name == u"pick") {
            Child<QComboBox>(arg)->setCurrentIndex(value.toInt());
        } else if (name == u"set") {
            if (auto* edit = Child<QLineEdit>(arg)) {
                edit->setText(value);
            } else {
                Child<QComboBox>(arg)->setEditText(value);
            }
        } else if (name == u"type") { // one key at a time into the layout's field, as the completer sees it
            QLineEdit* edit = Child<QComboBox>(arg)->lineEdit();
            edit->clear();
            for (const QChar ch : value) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(edit, &press);
            }
            QTest::keyClick(edit, Qt::Key_Return);
        } else if (name == u"colour") { // the colour box's answer; none: cancelled
            dialogs.Colours.push_back(value.isEmpty() ? std::nullopt : std::optional<QColor>(QColor(value)));
        } else if (name == u"random") { // many random fractions of a seed
            std::mt19937 pick(value.toUInt());
            for (int i = 0; i < 400; ++i) {
                t.random.Push(double(pick() % 1000000) / 1000000.0);
            }
        } else if (name == u"click") {
            Child<QAbstractButton>(arg)->click();
        } else if (name == u"issue") {
            dialogs.YesNo.push_back(value == u"No" ? Dialogs::Answer::No : Dialogs::Answer::Yes);
            Child<QAbstractButton>(QStringLiteral("Cmd印刷設定適用"))->click();
        } else if (name == u"preview") { // what the preview shows, noted as it is closed
            dialogs.Execs.push_back([this](QDialog& dialog) {
                auto* preview = qobject_cast<CardPreview*>(&dialog);
                preview->Preview()->updatePreview();
                const QSizeF paper = preview->PageLayout().fullRectPoints().size() * 25.4 / 72;
                previewed = QStringLiteral("%1|%2|%3x%4")
                                .arg(preview->Preview()->pageCount())
                                .arg(preview->findChild<QLabel*>(QStringLiteral("lblページ数"))->text())
                                .arg(qRound(paper.width()))
                                .arg(qRound(paper.height()));
                previewedCards.clear();
                for (const PlannedSheet& sheet : preview->Chosen().Sheets) {
                    previewedCards.insert(previewedCards.end(), sheet.Cards.begin(), sheet.Cards.end());
                }
                return int(QDialog::Rejected);
            });
            Child<QAbstractButton>(QStringLiteral("btnPreview"))->click();
        } else if (name == u"previewed?") {
            got = previewed;
        } else if (name == u"aspreviewed?") { // the record's first or last cards are those previewed
            const std::vector<RecordedCard> cards = RecordCards();
            const size_t n = std::min(cards.size(), previewedCards.size());
            const std::vector<RecordedCard> part(arg == u"last" ? cards.end() - ptrdiff_t(n) : cards.begin(),
                                                 arg == u"last" ? cards.end() : cards.begin() + ptrdiff_t(n));
            got = Flag(n > 0 && CellsOf(part) == CellsOf(previewedCards));
        } else if (name == u"end") {
            RunToEnd();
        } else if (name == u"sheets") { // the clock runs on to so many more sheets
            for (int n = 0; n < value.toInt() && got.isEmpty(); ++n) {
                got = t.clock.AdvanceToNext() ? QString() : QStringLiteral("no sheet due");
            }
        } else if (name == u"untilprinting?") {
            got = Flag(UntilPrinting());
        } else if (name == u"stop") { // 中止, the progress box's only button
            auto* progress = screen->findChild<QProgressDialog*>(QStringLiteral("printProgress"));
            const QList<QPushButton*> buttons =
                progress ? progress->findChildren<QPushButton*>() : QList<QPushButton*>();
            if (buttons.size() != 1 || buttons.first()->text() != u"中止" || !progress->isEnabled() ||
                !buttons.first()->isEnabled()) {
                return QStringLiteral("no 中止 to press");
            }
            buttons.first()->click();
        } else if (name == u"progress?") { // maximum|value|modal, or none
            auto* progress = screen->findChild<QProgressDialog*>(QStringLiteral("printProgress"));
            got = !progress ? QStringLiteral("none")
                            : QStringLiteral("%1|%2|%3")
                                  .arg(progress->maximum())
                                  .arg(progress->value())
                                  .arg(Flag(progress->isModal()));
        } else if (name == u"reopen") { // the screen opens again; restart: the program too
            if (value == u"restart") {
                state.CardChoices.reset();
            }
            Create();
        } else if (name == u"destroy") { // the program goes away mid-run
            screen.reset();
        } else if (name == u"closed?") {
            got = Flag(screen->close());
        } else if (name == u"printing?") { // printing|enabled|busy cursor
            got = Flag(screen && screen->IsPrinting()) + u'|' + Flag(screen && screen->isEnabled()) + u'|' +
                  Flag(QApplication::overrideCursor());
        } else if (name == u"questions?" || name == u"messages?") {
            got = Said(name == u"questions?" ? dialogs.Questions() : dialogs.Messages());
        } else if (name == u"default?") {
            got = QString::fromLatin1(dialogs.LastDefault == Dialogs::Answer::Yes ? "Yes" : "No");
        } else if (name == u"ended?") {
            got = QString::number(ended->count());
        } else if (name == u"files?") { // the working folder's files (or those of a pattern)
            got = Said(Files(arg.isEmpty() ? QStringLiteral("*") : arg));
        } else if (name == u"pdf?") { // pages and the page's size
            const QSize mm = PdfPageMm(Pdf());
            got = Files(QStringLiteral("*.pdf")).isEmpty()
                      ? QStringLiteral("none")
                      : QStringLiteral("%1|%2x%3").arg(CountPdfPages(Pdf())).arg(mm.width()).arg(mm.height());
        } else if (name == u"record?") {
            got = RecordSummary();
        } else if (name == u"exists?") {
            got = Flag(QFile::exists(dir.filePath(arg)));
        } else if (name == u"shown?") {
            got = Shown(Child(arg));
        } else if (name == u"checked?" || name == u"enabled?") {
            got = Flag(name == u"checked?" ? Child<QAbstractButton>(arg)->isChecked()
                                           : Child(arg)->isEnabled());
        } else if (name == u"tip?") {
            got = Child(arg)->toolTip();
        } else if (name == u"address?") {
            got = screen->PhoneAddress();
        } else if (name == u"layout?") { // the layout read back from what the field holds
            got = QString::number(ReadPaperLayout(screen->ControlTexts().LayoutText));
        } else if (name == u"drawkind?") {
            got = QString::fromLatin1(state.DrawKind == DrawKind::Normal ? "normal" : "simple");
        } else {
            got = QStringLiteral("<no such step>");
        }
        return got;
    }

    QTemporaryDir dir;
    TestServices t;
    NestedLoopDialogs dialogs{t.clock};
    Services services{dialogs, t.random, t.clock, t.music};
    ProgramState state;
    std::unique_ptr<CardIssueScreen> screen;
    std::unique_ptr<QSignalSpy> ended;
    QString previewed;
    std::vector<RecordedCard> previewedCards;
};

} // namespace

class CardIssueScreenTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // Each control's caption as the screen shows it, one a line: name <TAB> caption.
    void captions() {
        Rig rig;
        rig.Create();
        QCOMPARE(rig.screen->objectName(), QStringLiteral("Frm印刷設定"));
        const int cases =
            ForEachCase(QStringLiteral("cards"), QStringLiteral("screen_captions.tsv"),
                        [&](const std::string& where, const QStringList& fields) {
                            QWidget* control = rig.Child(fields.value(0));
                            QVERIFY2(control && Shown(control) == fields.value(1), where.c_str());
                        });
        QVERIFY(cases > 20);
    }

    // Scripts of choices, runs and what they leave, from tests/data/cards/runs.
    void scriptsFromData() {
        const int cases = RunScripts<Rig>(QStringLiteral("cards/runs"), [](const std::string& failed) {
            QTest::qFail(failed.c_str(), __FILE__, __LINE__);
        });
        QVERIFY(cases >= 20);
    }
};

QTEST_MAIN(CardIssueScreenTest)
#include "cardissuescreen_test.moc"
