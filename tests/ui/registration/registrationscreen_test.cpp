#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "support/testservices.h"
#include "ui/app/childscreen.h"
#include "ui/registration/registrationrules.h"
#include "ui/registration/registrationscreen.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

const QString kNameInitial = QStringLiteral("12345678901234567890");

// One open registration screen on a roster of its own, with scripted dialogs.
struct Fixture {
    TestServices t;
    ProgramState state;
    QTemporaryDir dir;
    QPointer<RegistrationScreen> screen;

    explicit Fixture(ProgramState s = StateWithNames({u"一郎", u"二郎", u"三郎", u"四郎", u"五郎", u"六郎",
                                                      u"七郎"}))
        : state(std::move(s)) {
        state.Settings.Musics = JoinDir(QStringLiteral("Musics"));
        state.Settings.Pictures = JoinDir(QStringLiteral("Pictures"));
        QDir().mkpath(state.Settings.Musics);
        QDir().mkpath(state.Settings.Pictures);
    }
    ~Fixture() { delete screen.data(); }

    QString JoinDir(const QString& name) const { return QDir::toNativeSeparators(dir.filePath(name)); }

    bool Open() {
        screen = new RegistrationScreen(state, t.services);
        screen->show();
        return QTest::qWaitForWindowActive(screen);
    }

    QLineEdit* Field(int i) const {
        return screen->findChild<QLineEdit*>(QStringLiteral("txt入力項目_%1").arg(i));
    }
    QString Text(int i) const { return Field(i)->text(); }
    QPushButton* Button(const QString& name) const { return screen->findChild<QPushButton*>(name); }
    QPushButton* Label(int i) const { return Button(QStringLiteral("cmdラベル_%1").arg(i)); }
    QLineEdit* Focused() const { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
    int FocusedIndex() const {
        for (int i = 0; i < RegistrationScreen::kFieldCount; ++i) {
            if (Field(i)->hasFocus()) {
                return i;
            }
        }
        return -1;
    }

    // Types into the focused field (replacing its selection) and presses a key there.
    void Type(const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(QApplication::focusWidget(), char(c.unicode()));
            } else {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(QApplication::focusWidget(), &press);
            }
        }
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void Click(int field) { QTest::mouseClick(Field(field), Qt::LeftButton); }
    void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Opens a row by its number from field 0 and lands in the name field.
    void LoadRow(const QString& number) {
        Field(0)->setFocus();
        Type(number);
        Key(Qt::Key_Return);
    }

    void Drop(int field, const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths) {
            urls.append(QUrl::fromLocalFile(p));
        }
        data.setUrls(urls);
        // Drops go to the widget that accepted the drag when it entered.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Field(field), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Field(field), &drop);
    }
};

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QSize twipsToPixels(const QWidget* w, double width, double height) {
    return {TwipsToPixels(w, width), TwipsToPixels(w, height)};
}

} // namespace

class RegistrationScreenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void opensEmptyWithTheFocusOnTheRowNumber();
    void restoresTheDesignTextBeforeTheFirstApply();
    void rowNumberLoadsOrChoosesARow_data();
    void rowNumberLoadsOrChoosesARow();
    void stepButtonsStayWithinTheRoster_data();
    void stepButtonsStayWithinTheRoster();
    void applyAtTheEndOfTheRecord_data();
    void applyAtTheEndOfTheRecord();
    void applyStoresTrimmedCellsAndRestoreBringsThemBack();
    void blankNameFreesTheRowForTheNextChoice();
    void fullRosterRefusesAnotherRow();
    void arrowKeysAndTabMoveBetweenFields_data();
    void arrowKeysAndTabMoveBetweenFields();
    void clickingFurtherDownChecksTheFieldsPassed();
    void clickingFurtherUpChecksNothing();
    void inactiveWindowStillFillsAndSelectsTheNextField();
    void fieldChecksNormaliseTheirText_data();
    void fieldChecksNormaliseTheirText();
    void bloodTypeButtonCycles();
    void prefectureButtonCycles_data();
    void prefectureButtonCycles();
    void captionRename_data();
    void captionRename();
    void typingStopsAtTheMaximumButLoadedTextIsKept();
    void pastedTabsAndLineBreaksAreStoredAsSpaces();
    void charactersTheFileCannotHoldAreRefusedWhereTheyEnter_data();
    void charactersTheFileCannotHoldAreRefusedWhereTheyEnter();
    void escapeAsksBeforeClosing_data();
    void escapeAsksBeforeClosing();
    void closeBoxClosesWithoutAsking();
    void abortClosesTheChildWindowHoldingTheScreen();
    void chooserAcceptsOnlyTheWorkingFolder_data();
    void chooserAcceptsOnlyTheWorkingFolder();
    void droppedFilesAreCopiedInUpperCase();
    void droppedFilesOfOtherKindsOrFieldsAreIgnored();
    void failedCopyKeepsTheField();
    void droppingAFileOntoItselfKeepsIt();
    void photoPreviewKeepsProportions_data();
    void photoPreviewKeepsProportions();
    void auditionPlaysFromTheStartForThePlayingTime_data();
    void auditionPlaysFromTheStartForThePlayingTime();
    void auditionWithoutASongOnlyTells();
};

