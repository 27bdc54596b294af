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
        const auto n = [](int number) { return QString::number(number); };
        const auto music = [&] { return t.music.Log.join(u'/').remove(state.Settings.Musics + u'/'); };
        const auto key = [&](int k) { return QKeySequence::fromString(value)[k].key(); };
        // Actions: setting up the roster and its folders before the screen opens (the first four),
        // through the window, on a field or for the next boxes.
        const std::map<QString, std::function<void()>> actions{
            {u"cell"_qs, [&] { state.Roster.SetCell(RosterColumn(step.Column()), step.Row(), value); }},
            {u"song"_qs, [&] { t.music.AddSong(JoinPath(state.Settings.Musics, arg), value.toInt()); }},
            {u"full"_qs, [&] { Fill(); }},             // every row named
            {u"image"_qs, [&] { Image(arg, value); }}, // a picture of WxH pixels
            {u"row"_qs, [&] { LoadRow(arg.toLatin1().constData()); }},
            {u"click"_qs, [&] { Click(Field(i)); }},
            {u"press"_qs, [&] { Click(Button(arg)); }},
            {u"keys"_qs, [&] { Keys(value.toLatin1().constData()); }},
            {u"type"_qs, [&] { Type(value); }},
            {u"insert"_qs, [&] { Field(i)->insert(value); }},
            {u"settext"_qs, [&] { Field(i)->setText(value); }},
            {u"focus"_qs, [&] { Field(i)->setFocus(); }},
            {u"yes"_qs, [&] { dialogs.YesNo.push_back(Dialogs::Answer::Yes); }},
            {u"no"_qs, [&] { dialogs.YesNo.push_back(Dialogs::Answer::No); }},
            {u"input"_qs, [&] { dialogs.Inputs.push_back(value); }},
            {u"file"_qs, [&] { dialogs.Files.push_back(dir.filePath(value)); }},
            {u"remove"_qs, [&] { QDir(dir.filePath(arg)).removeRecursively(); }},
            // Only the press: a screen gone under its box takes no release.
            {u"keypress"_qs, [&] { QTest::keyPress(Field(i), key(0)); }},
            {u"mousepress"_qs, [&] { QTest::mousePress(Field(i), Qt::LeftButton); }},
            {u"clicked"_qs, [&] { Button(arg)->click(); }}, // the button's own click
            // Straight to the field, whichever window is active.
            {u"fieldkeys"_qs, [&] { QTest::keyClicks(Field(i), value); }},
            {u"fieldkey"_qs, [&] { QTest::keyClick(Field(i), key(0)); }},
        };
        // Checks, each giving what it found.
        const std::map<QString, std::function<QString()>> checks{
            {u"focus?"_qs, [&] { return n(FocusedIndex()); }},
            {u"current?"_qs, [&] { return n(screen->CurrentField()); }},
            {u"text?"_qs, [&] { return Text(i); }},
            {u"selected?"_qs, [&] { return Field(i)->selectedText(); }},
            {u"hidden?"_qs, [&] { return n(Field(i)->isHidden()); }},
            {u"drops?"_qs, [&] { return n(Field(i)->acceptDrops()); }},
            {u"label?"_qs, [&] { return Label(i)->text(); }},
            {u"questions?"_qs, [&] { return dialogs.Questions().join(u'/'); }},
            {u"default?"_qs,
             [&] { return dialogs.LastDefault == Dialogs::Answer::Yes ? u"Yes"_qs : u"No"_qs; }},
            {u"cell?"_qs, [&] { return state.Roster.Cell(RosterColumn(step.Column()), step.Row()); }},
            {u"modified?"_qs, [&] { return n(state.RosterModified); }},
            {u"exists?"_qs, [&] { return n(QFile::exists(dir.filePath(arg))); }},
            {u"cursor?"_qs, [&] { return n(QApplication::overrideCursor() != nullptr); }},
            {u"music?"_qs, music}, // what was played and closed, relative to the Musics folder
            {u"listened?"_qs,
             [&] { return auditioned; }}, // what played while the box was up, and for how long
            {u"unchanged?"_qs, [&] { return n(Unchanged()); }}, // the roster as it was when it was filled
            {u"whole?"_qs,
             [&] {
                 return n(FocusedIndex() >= 0 &&
                          Field(FocusedIndex())->selectedText() == Text(FocusedIndex()));
             }},
        };
        const bool setUp = name == u"cell" || name == u"song" || name == u"full" || name == u"image";
        if (!opened && !setUp && name != u"mdi" && !(opened = Open())) {
            return QStringLiteral("the screen did not open");
        }
        if (const auto action = actions.find(name); action != actions.end()) {
            action->second();
            return {};
        }
        if (const auto check = checks.find(name); check != checks.end()) {
            return check->second();
        }
        QString got;
        if (name == u"mdi") { // opened in a child window, as the main window holds it
            screen = new RegistrationScreen(state, services);
            sub = area.addSubWindow(screen);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            area.show();
            sub->show();
            got = (opened = QTest::qWaitForWindowActive(&area)) ? QString() : QStringLiteral("not active");
        } else if (name == u"closebox") {
            got = sub->close() ? QString() : QStringLiteral("refused");
        } else if (name == u"write") {
            QFile file(dir.filePath(arg));
            got = file.open(QIODevice::WriteOnly) && file.write(value.toUtf8()) >= 0 ? QString() : arg;
        } else if (name == u"destroy" || name == u"destroylater") { // under the next box, or the one after
            const auto destroy = [this] { delete screen.data(); };
            dialogs.During = name == u"destroy" ? std::function<void()>(destroy)
                                                : [this, destroy] { dialogs.During = destroy; };
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
        } else if (name == u"listen") { // the next box is the audition's: let it run out on the clock
            dialogs.Execs.push_back([this, music](QDialog& box) {
                box.show();
                const qint64 began = t.clock.NowMs();
                auditioned = music();
                while (box.isVisible() && t.clock.NowMs() - began < 600'000) {
                    t.clock.Advance(1000);
                }
                auditioned += QStringLiteral(" for %1 s").arg((t.clock.NowMs() - began) / 1000);
                return box.result();
            });
        } else if (name == u"gone?") { // a child window goes on the next turn of the event loop
            static_cast<void>(QTest::qWaitFor([&] { return n(screen.isNull()) == value; }, 1000));
            got = n(screen.isNull());
        } else if (name == u"key") { // a key with its modifiers, as often as the value says
            const QKeyCombination combination = QKeySequence::fromString(arg)[0];
            for (int k = 0; k < std::max(1, value.toInt()); ++k) {
                Key(combination.key(), combination.keyboardModifiers());
            }
        } else if (name == u"texts?") {
            QStringList texts;
            for (int f = 0; f < RegistrationScreen::kFieldCount; ++f) {
                texts << Text(f);
            }
            got = texts.join(u'|');
        } else if (name == u"messages?") { // some are told once the typing is done
            static_cast<void>(QTest::qWaitFor([&] { return dialogs.Messages().join(u'/') == value; }, 1000));
            got = dialogs.Messages().join(u'/').remove(dir.path() + u'/');
        } else if (name == u"asked?") {
            got = dialogs.Log.empty() ? QString() : dialogs.Log.back().text + u'|' + dialogs.Log.back().extra;
            got.remove(dir.path() + u'/');
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
    void Fill() {
        for (int r = 1; r <= RosterTable::kCapacity; ++r) {
            state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
        }
        before = state.Roster;
    }
    void Image(const QString& path, const QString& size) const {
        QImage(QSize(size.section(u'x', 0, 0).toInt(), size.section(u'x', 1).toInt()), QImage::Format_RGB32)
            .save(dir.filePath(path), QFileInfo(path).suffix().toUpper().toLatin1());
    }
    bool Unchanged() const {
        for (int r = 0; r <= RosterTable::kCapacity; ++r) {
            for (int c = 0; c < RosterTable::kColumns; ++c) {
                if (state.Roster.Cell(RosterColumn(c), r) != before.Cell(RosterColumn(c), r)) {
                    return false;
                }
            }
        }
        return true;
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
