#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "support/testservices.h"
#include "ui/app/childscreen.h"
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
#include <functional>
#include <utility>

// The rules of the record cycle are tested in core; these tests cover what only the widgets show:
// focus and selection, keys, clicks, buttons, drops, the preview, the audition box, closing, and
// a screen destroyed under one of its own boxes.

namespace {

// Scripted dialogs that may run a hook inside the next box before it is answered: a modal box
// runs an event loop of its own, where the screen that opened it can be destroyed.
class HookedDialogs : public ScriptedDialogs {
public:
    std::function<void()> During;

    void ShowMessage(const QString& text) override {
        ScriptedDialogs::ShowMessage(text);
        Run();
    }
    Answer AskYesNo(QWidget* parent, const QString& text, Answer defaultButton) override {
        return Run(ScriptedDialogs::AskYesNo(parent, text, defaultButton));
    }
    QString OpenFileName(QWidget* parent, const QString& title, const QString& start, const QString& filters,
                         int filterIndex) override {
        return Run(ScriptedDialogs::OpenFileName(parent, title, start, filters, filterIndex));
    }
    std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& defaultText) override {
        return Run(ScriptedDialogs::InputText(parent, title, prompt, defaultText));
    }
    int Exec(QDialog& dialog) override { return Run(ScriptedDialogs::Exec(dialog)); }

private:
    template <typename T> T Run(T answer) {
        Run();
        return answer;
    }
    void Run() {
        if (auto hook = std::exchange(During, nullptr)) {
            hook();
        }
    }
};

// One open registration screen on a roster of its own (rows 1 to 7 named), with scripted dialogs.
struct Fixture {
    TestServices t;
    HookedDialogs dialogs;
    Services services{dialogs, t.random, t.clock, t.music};
    ProgramState state = StateWithNames({u"一郎", u"二郎", u"三郎", u"四郎", u"五郎", u"六郎", u"七郎"});
    QTemporaryDir dir;
    QPointer<RegistrationScreen> screen;

    Fixture() {
        state.Settings.Musics = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Musics")));
        state.Settings.Pictures = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Pictures")));
        QDir().mkpath(state.Settings.Musics);
        QDir().mkpath(state.Settings.Pictures);
    }
    ~Fixture() { delete screen.data(); }

    bool Open() {
        screen = new RegistrationScreen(state, services);
        screen->show();
        return QTest::qWaitForWindowActive(screen);
    }
    QLineEdit* Field(int i) const {
        return screen->findChild<QLineEdit*>(QStringLiteral("txt入力項目_%1").arg(i));
    }
    QString Text(int i) const { return Field(i)->text(); }
    QPushButton* Button(const QString& name) const { return screen->findChild<QPushButton*>(name); }
    QPushButton* Label(int i) const { return Button(QStringLiteral("cmdラベル_%1").arg(i)); }
    QLabel* Image1() const { return screen->findChild<QLabel*>(QStringLiteral("Image1")); }
    int FocusedIndex() const {
        for (int i = 0; i < RegistrationScreen::kFieldCount; ++i) {
            if (Field(i)->hasFocus()) {
                return i;
            }
        }
        return -1;
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Types into the focused field, replacing its selection (keyClicks takes only ASCII).
    void Type(const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &press);
        }
    }
    // Opens a row by its number from field 0 and lands in the name field.
    void LoadRow(const QString& number) {
        Field(0)->setFocus();
        QTest::keyClicks(Field(0), number);
        Key(Qt::Key_Return);
    }
    void Drop(int field, const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Field(field), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Field(field), &drop);
    }
};

bool Write(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4;
}

} // namespace

class RegistrationScreenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void opensEmptyWithTheFocusOnTheRowNumber() {
        Fixture f;
        f.state.Roster.SetCell(RosterColumn::FavouriteWords, 0, QStringLiteral("趣味"));
        QVERIFY(f.Open());
        QCOMPARE(f.screen->objectName(), QStringLiteral("Frm参加者登録"));
        QCOMPARE(f.FocusedIndex(), 0);
        QCOMPARE(f.Field(0)->selectedText(),
                 QStringLiteral("    ")); // filled with spaces on taking the focus
        for (int i = 1; i < RegistrationScreen::kFieldCount; ++i) {
            QVERIFY2(f.Text(i).isEmpty(), qPrintable(QString::number(i)));
        }
        QVERIFY(f.Field(1)->isHidden());
        QCOMPARE(f.Label(9)->text(), QStringLiteral("趣味"));
        QCOMPARE(f.Label(10)->text(), QStringLiteral("一言"));
        f.Press(f.Label(2)); // straight into the name field, where F5 brings back the design text
        f.Key(Qt::Key_F5);
        QCOMPARE(f.Text(2), QStringLiteral("12345678901234567890"));
        QCOMPARE(f.screen->CurrentField(), 2);
    }

    void keysMoveCheckAndSelect_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("to");
        QTest::newRow("Enter in the row number loads it") << 0 << int(Qt::Key_Return) << 0 << 2;
        QTest::newRow("Down") << 3 << int(Qt::Key_Down) << 0 << 4;
        QTest::newRow("Tab") << 3 << int(Qt::Key_Tab) << 0 << 4;
        QTest::newRow("Enter") << 8 << int(Qt::Key_Enter) << 0 << 9;
        QTest::newRow("Up") << 4 << int(Qt::Key_Up) << 0 << 3;
        QTest::newRow("Shift+Tab") << 4 << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 3;
        QTest::newRow("Shift+Ctrl+Tab")
            << 4 << int(Qt::Key_Tab) << int(Qt::ShiftModifier | Qt::ControlModifier) << 3;
        QTest::newRow("Up skips the hidden spare") << 2 << int(Qt::Key_Up) << 0 << 0;
        QTest::newRow("F2 does nothing") << 5 << int(Qt::Key_F2) << 0 << 5;
    }

    void keysMoveCheckAndSelect() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, to);
        Fixture f;
        QVERIFY(f.Open());
        f.LoadRow(QStringLiteral("5"));
        QTest::mouseClick(f.Field(from), Qt::LeftButton);
        QCOMPARE(f.FocusedIndex(), from);
        f.Key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.FocusedIndex(), to);
        QCOMPARE(f.screen->CurrentField(), to);
        QCOMPARE(f.Field(to)->selectedText(), f.Text(to)); // the whole text
        QCOMPARE(f.Text(2), QStringLiteral("五郎"));
    }

    void applyAsksAtTheEndOfTheRecordOrOnF12_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("f12");
        QTest::newRow("Enter in the last field, Yes") << true << false;
        QTest::newRow("Enter in the last field, No") << false << false;
        QTest::newRow("F12, Yes") << true << true;
    }

    void applyAsksAtTheEndOfTheRecordOrOnF12() {
        QFETCH(bool, yes);
        QFETCH(bool, f12);
        Fixture f;
        QVERIFY(f.Open());
        f.LoadRow(QStringLiteral("2"));
        f.Type(QStringLiteral("次郎"));
        for (int i = 2; i < 15 && !f12; ++i) {
            f.Key(Qt::Key_Return);
        }
        const int before = f.FocusedIndex();
        f.dialogs.YesNo.push_back(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        f.Key(f12 ? Qt::Key_F12 : Qt::Key_Return);
        QCOMPARE(f.dialogs.Questions(), QStringList{QStringLiteral("指定データを適用しますか？")});
        QCOMPARE(f.dialogs.LastDefault, Dialogs::Answer::Yes);
        QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 2),
                 yes ? QStringLiteral("次郎") : QStringLiteral("二郎"));
        QCOMPARE(f.FocusedIndex(), yes ? 0 : before);
        QCOMPARE(f.Text(0), yes ? QStringLiteral("    ") : QStringLiteral("002"));
        QCOMPARE(f.Text(2).isEmpty(), yes);
    }

    void clickingFurtherDownChecksTheFieldsPassed() {
        Fixture f;
        f.state.Roster.SetCell(RosterColumn::Photo, 7, QStringLiteral("seven.jpg"));
        QVERIFY(f.Open());
        QVERIFY(QImage(40, 30, QImage::Format_RGB32)
                    .save(JoinPath(f.state.Settings.Pictures, QStringLiteral("seven.jpg"))));
        QTest::keyClicks(f.Field(0), QStringLiteral("7"));
        QTest::mouseClick(f.Field(14), Qt::LeftButton);
        QCOMPARE(f.Text(0), QStringLiteral("007"));
        QCOMPARE(f.Text(2), QStringLiteral("七郎"));
        QCOMPARE(f.FocusedIndex(), 14);
        QCOMPARE(f.Field(14)->selectedText(), QStringLiteral("seven.jpg"));
        QVERIFY(!f.Image1()->pixmap().isNull());
        // A bad row number stops the click in field 0.
        f.Field(0)->setFocus();
        QTest::keyClicks(f.Field(0), QStringLiteral("400"));
        QTest::mouseClick(f.Field(6), Qt::LeftButton);
        QCOMPARE(f.FocusedIndex(), 0);
        QCOMPARE(f.screen->CurrentField(), 0);
        QCOMPARE(f.dialogs.Messages(), QStringList{QStringLiteral("1から300の範囲で指定してください。")});
    }

    void inactiveWindowStillFillsAndSelectsTheNextField() {
        Fixture f;
        QVERIFY(f.Open());
        QTRY_COMPARE(f.FocusedIndex(), 0);
        // Another window holds the activation (a box closed and nothing gave it back), while the
        // keys still reach the screen's field.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        f.Field(0)->setText(QStringLiteral("3"));
        QTest::keyClick(f.Field(0), Qt::Key_Return);
        QCOMPARE(f.Field(2)->selectedText(), QStringLiteral("三郎"));
        QVERIFY(!f.Field(0)->hasSelectedText());
        QTest::keyClicks(f.Field(2), QStringLiteral("X"));
        QCOMPARE(f.Text(2), QStringLiteral("X")); // typing replaces the name, not appends to it
        QTest::keyClick(f.Field(2), Qt::Key_Return);
        QCOMPARE(f.Field(3)->selectedText(), QStringLiteral("    "));
        QCOMPARE(f.screen->CurrentField(), 3);
    }

    void buttonsFillTheirFieldsAndGiveTheFocusBack() {
        Fixture f;
        QVERIFY(f.Open());
        f.LoadRow(QStringLiteral("5"));
        f.Press(f.Button(QStringLiteral("Cmdデータ参照_1")));
        QCOMPARE(f.Text(0), QStringLiteral("006"));
        QCOMPARE(f.Text(2), QStringLiteral("六郎"));
        QCOMPARE(f.FocusedIndex(), 2); // the field being edited keeps the focus
        f.Press(f.Button(QStringLiteral("Cmdデータ参照_0")));
        f.Press(f.Button(QStringLiteral("Cmdデータ参照_0")));
        QCOMPARE(f.Text(0), QStringLiteral("004"));
        f.Press(f.Label(6));
        QCOMPARE(f.Text(6), QStringLiteral("A"));
        QCOMPARE(f.FocusedIndex(), 6);
        f.Field(7)->setText(QStringLiteral("高知県"));
        f.Press(f.Label(7));
        QCOMPARE(f.Text(7), QStringLiteral("愛媛県"));
        QVERIFY(f.Label(7)->hasFocus()); // pressing it again goes on with the cycle
        QTest::keyClick(f.Label(7), Qt::Key_Space);
        QCOMPARE(f.Text(7), QStringLiteral("香川県"));
        f.Field(7)->setText(QStringLiteral("沖縄県"));
        f.Press(f.Label(7));
        QCOMPARE(f.FocusedIndex(), 7); // the cycle started over
    }

    void captionButtonsShowTheAnswerAsEntered_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("spaces kept on the button")
            << 9 << QStringLiteral("  趣味  ") << QStringLiteral("  趣味  ") << QString();
        QTest::newRow("& is no accelerator")
            << 10 << QStringLiteral("Q&A") << QStringLiteral("Q&&A") << QString();
        QTest::newRow("refused") << 9 << QStringLiteral("趣味🎉") << QStringLiteral("好きな言葉")
                                 << QStringLiteral(
                                        "「🎉」は名簿ファイルに保存できない文字のため、入力できません。");
    }

    void captionButtonsShowTheAnswerAsEntered() {
        QFETCH(int, button);
        QFETCH(QString, answer);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        Fixture f;
        QVERIFY(f.Open());
        f.dialogs.Inputs.push_back(answer);
        f.Press(f.Label(button));
        QCOMPARE(f.dialogs.Log.front().text, QStringLiteral("文言変更"));
        QCOMPARE(f.dialogs.Log.front().extra,
                 QStringLiteral("文言を変更しますか？|") +
                     (button == 9 ? QStringLiteral("好きな言葉") : QStringLiteral("一言")));
        QCOMPARE(f.Label(button)->text(), shown);
        QCOMPARE(f.FocusedIndex(), button);
        QCOMPARE(f.dialogs.Messages(), message.isEmpty() ? QStringList{} : QStringList{message});
    }

    void typedTextIsLimitedButLoadedTextIsKept() {
        Fixture f;
        f.state.Roster.SetCell(RosterColumn::BirthYear, 3, QStringLiteral("1990年"));
        QVERIFY(f.Open());
        QTest::keyClicks(f.Field(0), QStringLiteral("12345"));
        QCOMPARE(f.Text(0), QStringLiteral("1234"));
        f.Field(0)->selectAll();
        QTest::keyClicks(f.Field(0), QStringLiteral("3"));
        f.Key(Qt::Key_Return);
        f.Key(Qt::Key_Return);
        QCOMPARE(f.Text(3), QStringLiteral("1990年")); // longer than the field's 4, kept whole
        f.Field(3)->end(false);
        QTest::keyClicks(f.Field(3), QStringLiteral("x")); // no room to grow
        QCOMPARE(f.Text(3), QStringLiteral("1990年"));
        f.Key(Qt::Key_Backspace); // but it may shrink
        QCOMPARE(f.Text(3), QStringLiteral("1990"));
        // What the file cannot hold is taken out where it enters, and the user is told once.
        f.Field(10)->insert(QStringLiteral("楽し\tみ🎉で🎉す"));
        QCOMPARE(f.Text(10), QStringLiteral("楽し みです"));
        QTRY_COMPARE(
            f.dialogs.Messages(),
            QStringList{QStringLiteral("「🎉」は名簿ファイルに保存できない文字のため、入力できません。")});
    }

    void closingAsksOnlyOnEscOrF1_data() {
        QTest::addColumn<int>("key"); // 0: the close box
        QTest::addColumn<bool>("yes");
        QTest::newRow("Esc, No") << int(Qt::Key_Escape) << false;
        QTest::newRow("F1, Yes") << int(Qt::Key_F1) << true;
        QTest::newRow("close box") << 0 << true;
    }

    // In a child window, as the main window holds it.
    void closingAsksOnlyOnEscOrF1() {
        QFETCH(int, key);
        QFETCH(bool, yes);
        Fixture f;
        QMdiArea area;
        f.screen = new RegistrationScreen(f.state, f.services);
        QPointer<QMdiSubWindow> sub = area.addSubWindow(f.screen);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        area.show();
        sub->show();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        f.LoadRow(QStringLiteral("1"));
        f.Type(QStringLiteral("変更"));
        f.dialogs.YesNo.push_back(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        if (key) {
            f.Key(Qt::Key(key));
        } else {
            QVERIFY(sub->close());
        }
        QCOMPARE(f.dialogs.Questions(),
                 key ? QStringList{QStringLiteral("プログラムを中断します。")} : QStringList{});
        QCOMPARE(f.dialogs.LastDefault, key ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        QTRY_COMPARE(sub.isNull(), yes);
        QCOMPARE(f.screen.isNull(), yes);
        QVERIFY(yes || f.FocusedIndex() == 2); // No: the focus stays where it was
        QCOMPARE(f.state.Roster.Cell(RosterColumn::Name, 1), QStringLiteral("一郎")); // never saves
    }

    void choosersAndDropsFillTheField() {
        Fixture f;
        QVERIFY(f.Open());
        f.LoadRow(QStringLiteral("1"));
        f.dialogs.Files.push_back(f.dir.filePath(QStringLiteral("Musics/a.Mp3")));
        f.Press(f.Label(11));
        QCOMPARE(f.Text(11), QStringLiteral("a.Mp3"));
        QCOMPARE(f.FocusedIndex(), 11);
        QCOMPARE(f.dialogs.Log.back().text, QStringLiteral("開く"));
        QVERIFY(f.dialogs.Log.back().extra.startsWith(f.state.Settings.Musics +
                                                      QStringLiteral("|音楽ファイル(")));
        QVERIFY(f.dialogs.Log.back().extra.endsWith(QStringLiteral("|1")));
        f.dialogs.Files.push_back(f.dir.filePath(QStringLiteral("p.jpg")));
        f.Press(f.Label(14));
        QCOMPARE(f.dialogs.Messages(), QStringList{QStringLiteral("写真は") + f.state.Settings.Pictures +
                                                   QStringLiteral("\r\n内より選択してください")});
        QCOMPARE(f.Text(14).trimmed(), QString()); // emptied, then filled with spaces on taking the focus

        const QString photo = f.dir.filePath(QStringLiteral("Face.Jpg"));
        QVERIFY(QImage(30, 40, QImage::Format_RGB32).save(photo, "JPG"));
        f.Drop(14, {photo});
        QCOMPARE(f.Text(14), QStringLiteral("FACE.JPG"));
        QVERIFY(QFile::exists(JoinPath(f.state.Settings.Pictures, QStringLiteral("FACE.JPG"))));
        f.Drop(11, {f.dir.filePath(QStringLiteral("gone.mp3"))});
        QCOMPARE(f.dialogs.Messages().size(), 2); // the failed copy is told
        QCOMPARE(f.Text(11), QStringLiteral("a.Mp3"));
        QVERIFY(!f.Field(2)->acceptDrops()); // the name field takes no drops at all
    }

    void photoPreviewKeepsProportions() {
        Fixture f;
        const struct {
            int width, height;
            double twipsWide, twipsHigh;
        } photos[] = {{160, 90, 3040, 1710}, {300, 400, 2280, 3040}, {0, 0, 2280, 1710}, {-1, 0, 2280, 1710}};
        for (int row = 1; row <= 4; ++row) {
            const QString name = photos[row - 1].width < 0 ? QString() : QStringLiteral("p%1.bmp").arg(row);
            f.state.Roster.SetCell(RosterColumn::Photo, row, name); // row 3's file is missing, row 4 has none
            if (photos[row - 1].width > 0) {
                QVERIFY(QImage(photos[row - 1].width, photos[row - 1].height, QImage::Format_RGB32)
                            .save(JoinPath(f.state.Settings.Pictures, name)));
            }
        }
        QVERIFY(f.Open());
        for (int row = 1; row <= 4; ++row) {
            f.LoadRow(QString::number(row));
            const auto& p = photos[row - 1];
            QCOMPARE(f.Image1()->size(),
                     QSize(TwipsToPixels(f.screen, p.twipsWide), TwipsToPixels(f.screen, p.twipsHigh)));
            QCOMPARE(f.Image1()->pixmap().isNull(), p.width <= 0);
        }
    }

    void auditionPlaysWhileTheBoxIsOpen() {
        Fixture f;
        QVERIFY(f.Open());
        const QString path = JoinPath(f.state.Settings.Musics, QStringLiteral("theme.mp3"));
        f.t.music.AddSong(path, 180);
        f.LoadRow(QStringLiteral("1"));
        f.Field(11)->setText(QStringLiteral("theme.mp3")); // edited, not applied
        f.Field(12)->setText(QStringLiteral("30"));
        f.Field(13)->setText(QStringLiteral("15"));
        qint64 openedFor = -1;
        bool playingWhileOpen = false;
        f.dialogs.Execs.push_back([&](QDialog& box) {
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
        QCOMPARE(openedFor, qint64(15));
        QCOMPARE(f.t.music.Log,
                 (QStringList{QStringLiteral("play %1 30").arg(path), QStringLiteral("close %1").arg(path)}));
        QCOMPARE(f.FocusedIndex(), 2); // the focus stays where it was

        f.Field(11)->setText(QStringLiteral("   "));
        f.Press(f.Button(QStringLiteral("cmd試聴")));
        QCOMPARE(f.dialogs.Messages(), QStringList{QStringLiteral("音楽ファイルが指定されていません")});
        QCOMPARE(f.t.music.Log.size(), 2);
    }

    void screenDestroyedUnderABox_data() {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<QString>("message");
        QTest::newRow("no free row for the automatic number")
            << 0 << QStringLiteral("これ以上名簿に登録出来ません");
        QTest::newRow("bad row number found by a click further down")
            << 1 << QStringLiteral("1から300の範囲で指定してください。");
        QTest::newRow("apply refused for its row number")
            << 2 << QStringLiteral("行番号の範囲は 1から 300を指定してください");
        QTest::newRow("song chosen outside the folder") << 3 << QString();
        QTest::newRow("caption rename") << 4 << QString();
        QTest::newRow("several dropped files fail to copy")
            << 5
            << QStringLiteral("A.MP3のコピーに失敗しました\r\n") +
                   QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("audition") << 6 << QString();
        QTest::newRow("apply question") << 7 << QString();
    }

    // The screen must neither touch itself after the box nor leave anything behind: no song left
    // playing, no hourglass pointer, no further boxes, no change the vanished screen would have made.
    void screenDestroyedUnderABox() {
        QFETCH(int, scenario);
        QFETCH(QString, message);
        Fixture f;
        for (int row = 1; row <= RosterTable::kCapacity; ++row) {
            f.state.Roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
        }
        const RosterTable before = f.state.Roster;
        const QString song = JoinPath(f.state.Settings.Musics, QStringLiteral("theme.mp3"));
        f.t.music.AddSong(song, 180);
        QVERIFY(f.Open());
        QTRY_VERIFY(f.Field(0)->hasFocus());
        f.dialogs.During = [&f] { delete f.screen.data(); };
        switch (scenario) {
        case 0:
            QTest::keyPress(f.Field(0), Qt::Key_Return); // only the press: no screen to take a release
            break;
        case 1:
            QTest::keyClicks(f.Field(0), QStringLiteral("301"));
            QTest::mousePress(f.Field(14), Qt::LeftButton);
            break;
        case 2: // the question passes; the range message that follows is where the screen goes
            f.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
            f.dialogs.During = [&f] { f.dialogs.During = [&f] { delete f.screen.data(); }; };
            f.Field(0)->setText(QStringLiteral("999"));
            QTest::keyPress(f.Field(0), Qt::Key_F12);
            break;
        case 3:
            f.dialogs.Files.push_back(f.dir.filePath(QStringLiteral("elsewhere/a.mp3")));
            f.Label(11)->click();
            break;
        case 4:
            f.dialogs.Inputs.push_back(QStringLiteral("座右の銘"));
            f.Label(9)->click();
            break;
        case 5: // the Musics folder is gone, so every copy fails
            QVERIFY(QDir(f.state.Settings.Musics).removeRecursively());
            QVERIFY(Write(f.dir.filePath(QStringLiteral("a.mp3"))) &&
                    Write(f.dir.filePath(QStringLiteral("b.mp3"))));
            f.Drop(11, {f.dir.filePath(QStringLiteral("a.mp3")), f.dir.filePath(QStringLiteral("b.mp3"))});
            break;
        case 7:
            f.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
            f.Field(0)->setText(QStringLiteral("5"));
            QTest::keyPress(f.Field(0), Qt::Key_F12);
            break;
        default:
            f.Field(11)->setText(QStringLiteral("theme.mp3"));
            f.Button(QStringLiteral("cmd試聴"))->click();
            QCOMPARE(f.t.music.Log, (QStringList{QStringLiteral("play %1 0").arg(song),
                                                 QStringLiteral("close %1").arg(song)}));
        }
        QVERIFY(f.screen.isNull());
        QCOMPARE(f.dialogs.Messages(), message.isEmpty() ? QStringList{} : QStringList{message});
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.t.music.IsOpen(song));
        QCOMPARE(f.state.RosterModified, scenario == 2); // a refused apply marks the roster all the same
        for (int row = 0; row <= RosterTable::kCapacity; ++row) {
            for (int c = 0; c < RosterTable::kColumns; ++c) {
                QCOMPARE(f.state.Roster.Cell(RosterColumn(c), row), before.Cell(RosterColumn(c), row));
            }
        }
    }
};

QTEST_MAIN(RegistrationScreenTest)
#include "registrationscreen_test.moc"