void RegistrationScreenTest::opensEmptyWithTheFocusOnTheRowNumber() {
    ProgramState state = StateWithNames({u"一郎"});
    state.Roster.SetCell(RosterColumn::FavouriteWords, 0, QStringLiteral("趣味"));
    state.Roster.SetCell(RosterColumn::Comment, 0, QStringLiteral("ひとこと"));
    Fixture f(std::move(state));
    QVERIFY(f.Open());
    QCOMPARE(f.screen->objectName(), QStringLiteral("Frm参加者登録"));
    QCOMPARE(f.FocusedIndex(), 0);
    QCOMPARE(f.screen->CurrentField(), 0);
    QCOMPARE(f.Text(0), QStringLiteral("    ")); // filled with spaces on receiving the focus
    QCOMPARE(f.Field(0)->selectedText(), QStringLiteral("    "));
    for (int i = 1; i < RegistrationScreen::kFieldCount; ++i) {
        QVERIFY2(f.Text(i).isEmpty(), qPrintable(QString::number(i)));
    }
    QVERIFY(f.Field(1)->isHidden());
    QCOMPARE(f.Label(9)->text(), QStringLiteral("趣味"));
    QCOMPARE(f.Label(10)->text(), QStringLiteral("ひとこと"));
    QVERIFY(!f.state.RosterModified);
}

void RegistrationScreenTest::restoresTheDesignTextBeforeTheFirstApply() {
    Fixture f;
    QVERIFY(f.Open());
    f.Press(f.Label(2)); // 氏名: straight into the name field
    QCOMPARE(f.FocusedIndex(), 2);
    f.Key(Qt::Key_F5);
    QCOMPARE(f.Text(2), kNameInitial);
    QCOMPARE(f.screen->CurrentField(), 2);
}

void RegistrationScreenTest::rowNumberLoadsOrChoosesARow_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("field0");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("focus");
    QTest::addColumn<bool>("rangeMessage");
    // Rows 1 to 7 are named; 8 is the first free row.
    QTest::newRow("left empty: first free row")
        << QString() << QStringLiteral("008") << QString() << 2 << false;
    QTest::newRow("0: first free row")
        << QStringLiteral("0") << QStringLiteral("008") << QString() << 2 << false;
    QTest::newRow("letters: first free row")
        << QStringLiteral("abc") << QStringLiteral("008") << QString() << 2 << false;
    QTest::newRow("5") << QStringLiteral("5") << QStringLiteral("005") << QStringLiteral("五郎") << 2
                       << false;
    QTest::newRow("12.5 rounds to 12")
        << QStringLiteral("12.5") << QStringLiteral("012") << QString() << 2 << false;
    QTest::newRow("13.5 rounds to 14")
        << QStringLiteral("13.5") << QStringLiteral("014") << QString() << 2 << false;
    QTest::newRow("6.5 rounds to 6") << QStringLiteral("6.5") << QStringLiteral("006")
                                     << QStringLiteral("六郎") << 2 << false;
    QTest::newRow("300") << QStringLiteral("300") << QStringLiteral("300") << QString() << 2 << false;
    QTest::newRow("301") << QStringLiteral("301") << QStringLiteral("301") << QStringLiteral("keep") << 0
                         << true;
    QTest::newRow("-1") << QStringLiteral("-1") << QStringLiteral("   ") << QStringLiteral("keep") << 0
                        << true;
    QTest::newRow("9999 does not fit three digits")
        << QStringLiteral("9999") << QStringLiteral("   ") << QStringLiteral("keep") << 0 << true;
}

void RegistrationScreenTest::rowNumberLoadsOrChoosesARow() {
    QFETCH(QString, typed);
    QFETCH(QString, field0);
    QFETCH(QString, name);
    QFETCH(int, focus);
    QFETCH(bool, rangeMessage);
    Fixture f;
    f.state.Roster.SetCell(RosterColumn::BirthYear, 8, QStringLiteral("1970")); // a freed row keeps its cells
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("3")); // something in the fields first
    QCOMPARE(f.Text(2), QStringLiteral("三郎"));
    f.Field(0)->setFocus();
    f.Key(Qt::Key_Delete); // the whole text was selected
    f.Type(typed);
    f.Key(Qt::Key_Return);
    QCOMPARE(f.Text(0), field0);
    QCOMPARE(f.Text(2).trimmed(), name == QStringLiteral("keep") ? QStringLiteral("三郎") : name);
    QCOMPARE(f.FocusedIndex(), focus);
    QCOMPARE(f.screen->CurrentField(), focus);
    const QStringList expected =
        rangeMessage ? QStringList{QStringLiteral("1から300の範囲で指定してください。")} : QStringList{};
    QCOMPARE(f.t.dialogs.Messages(), expected);
    if (field0 == QStringLiteral("008")) {
        QCOMPARE(f.Text(3), QStringLiteral("1970"));
    }
}

void RegistrationScreenTest::stepButtonsStayWithinTheRoster_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("field0");
    QTest::newRow("↓ at 300 stays") << QStringLiteral("300") << 1 << QStringLiteral("300");
    QTest::newRow("↑ from empty") << QString() << 0 << QStringLiteral("001");
    QTest::newRow("↑ from 1") << QStringLiteral("1") << 0 << QStringLiteral("001");
    QTest::newRow("↓ from empty") << QString() << 1 << QStringLiteral("001");
    QTest::newRow("↓ from 5") << QStringLiteral("5") << 1 << QStringLiteral("006");
    QTest::newRow("↑ from 5") << QStringLiteral("5") << 0 << QStringLiteral("004");
    QTest::newRow("↑ from 9999") << QStringLiteral("9999") << 0 << QStringLiteral("300");
}

void RegistrationScreenTest::stepButtonsStayWithinTheRoster() {
    QFETCH(QString, typed);
    QFETCH(int, button);
    QFETCH(QString, field0);
    Fixture f;
    QVERIFY(f.Open());
    f.Type(typed);
    f.Press(f.Button(QStringLiteral("Cmdデータ参照_%1").arg(button)));
    QCOMPARE(f.Text(0), field0);
    const int row = field0.toInt();
    QCOMPARE(f.Text(2), f.state.Roster.Cell(RosterColumn::Name, row));
    QCOMPARE(f.FocusedIndex(), 0); // the field being edited keeps the focus
    QVERIFY(f.t.dialogs.Messages().isEmpty());
}

