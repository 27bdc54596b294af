#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "support/scriptstep.h"
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
// focus and selection, keys and clicks through the window, buttons, drops, the preview, the
// audition box, closing, and a screen destroyed under one of its own boxes.

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

// One open registration screen on a roster of its own (rows 1 to 7 named), with scripted dialogs;
// keys and clicks go to the top-level window, as the platform delivers them.
struct Fixture {
    TestServices t;
    HookedDialogs dialogs;
    Services services{dialogs, t.random, t.clock, t.music};
    ProgramState state = StateWithNames({u"一郎", u"二郎", u"三郎", u"四郎", u"五郎", u"六郎", u"七郎"});
    QTemporaryDir dir;
    QPointer<RegistrationScreen> screen;
    bool opened = false;
    QWidget other;
    QMdiArea area;
    QPointer<QMdiSubWindow> sub;
    RosterTable before;
    QString auditioned;

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
    // The field that has the focus in the screen's window (whether or not a box still holds the
    // activation: offscreen, nothing gives it back).
    int FocusedIndex() const {
        for (int i = 0; i < RegistrationScreen::kFieldCount; ++i) {
            if (Field(i) == screen->window()->focusWidget()) {
                return i;
            }
        }
        return -1;
    }
    QWindow* Window() const { return screen->window()->windowHandle(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(Window(), key, modifiers);
    }
    void Keys(const char* keys) const {
        for (; *keys; ++keys) {
            QTest::keyClick(Window(), *keys);
        }
    }
    void Click(QWidget* widget) const {
        QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier,
                          widget->mapTo(widget->window(), widget->rect().center()));
    }
    // Types into the focused field, replacing its selection (text beyond ASCII has no key).
    void Type(const QString& text) const {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &press);
        }
    }
    // Opens a row by its number from field 0 and lands in the name field.
    void LoadRow(const char* number) const {
        Field(0)->setFocus();
        Keys(number);
        Key(Qt::Key_Return);
    }
    // One step of a script: what it gives back (see RunScripts).
    QString Step(const ScriptStep& step) {
        const QString &name = step.Name, &arg = step.Arg, &value = step.Value;
        const int i = step.Index();
        const bool setUp =
            name == u"cell" || name == u"image" || name == u"full" || name == u"song" || name == u"mdi";
        if (!opened && !setUp && !(opened = Open())) {
            return QStringLiteral("the screen did not open");
        }
        QString got;
        if (name == u"cell") {
            state.Roster.SetCell(RosterColumn(step.Column()), step.Row(), value);
        } else if (name == u"mdi") { // opened in a child window, as the main window holds it
            screen = new RegistrationScreen(state, services);
            sub = area.addSubWindow(screen);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            area.show();
            sub->show();
            got = (opened = QTest::qWaitForWindowActive(&area)) ? QString() : QStringLiteral("not active");
        } else if (name == u"closebox") {
            got = sub->close() ? QString() : QStringLiteral("refused");
        } else if (name == u"full") { // every row named
            for (int r = 1; r <= RosterTable::kCapacity; ++r) {
                state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
            }
            before = state.Roster;
        } else if (name == u"song") { // a song of so many seconds in the Musics folder
            t.music.AddSong(JoinPath(state.Settings.Musics, arg), value.toInt());
        } else if (name == u"image") { // a picture of WxH pixels
            const QSize size(value.section(u'x', 0, 0).toInt(), value.section(u'x', 1).toInt());
            QImage(size, QImage::Format_RGB32)
                .save(dir.filePath(arg), QFileInfo(arg).suffix().toUpper().toLatin1());
        } else if (name == u"write") {
            QFile file(dir.filePath(arg));
            got = file.open(QIODevice::WriteOnly) && file.write(value.toUtf8()) >= 0 ? QString() : arg;
        } else if (name == u"remove") {
            QDir(dir.filePath(arg)).removeRecursively();
        } else if (name == u"destroy" || name == u"destroylater") { // under the next box, or the one after
            const auto destroy = [this] { delete screen.data(); };
            dialogs.During = name == u"destroy" ? std::function<void()>(destroy)
                                                : [this, destroy] { dialogs.During = destroy; };
        } else if (name == u"keypress") { // only the press: a screen gone under its box takes no release
            QTest::keyPress(Field(i), QKeySequence::fromString(value)[0].key());
        } else if (name == u"mousepress") {
            QTest::mousePress(Field(i), Qt::LeftButton);
        } else if (name == u"clicked") { // the button's own click
            Button(arg)->click();
        } else if (name == u"fieldkeys") { // straight to the field, whichever window is active
            QTest::keyClicks(Field(i), value);
        } else if (name == u"fieldkey") {
            QTest::keyClick(Field(i), QKeySequence::fromString(value)[0].key());
        } else if (name == u"elsewhere") { // another window takes the activation
            other.show();
            other.activateWindow();
            got = QTest::qWaitForWindowActive(&other) ? QString() : QStringLiteral("not active");
        } else if (name == u"drop") {
            QStringList paths = value.split(u',');
            for (QString& path : paths) {
                path = dir.filePath(path);
            }
            Drop(i, paths);
        } else if (name == u"file") {
            dialogs.Files.push_back(dir.filePath(value));
        } else if (name == u"listen") { // the next box is the audition's: let it run out on the clock
            dialogs.Execs.push_back([this](QDialog& box) {
                box.show();
                const qint64 began = t.clock.NowMs();
                auditioned = t.music.Log.join(u'/').remove(state.Settings.Musics + u'/');
                while (box.isVisible() && t.clock.NowMs() - began < 600'000) {
                    t.clock.Advance(1000);
                }
                auditioned += QStringLiteral(" for %1 s").arg((t.clock.NowMs() - began) / 1000);
                return box.result();
            });
        } else if (name == u"listened?") { // what played while the box was up, and how long it was up
            got = auditioned;
        } else if (name == u"gone?") { // a child window goes on the next turn of the event loop
            static_cast<void>(
                QTest::qWaitFor([&] { return QString::number(int(screen.isNull())) == value; }, 1000));
            got = QString::number(int(screen.isNull()));
        } else if (name == u"cursor?") {
            got = QString::number(int(QApplication::overrideCursor() != nullptr));
        } else if (name == u"music?") { // what was played and closed, relative to the Musics folder
            got = t.music.Log.join(u'/').remove(state.Settings.Musics + u'/');
        } else if (name == u"unchanged?") { // the roster's cells as they were when it was filled
            for (int r = 0; r <= RosterTable::kCapacity; ++r) {
                for (int c = 0; c < RosterTable::kColumns; ++c) {
                    got = state.Roster.Cell(RosterColumn(c), r) == before.Cell(RosterColumn(c), r)
                              ? got
                              : QString::number(r);
                }
            }
            got = got.isEmpty() ? QStringLiteral("1") : got;
        } else if (name == u"exists?") {
            got = QString::number(int(QFile::exists(dir.filePath(arg))));
        } else if (name == u"drops?") {
            got = QString::number(int(Field(i)->acceptDrops()));
        } else if (name == u"modified?") {
            got = QString::number(int(state.RosterModified));
        } else if (name == u"row") {
            LoadRow(arg.toLatin1().constData());
        } else if (name == u"click") {
            Click(Field(i));
        } else if (name == u"press") {
            Click(Button(arg));
        } else if (name == u"key") { // a key with its modifiers, as often as the value says
            const QKeyCombination combination = QKeySequence::fromString(arg)[0];
            for (int n = 0; n < std::max(1, value.toInt()); ++n) {
                Key(combination.key(), combination.keyboardModifiers());
            }
        } else if (name == u"keys") {
            Keys(value.toLatin1().constData());
        } else if (name == u"type") {
            Type(value);
        } else if (name == u"insert") {
            Field(i)->insert(value);
        } else if (name == u"settext") {
            Field(i)->setText(value);
        } else if (name == u"focus") {
            Field(i)->setFocus();
        } else if (name == u"yes" || name == u"no") {
            dialogs.YesNo.push_back(name == u"yes" ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        } else if (name == u"input") {
            dialogs.Inputs.push_back(value);
        } else if (name == u"focus?") {
            got = QString::number(FocusedIndex());
        } else if (name == u"current?") {
            got = QString::number(screen->CurrentField());
        } else if (name == u"text?") {
            got = Text(i);
        } else if (name == u"selected?") { // the field's selected text
            got = Field(i)->selectedText();
        } else if (name == u"whole?") { // the focused field is selected whole
            got = QString::number(
                int(FocusedIndex() >= 0 && Field(FocusedIndex())->selectedText() == Text(FocusedIndex())));
        } else if (name == u"texts?") {
            QStringList texts;
            for (int n = 0; n < RegistrationScreen::kFieldCount; ++n) {
                texts << Text(n);
            }
            got = texts.join(u'|');
        } else if (name == u"hidden?") {
            got = QString::number(int(Field(i)->isHidden()));
        } else if (name == u"label?") {
            got = Label(i)->text();
        } else if (name == u"questions?") {
            got = dialogs.Questions().join(u'/');
        } else if (name == u"default?") {
            got = QString::fromLatin1(dialogs.LastDefault == Dialogs::Answer::Yes ? "Yes" : "No");
        } else if (name == u"messages?") { // some are told once the typing is done
            static_cast<void>(QTest::qWaitFor([&] { return dialogs.Messages().join(u'/') == value; }, 1000));
            got = dialogs.Messages().join(u'/').remove(dir.path() + u'/');
        } else if (name == u"asked?") {
            got = dialogs.Log.empty() ? QString() : dialogs.Log.back().text + u'|' + dialogs.Log.back().extra;
            got.remove(dir.path() + u'/');
        } else if (name == u"cell?") {
            got = state.Roster.Cell(RosterColumn(step.Column()), step.Row());
        } else if (name == u"photo?") { // none, or the preview's size in twips when it has that size
            const auto* image = screen->findChild<QLabel*>(QStringLiteral("Image1"));
            const QSize twips(value.section(u'x', 0, 0).toInt(), value.section(u'x', 1).toInt());
            const QSize pixels(TwipsToPixels(screen, twips.width()), TwipsToPixels(screen, twips.height()));
            got = image->pixmap().isNull() ? QStringLiteral("none")
                  : image->size() == pixels
                      ? value
                      : QStringLiteral("%1x%2 pixels").arg(image->width()).arg(image->height());
        } else {
            got = QStringLiteral("<no such step>");
        }
        return got;
    }
    void Drop(int field, const QStringList& paths) const {
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

} // namespace

class RegistrationScreenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // Scripts of keys, clicks and answers through the window, from tests/data/registration.
    void scriptsFromData() {
        const int cases = RunScripts<Fixture>(QStringLiteral("registration"), [](const std::string& failed) {
            QTest::qFail(failed.c_str(), __FILE__, __LINE__);
        });
        QVERIFY(cases >= 20);
    }
};

QTEST_MAIN(RegistrationScreenTest)
#include "registrationscreen_test.moc"