void RegistrationScreenTest::applyAtTheEndOfTheRecord_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes stores and clears") << true;
    QTest::newRow("No keeps everything") << false;
}

void RegistrationScreenTest::applyAtTheEndOfTheRecord() {
    QFETCH(bool, yes);
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("2"));
    f.Type(QStringLiteral("次郎"));
    // Enter through every field to the exclusion mark.
    for (int i = 2; i < 15; ++i) {
        f.Key(Qt::Key_Return);
    }
    QCOMPARE(f.FocusedIndex(), 15);
    f.t.dialogs.YesNo.push_back(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
    f.Key(Qt::Key_Return);
    QCOMPARE(f.t.dialogs.Questions(), QStringList{QStringLiteral("指定データを適用しますか？")});
    QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::Yes);
    QCOMPARE(f.state.RosterModified, yes);
    QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 2),
             yes ? QStringLiteral("次郎") : QStringLiteral("二郎"));
    if (yes) {
        QCOMPARE(f.FocusedIndex(), 0);
        QCOMPARE(f.screen->CurrentField(), 0);
        QCOMPARE(f.Text(0), QStringLiteral("    "));
        for (int i = 1; i < RegistrationScreen::kFieldCount; ++i) {
            QVERIFY2(f.Text(i).isEmpty(), qPrintable(QString::number(i)));
        }
        // Cells beyond the name were stored trimmed: the spaces the fields were filled with are gone.
        QCOMPARE(f.state.Roster.Cell(RosterColumn::BirthYear, 2), QString());
        QCOMPARE(f.state.Roster.Cell(RosterColumn::Excluded, 2), QString());
    } else {
        QCOMPARE(f.FocusedIndex(), 15);
        QCOMPARE(f.Text(0), QStringLiteral("002"));
        QCOMPARE(f.Text(2), QStringLiteral("次郎"));
    }
}

void RegistrationScreenTest::applyStoresTrimmedCellsAndRestoreBringsThemBack() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("4"));
    f.Type(QStringLiteral("  四郎丸  "));
    f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
    f.Key(Qt::Key_F12);
    QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 4), QStringLiteral("四郎丸"));
    QCOMPARE(f.FocusedIndex(), 0);
    // F5 in the name field brings back what was just applied.
    f.Press(f.Label(2));
    f.Key(Qt::Key_F5);
    QCOMPARE(f.Text(2), QStringLiteral("  四郎丸  "));
    // Applying with an empty row number does nothing at all.
    f.Field(0)->setFocus();
    f.Field(0)->clear();
    f.Key(Qt::Key_F12);
    QCOMPARE(f.t.dialogs.Questions().size(), 1);
}

void RegistrationScreenTest::blankNameFreesTheRowForTheNextChoice() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("2"));
    f.Key(Qt::Key_Return); // name left as is
    f.Type(QStringLiteral("1980"));
    f.Key(Qt::Key_Up);
    QCOMPARE(f.FocusedIndex(), 2);
    f.Field(2)->selectAll();
    f.Type(QStringLiteral(" "));
    f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
    f.Press(f.Button(QStringLiteral("Cmd登録")));
    QVERIFY(!f.state.Roster.IsInUse(2));
    QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 2), QString());
    QCOMPARE(f.state.Roster.Cell(RosterColumn::BirthYear, 2), QStringLiteral("1980"));
    // The next automatic choice picks row 2 and shows what it still holds.
    f.Key(Qt::Key_Return);
    QCOMPARE(f.Text(0), QStringLiteral("002"));
    QCOMPARE(f.Text(3), QStringLiteral("1980"));
}

void RegistrationScreenTest::fullRosterRefusesAnotherRow() {
    Fixture f;
    for (int row = 1; row <= RosterTable::kCapacity; ++row) {
        f.state.Roster.SetCell(RosterColumn::Name, row, QStringLiteral("N%1").arg(row));
    }
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("7"));
    f.Field(0)->setFocus();
    f.Field(0)->setText(QStringLiteral("    "));
    f.Key(Qt::Key_Return);
    QCOMPARE(f.t.dialogs.Messages(), QStringList{QStringLiteral("これ以上名簿に登録出来ません")});
    QCOMPARE(f.Text(0), QStringLiteral("000"));
    QCOMPARE(f.Text(2), QStringLiteral("N7")); // the fields keep their content
    // Applying now asks, refuses the row number, stores nothing and still empties the fields.
    f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
    f.Key(Qt::Key_F12);
    QCOMPARE(f.t.dialogs.Messages().last(), QStringLiteral("行番号の範囲は 1から 300を指定してください"));
    QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 7), QStringLiteral("N7"));
    QVERIFY(f.state.RosterModified);
    QCOMPARE(f.Text(2), QString());
}

void RegistrationScreenTest::arrowKeysAndTabMoveBetweenFields_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("to");
    QTest::newRow("Down") << 3 << int(Qt::Key_Down) << 0 << 4;
    QTest::newRow("Tab") << 3 << int(Qt::Key_Tab) << 0 << 4;
    QTest::newRow("Enter") << 8 << int(Qt::Key_Enter) << 0 << 9;
    QTest::newRow("Up") << 4 << int(Qt::Key_Up) << 0 << 3;
    QTest::newRow("Shift+Tab") << 4 << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 3;
    QTest::newRow("Shift+Ctrl+Tab") << 4 << int(Qt::Key_Tab) << int(Qt::ShiftModifier | Qt::ControlModifier)
                                    << 3;
    QTest::newRow("Up skips the hidden spare") << 2 << int(Qt::Key_Up) << 0 << 0;
    QTest::newRow("Up stays at 0") << 0 << int(Qt::Key_Up) << 0 << 0;
    QTest::newRow("F2 does nothing") << 5 << int(Qt::Key_F2) << 0 << 5;
}

void RegistrationScreenTest::arrowKeysAndTabMoveBetweenFields() {
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, to);
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Click(from);
    QCOMPARE(f.FocusedIndex(), from);
    f.Key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.FocusedIndex(), to);
    QCOMPARE(f.screen->CurrentField(), to);
    if (to != from) {
        QCOMPARE(f.Field(to)->selectedText(), f.Text(to)); // the whole text is selected
    }
}

void RegistrationScreenTest::clickingFurtherDownChecksTheFieldsPassed() {
    Fixture f;
    const QString photo = QStringLiteral("seven.jpg");
    f.state.Roster.SetCell(RosterColumn::Photo, 7, photo);
    QVERIFY(f.Open());
    QVERIFY(QImage(40, 30, QImage::Format_RGB32).save(JoinPath(f.state.Settings.Pictures, photo)));
    f.Type(QStringLiteral("7"));
    f.Click(14);
    QCOMPARE(f.Text(0), QStringLiteral("007"));
    QCOMPARE(f.Text(2), QStringLiteral("七郎"));
    QCOMPARE(f.FocusedIndex(), 14);
    QCOMPARE(f.screen->CurrentField(), 14);
    QCOMPARE(f.Field(14)->selectedText(), photo);
    QVERIFY(!f.screen->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());

    // A bad row number stops the click in field 0.
    f.Field(0)->setFocus();
    f.Type(QStringLiteral("400"));
    f.Click(6);
    QCOMPARE(f.FocusedIndex(), 0);
    QCOMPARE(f.screen->CurrentField(), 0);
    QCOMPARE(f.t.dialogs.Messages(), QStringList{QStringLiteral("1から300の範囲で指定してください。")});
}

void RegistrationScreenTest::clickingFurtherUpChecksNothing() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Click(6);
    f.Type(QStringLiteral("ab"));
    f.Click(3); // above: field 6 is not checked
    QCOMPARE(f.Text(6), QStringLiteral("ab"));
    QCOMPARE(f.FocusedIndex(), 3);
    f.Click(10); // down again: 3 … 9 are checked, 6 among them
    QCOMPARE(f.Text(6), QStringLiteral("AB"));
}

void RegistrationScreenTest::fieldChecksNormaliseTheirText_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("blood type ab") << 6 << QStringLiteral("ab") << QStringLiteral("AB");
    QTest::newRow("blood type o") << 6 << QStringLiteral("o") << QStringLiteral("O");
    QTest::newRow("start 1,234") << 12 << QStringLiteral("1,234") << QStringLiteral("1234");
    QTest::newRow("start 0") << 12 << QStringLiteral("0") << QString();
    QTest::newRow("start 12.6") << 12 << QStringLiteral("12.6") << QStringLiteral("13");
    QTest::newRow("start 12.5 (halves away from zero)")
        << 12 << QStringLiteral("12.5") << QStringLiteral("13");
    QTest::newRow("start left empty") << 12 << QString() << QString();
    QTest::newRow("time 45") << 13 << QStringLiteral("45") << QStringLiteral("45");
    QTest::newRow("time 1e2") << 13 << QStringLiteral("1e2") << QStringLiteral("100");
    QTest::newRow("birth year untouched") << 3 << QStringLiteral("19x") << QStringLiteral("19x");
}

void RegistrationScreenTest::fieldChecksNormaliseTheirText() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Click(field);
    f.Type(typed);
    f.Key(Qt::Key_Tab);
    QCOMPARE(f.Text(field), after);
}

void RegistrationScreenTest::bloodTypeButtonCycles() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    const QStringList expected = {QStringLiteral("A"), QStringLiteral("O"), QStringLiteral("B"),
                                  QStringLiteral("AB"), QStringLiteral("A")};
    for (const QString& e : expected) {
        f.Press(f.Label(6));
        QCOMPARE(f.Text(6), e);
        QCOMPARE(f.FocusedIndex(), 6);
    }
    f.Field(6)->setText(QStringLiteral("a")); // lower case is not in the cycle
    f.Press(f.Label(6));
    QCOMPARE(f.Text(6), QStringLiteral("A"));
}

void RegistrationScreenTest::prefectureButtonCycles_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("focusInField");
    QTest::newRow("沖縄県 wraps") << QStringLiteral("沖縄県") << QStringLiteral("北海道") << true;
    QTest::newRow("高知県") << QStringLiteral("高知県") << QStringLiteral("愛媛県") << false;
    QTest::newRow("北海道") << QStringLiteral("北海道") << QStringLiteral("青森県") << false;
    QTest::newRow("鹿児島県") << QStringLiteral("鹿児島県") << QStringLiteral("沖縄県") << false;
    QTest::newRow("empty") << QString() << QStringLiteral("北海道") << true;
    QTest::newRow("anything else") << QStringLiteral("ハワイ") << QStringLiteral("北海道") << true;
}

void RegistrationScreenTest::prefectureButtonCycles() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, focusInField);
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Field(7)->setText(before);
    f.Press(f.Label(7));
    QCOMPARE(f.Text(7), after);
    QCOMPARE(f.FocusedIndex() == 7, focusInField);
    if (!focusInField) {
        QVERIFY(f.Label(7)->hasFocus()); // pressing it again goes on with the cycle
        QTest::keyClick(f.Label(7), Qt::Key_Space);
        QCOMPARE(PrefectureNumber(f.Text(7)),
                 after == QStringLiteral("沖縄県") ? 1 : PrefectureNumber(after) + 1);
    }
}

void RegistrationScreenTest::captionRename_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("unsaved");
    QTest::newRow("trimmed into the roster") << 9 << 7 << true << QStringLiteral("  趣味  ")
                                             << QStringLiteral("趣味") << QStringLiteral("  趣味  ") << true;
    QTest::newRow("comment caption") << 10 << 8 << true << QStringLiteral("Q&A") << QStringLiteral("Q&A")
                                     << QStringLiteral("Q&&A") << true;
    QTest::newRow("blank answer changes nothing")
        << 9 << 7 << true << QStringLiteral("   ") << QStringLiteral("好きな言葉")
        << QStringLiteral("好きな言葉") << false;
    QTest::newRow("cancel changes nothing")
        << 10 << 8 << false << QString() << QStringLiteral("一言") << QStringLiteral("一言") << false;
    QTest::newRow("a character the file cannot hold is refused")
        << 9 << 7 << true << QStringLiteral("趣味🎉") << QStringLiteral("好きな言葉")
        << QStringLiteral("好きな言葉") << false;
}

void RegistrationScreenTest::captionRename() {
    QFETCH(int, button);
    QFETCH(int, column);
    QFETCH(bool, answered);
    QFETCH(QString, answer);
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    Fixture f;
    QVERIFY(f.Open());
    f.t.dialogs.Inputs.push_back(answered ? std::optional<QString>(answer) : std::nullopt);
    f.Press(f.Label(button));
    const auto& asked = *std::find_if(f.t.dialogs.Log.begin(), f.t.dialogs.Log.end(), [](const auto& entry) {
        return entry.kind == QStringLiteral("input");
    });
    QCOMPARE(asked.text, QStringLiteral("文言変更"));
    QCOMPARE(asked.extra,
             QStringLiteral("文言を変更しますか？|") + RosterTable::DefaultCaption(RosterColumn(column)));
    QCOMPARE(f.state.Roster.Cell(RosterColumn(column), 0), caption);
    QCOMPARE(f.Label(button)->text(), shown);
    QCOMPARE(f.FocusedIndex(), button);
    // A renamed caption is saved with the roster: the roster is unsaved until then.
    QFETCH(bool, unsaved);
    QCOMPARE(f.state.RosterModified, unsaved);
    QCOMPARE(f.t.dialogs.Messages().isEmpty(), !answer.contains(QStringLiteral("🎉")));
}

void RegistrationScreenTest::typingStopsAtTheMaximumButLoadedTextIsKept() {
    Fixture f;
    f.state.Roster.SetCell(RosterColumn::BirthYear, 3, QStringLiteral("1990年"));
    QVERIFY(f.Open());
    f.Type(QStringLiteral("12345"));
    QCOMPARE(f.Text(0), QStringLiteral("1234"));
    f.Field(0)->selectAll();
    f.Type(QStringLiteral("3"));
    f.Key(Qt::Key_Return);
    QCOMPARE(f.Text(3), QStringLiteral("1990年")); // longer than the field's 4, kept whole
    f.Key(Qt::Key_Return);
    QCOMPARE(f.FocusedIndex(), 3);
    f.Field(3)->end(false);
    f.Type(QStringLiteral("x")); // no room to grow
    QCOMPARE(f.Text(3), QStringLiteral("1990年"));
    f.Key(Qt::Key_Backspace); // but it may shrink
    QCOMPARE(f.Text(3), QStringLiteral("1990"));
}

void RegistrationScreenTest::pastedTabsAndLineBreaksAreStoredAsSpaces() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Click(10);
    f.Field(10)->selectAll();
    f.Field(10)->insert(QStringLiteral("よろしく\tお願い\r\nします"));
    QCOMPARE(f.Text(10), QStringLiteral("よろしく お願い  します"));
    f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
    f.Key(Qt::Key_F12);
    QCOMPARE(f.state.Roster.Cell(RosterColumn::Comment, 1), QStringLiteral("よろしく お願い  します"));
}

void RegistrationScreenTest::charactersTheFileCannotHoldAreRefusedWhereTheyEnter_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("refused");
    QTest::newRow("emoji") << int(TextEncoding::Cp932) << QStringLiteral("楽しみ🎉です")
                           << QStringLiteral("楽しみです") << QStringLiteral("🎉");
    QTest::newRow("beyond the basic plane")
        << int(TextEncoding::Cp932) << QStringLiteral("𠮷野") << QStringLiteral("野") << QStringLiteral("𠮷");
    QTest::newRow("hangul") << int(TextEncoding::Cp932) << QStringLiteral("한a") << QStringLiteral("a")
                            << QStringLiteral("한");
    QTest::newRow("shift-jis specials stay")
        << int(TextEncoding::Cp932) << QStringLiteral("①髙～ｱ") << QStringLiteral("①髙～ｱ") << QString();
    QTest::newRow("a UTF-8 roster holds everything")
        << int(TextEncoding::Utf8) << QStringLiteral("楽しみ🎉") << QStringLiteral("楽しみ🎉") << QString();
}

void RegistrationScreenTest::charactersTheFileCannotHoldAreRefusedWhereTheyEnter() {
    QFETCH(int, encoding);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QFETCH(QString, refused);
    Fixture f;
    f.state.RosterEncoding = TextEncoding(encoding);
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Click(10);
    f.Field(10)->selectAll();
    f.Field(10)->insert(pasted);
    QCOMPARE(f.Text(10), kept);
    QTRY_COMPARE(f.t.dialogs.Messages().size(), refused.isEmpty() ? 0 : 1);
    if (!refused.isEmpty()) {
        QCOMPARE(
            f.t.dialogs.Messages().first(),
            QStringLiteral("「%1」は名簿ファイルに保存できない文字のため、入力できません。").arg(refused));
    }
    // A dropped file whose name the roster cannot hold is not taken either.
    const QString odd = f.dir.filePath(QStringLiteral("歌") + pasted + QStringLiteral(".mp3"));
    QVERIFY(writeFile(odd, "song"));
    f.Field(11)->setText(QStringLiteral("KEEP.MP3"));
    f.Drop(11, {odd});
    QCOMPARE(f.Text(11) == QStringLiteral("KEEP.MP3"), !refused.isEmpty());
    QCOMPARE(QDir(f.state.Settings.Musics).isEmpty(), !refused.isEmpty());
}

void RegistrationScreenTest::escapeAsksBeforeClosing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Esc, Yes") << int(Qt::Key_Escape) << true;
    QTest::newRow("Esc, No") << int(Qt::Key_Escape) << false;
    QTest::newRow("F1, Yes") << int(Qt::Key_F1) << true;
}

void RegistrationScreenTest::escapeAsksBeforeClosing() {
    QFETCH(int, key);
    QFETCH(bool, yes);
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Key(Qt::Key_Return);
    f.t.dialogs.YesNo.push_back(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
    f.Key(Qt::Key(key));
    QCOMPARE(f.t.dialogs.Questions(), QStringList{QStringLiteral("プログラムを中断します。")});
    QCOMPARE(f.t.dialogs.LastDefault, Dialogs::Answer::Yes);
    if (yes) {
        QTRY_VERIFY(f.screen.isNull()); // closed and deleted
    } else {
        QVERIFY(f.screen->isVisible());
        QCOMPARE(f.FocusedIndex(), 3);
    }
    QVERIFY(!f.state.RosterModified);
}

void RegistrationScreenTest::closeBoxClosesWithoutAsking() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Type(QStringLiteral("変更"));
    QVERIFY(f.screen->close());
    QVERIFY(f.t.dialogs.Log.empty());
    QTRY_VERIFY(f.screen.isNull());
    QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 1), QStringLiteral("一郎"));
}

void RegistrationScreenTest::abortClosesTheChildWindowHoldingTheScreen() {
    Fixture f;
    QMdiArea area;
    f.screen = new RegistrationScreen(f.state, f.t.services);
    QPointer<QMdiSubWindow> sub = area.addSubWindow(f.screen);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    sub->show();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    QTRY_COMPARE(f.FocusedIndex(), 0);
    f.t.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
    f.Key(Qt::Key_Escape);
    QTRY_VERIFY(sub.isNull());
    QVERIFY(f.screen.isNull());
    QVERIFY(area.subWindowList().isEmpty());
}

void RegistrationScreenTest::chooserAcceptsOnlyTheWorkingFolder_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("chosen"); // relative to the working folder; "" = cancel
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message"); // prefix, "" = none
    QTest::newRow("song in Musics") << 11 << QStringLiteral("Musics/a.Mp3") << QStringLiteral("a.Mp3")
                                    << QString();
    QTest::newRow("song in a sub-folder")
        << 11 << QStringLiteral("Musics/old/a.mp3") << QString() << QStringLiteral("音楽は");
    QTest::newRow("song in Pictures")
        << 11 << QStringLiteral("Pictures/a.mp3") << QString() << QStringLiteral("音楽は");
    QTest::newRow("song cancelled") << 11 << QString() << QStringLiteral("before.mp3") << QString();
    QTest::newRow("photo in Pictures")
        << 14 << QStringLiteral("Pictures/p.gif") << QStringLiteral("p.gif") << QString();
    QTest::newRow("photo elsewhere") << 14 << QStringLiteral("p.jpg") << QString()
                                     << QStringLiteral("写真は");
    QTest::newRow("photo cancelled") << 14 << QString() << QStringLiteral("before.mp3") << QString();
}

void RegistrationScreenTest::chooserAcceptsOnlyTheWorkingFolder() {
    QFETCH(int, button);
    QFETCH(QString, chosen);
    QFETCH(QString, field);
    QFETCH(QString, message);
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Field(button)->setText(QStringLiteral("  before.mp3 "));
    f.t.dialogs.Files.push_back(chosen.isEmpty() ? QString() : f.dir.filePath(chosen));
    f.Press(f.Label(button));
    QCOMPARE(f.Text(button).trimmed(), field); // an emptied field fills with spaces on taking the focus
    QCOMPARE(f.FocusedIndex(), button);
    const auto open = std::find_if(f.t.dialogs.Log.begin(), f.t.dialogs.Log.end(),
                                   [](const auto& a) { return a.kind == QStringLiteral("open"); });
    QVERIFY(open != f.t.dialogs.Log.end());
    QCOMPARE(open->text, QStringLiteral("開く"));
    const QString folder = button == 11 ? f.state.Settings.Musics : f.state.Settings.Pictures;
    const QString filters =
        button == 11 ? QStringLiteral("音楽ファイル(*.mp3;*.mp2;*.wma;*.wav);;mp3ファイル(*.mp3);;"
                                      "mp2ファイル(*.mp2);;wmaファイル(*.wma);;wavファイル(*.wav);;"
                                      "すべてのファイル(*.*)")
                     : QStringLiteral("画像ファイル(*.jpg;*.bmp;*.gif);;jpgファイル(*.jpg);;"
                                      "bmpファイル(*.bmp);;gifファイル(*.gif);;すべてのファイル(*.*)");
    QCOMPARE(open->extra, folder + QStringLiteral("|") + filters + QStringLiteral("|1"));
    if (message.isEmpty()) {
        QVERIFY(f.t.dialogs.Messages().isEmpty());
    } else {
        QCOMPARE(f.t.dialogs.Messages(),
                 QStringList{message + folder + QStringLiteral("\r\n内より選択してください")});
    }
}

void RegistrationScreenTest::droppedFilesAreCopiedInUpperCase() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    QDir().mkpath(f.dir.filePath(QStringLiteral("Desktop")));
    const QString song = f.dir.filePath(QStringLiteral("Desktop/Song.mp3"));
    const QString other = f.dir.filePath(QStringLiteral("Desktop/b.wav"));
    QVERIFY(writeFile(song, "ID3 song"));
    QVERIFY(writeFile(other, "RIFF b"));
    QVERIFY(writeFile(JoinPath(f.state.Settings.Musics, QStringLiteral("SONG.MP3")), "old"));
    f.Drop(11, {song});
    QCOMPARE(f.Text(11), QStringLiteral("SONG.MP3"));
    QFile copied(JoinPath(f.state.Settings.Musics, QStringLiteral("SONG.MP3")));
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("ID3 song")); // replaced
    QVERIFY(QFile::exists(song));                       // the original stays

    // Several files: every accepted one is copied, the field names the last.
    f.Drop(11, {other, song});
    QCOMPARE(f.Text(11), QStringLiteral("SONG.MP3"));
    QVERIFY(QFile::exists(JoinPath(f.state.Settings.Musics, QStringLiteral("B.WAV"))));

    const QString photo = f.dir.filePath(QStringLiteral("Desktop/Face.Jpg"));
    QVERIFY(QImage(30, 40, QImage::Format_RGB32).save(photo, "JPG"));
    f.Drop(14, {photo});
    QCOMPARE(f.Text(14), QStringLiteral("FACE.JPG"));
    QVERIFY(QFile::exists(JoinPath(f.state.Settings.Pictures, QStringLiteral("FACE.JPG"))));
    QVERIFY(f.t.dialogs.Messages().isEmpty());
}

void RegistrationScreenTest::droppedFilesOfOtherKindsOrFieldsAreIgnored() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    const QString jpeg = f.dir.filePath(QStringLiteral("p.jpeg"));
    const QString mp3 = f.dir.filePath(QStringLiteral("s.mp3"));
    QVERIFY(writeFile(jpeg, "x"));
    QVERIFY(writeFile(mp3, "x"));
    f.Drop(14, {jpeg, mp3}); // .jpeg is not a photo here, and a song is not a photo
    QCOMPARE(f.Text(14), QString());
    f.Drop(15, {mp3});
    QCOMPARE(f.Text(15), QString());
    QVERIFY(!f.Field(2)->acceptDrops()); // the name field takes no drops at all
    QVERIFY(QDir(f.state.Settings.Pictures).isEmpty());
    QVERIFY(QDir(f.state.Settings.Musics).isEmpty());
    QVERIFY(f.t.dialogs.Messages().isEmpty());
}

void RegistrationScreenTest::failedCopyKeepsTheField() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Field(11)->setText(QStringLiteral("KEEP.MP3"));
    const QString song = f.dir.filePath(QStringLiteral("x.mp3"));
    const QString good = f.dir.filePath(QStringLiteral("y.mp3"));
    QVERIFY(writeFile(good, "y"));
    f.Drop(11, {song, good}); // x.mp3 does not exist; y.mp3 still goes through
    QCOMPARE(f.t.dialogs.Messages(), QStringList{QStringLiteral("X.MP3のコピーに失敗しました\r\n") +
                                                 QString::fromLocal8Bit(std::strerror(ENOENT))});
    QCOMPARE(f.Text(11), QStringLiteral("Y.MP3"));
    f.state.Settings.Musics = f.dir.filePath(QStringLiteral("no/such/folder"));
    f.Drop(11, {good});
    QCOMPARE(f.t.dialogs.Messages().last(), QStringLiteral("Y.MP3のコピーに失敗しました\r\n") +
                                                QString::fromLocal8Bit(std::strerror(ENOENT)));
    QCOMPARE(f.Text(11), QStringLiteral("Y.MP3"));
}

void RegistrationScreenTest::droppingAFileOntoItselfKeepsIt() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    const QString song = JoinPath(f.state.Settings.Musics, QStringLiteral("SELF.MP3"));
    QVERIFY(writeFile(song, "the only copy"));
    f.Drop(11, {song});
    QFile kept(song);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("the only copy"));
    QCOMPARE(f.Text(11), QStringLiteral("SELF.MP3"));
}

void RegistrationScreenTest::photoPreviewKeepsProportions_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("twipsWide");
    QTest::addColumn<double>("twipsHigh");
    QTest::addColumn<bool>("picture");
    QTest::newRow("4:3 fills the box") << 400 << 300 << 2280.0 << 1710.0 << true;
    QTest::newRow("3:4 portrait") << 300 << 400 << 2280.0 << 3040.0 << true;
    QTest::newRow("16:9") << 320 << 180 << 3040.0 << 1710.0 << true;
    QTest::newRow("missing file") << 0 << 0 << 2280.0 << 1710.0 << false;
}

void RegistrationScreenTest::photoPreviewKeepsProportions() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, twipsWide);
    QFETCH(double, twipsHigh);
    QFETCH(bool, picture);
    Fixture f;
    f.state.Roster.SetCell(RosterColumn::Photo, 2, QStringLiteral("p.bmp"));
    f.state.Roster.SetCell(RosterColumn::Photo, 3, QStringLiteral("wide.bmp"));
    if (width > 0) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(JoinPath(f.state.Settings.Pictures, QStringLiteral("p.bmp"))));
    }
    QVERIFY(QImage(160, 90, QImage::Format_RGB32)
                .save(JoinPath(f.state.Settings.Pictures, QStringLiteral("wide.bmp"))));
    QVERIFY(f.Open());
    auto* image1 = f.screen->findChild<QLabel*>(QStringLiteral("Image1"));
    f.LoadRow(QStringLiteral("3")); // something else shown first
    QVERIFY(!image1->pixmap().isNull());
    f.LoadRow(QStringLiteral("2"));
    QCOMPARE(image1->size(), twipsToPixels(f.screen, twipsWide, twipsHigh));
    QCOMPARE(!image1->pixmap().isNull(), picture);
    // An empty photo field shows an empty box.
    f.LoadRow(QStringLiteral("4"));
    QVERIFY(image1->pixmap().isNull());
    QCOMPARE(image1->size(), twipsToPixels(f.screen, 2280, 1710));
}

void RegistrationScreenTest::auditionPlaysFromTheStartForThePlayingTime_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<int>("startSecond");
    QTest::addColumn<int>("boxSeconds"); // how long the box stayed open
    QTest::newRow("30 for 15") << QStringLiteral("30") << QStringLiteral("15") << 30 << 15;
    QTest::newRow("from the beginning") << QString() << QStringLiteral("5") << 0 << 5;
    QTest::newRow("no limit: to the song's end") << QStringLiteral("170") << QString() << 170 << 10;
    QTest::newRow("12.5 starts at 12") << QStringLiteral("12.5") << QStringLiteral("3") << 12 << 3;
}

void RegistrationScreenTest::auditionPlaysFromTheStartForThePlayingTime() {
    QFETCH(QString, start);
    QFETCH(QString, seconds);
    QFETCH(int, startSecond);
    QFETCH(int, boxSeconds);
    Fixture f;
    f.state.Roster.SetCell(RosterColumn::Song, 1, QStringLiteral("old.mp3"));
    QVERIFY(f.Open());
    const QString path = JoinPath(f.state.Settings.Musics, QStringLiteral("theme.mp3"));
    f.t.music.AddSong(path, 180);
    f.LoadRow(QStringLiteral("1"));
    // Edited, not applied: the audition uses the fields as they stand.
    f.Field(11)->setText(QStringLiteral(" theme.mp3 "));
    f.Field(12)->setText(start);
    f.Field(13)->setText(seconds);
    f.Field(2)->setFocus();
    qint64 openedFor = -1;
    bool playingWhileOpen = false;
    f.t.dialogs.Execs.push_back([&](QDialog& box) {
        box.show();
        playingWhileOpen = f.t.music.IsOpen(path);
        const qint64 began = f.t.clock.NowMs();
        while (box.isVisible() && f.t.clock.NowMs() - began < 600'000) {
            f.t.clock.Advance(1000);
        }
        openedFor = (f.t.clock.NowMs() - began) / 1000;
        return box.result();
    });
    f.Press(f.Button(QStringLiteral("cmd試聴")));
    QVERIFY(playingWhileOpen);
    QCOMPARE(openedFor, qint64(boxSeconds));
    QCOMPARE(f.t.music.Log, (QStringList{QStringLiteral("play %1 %2").arg(path).arg(startSecond),
                                         QStringLiteral("close %1").arg(path)}));
    QVERIFY(!f.t.music.IsOpen(path));
    QCOMPARE(f.FocusedIndex(), 2); // the focus stays where it was
    QCOMPARE(f.state.Roster.Cell(RosterColumn::Song, 1), QStringLiteral("old.mp3"));
}

void RegistrationScreenTest::auditionWithoutASongOnlyTells() {
    Fixture f;
    QVERIFY(f.Open());
    f.LoadRow(QStringLiteral("1"));
    f.Field(11)->setText(QStringLiteral("   "));
    f.Press(f.Button(QStringLiteral("cmd試聴")));
    QCOMPARE(f.t.dialogs.Messages(), QStringList{QStringLiteral("音楽ファイルが指定されていません")});
    QVERIFY(f.t.music.Log.isEmpty());
    QVERIFY(f.t.dialogs.Log.size() == 1);
}

void RegistrationScreenTest::inactiveWindowStillFillsAndSelectsTheNextField() {
    Fixture f;
    QVERIFY(f.Open());
    QTRY_COMPARE(f.FocusedIndex(), 0);
    // Another window holds the activation (a box closed and nothing gave it back), while the
    // keys still reach the screen's field.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!f.screen->isActiveWindow());
    f.Field(0)->setText(QStringLiteral("3"));
    QTest::keyClick(f.Field(0), Qt::Key_Return);
    QCOMPARE(f.Text(0), QStringLiteral("003"));
    QCOMPARE(f.Field(2)->selectedText(), QStringLiteral("三郎"));
    QVERIFY(!f.Field(0)->hasSelectedText());
    QTest::keyClicks(f.Field(2), QStringLiteral("X"));
    QCOMPARE(f.Text(2), QStringLiteral("X")); // typing replaces the name, not appends to it
    QTest::keyClick(f.Field(2), Qt::Key_Return);
    QCOMPARE(f.Field(3)->selectedText(), QStringLiteral("    "));
    QVERIFY(!f.Field(2)->hasSelectedText());
    QCOMPARE(f.screen->CurrentField(), 3);
}

QTEST_MAIN(RegistrationScreenTest)
#include "registrationscreen_test.moc"
