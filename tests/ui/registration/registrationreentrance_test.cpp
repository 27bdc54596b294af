#include "core/common/designfonts.h"
#include "core/common/platform.h"
#include "support/testservices.h"
#include "ui/registration/registrationscreen.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
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

// A modal box runs an event loop of its own, and the screen that opened it can be destroyed
// inside that loop (its child window deleted, the program closing). These tests destroy the
// screen while each of its boxes is open and check that it neither touches itself afterwards
// nor leaves anything behind: no song left playing, no hourglass pointer, no further boxes, no
// change the vanished screen would have made.

namespace {

// Scripted dialogs that run a hook inside the next box, before it is answered.
class HookedDialogs : public ScriptedDialogs {
public:
    std::function<void()> During;

    void ShowMessage(const QString& text) override {
        ScriptedDialogs::ShowMessage(text);
        Run();
    }
    Answer AskYesNo(QWidget* parent, const QString& text, Answer defaultButton) override {
        const Answer answer = ScriptedDialogs::AskYesNo(parent, text, defaultButton);
        Run();
        return answer;
    }
    QString OpenFileName(QWidget* parent, const QString& title, const QString& start, const QString& filters,
                         int filterIndex) override {
        const QString answer = ScriptedDialogs::OpenFileName(parent, title, start, filters, filterIndex);
        Run();
        return answer;
    }
    std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& defaultText) override {
        const std::optional<QString> answer = ScriptedDialogs::InputText(parent, title, prompt, defaultText);
        Run();
        return answer;
    }
    int Exec(QDialog& dialog) override {
        Log.push_back({QStringLiteral("exec"), dialog.objectName(), {}});
        Run();
        return QDialog::Rejected;
    }

private:
    void Run() {
        if (auto hook = std::exchange(During, nullptr)) {
            hook();
        }
    }
};

struct Fixture {
    TestServices t;
    HookedDialogs dialogs;
    Services services{dialogs, t.random, t.clock, t.music};
    ProgramState state;
    QTemporaryDir dir;
    QPointer<RegistrationScreen> screen;

    explicit Fixture(ProgramState s) : state(std::move(s)) {
        state.Settings.Musics = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Musics")));
        state.Settings.Pictures = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Pictures")));
        QDir().mkpath(state.Settings.Musics);
        QDir().mkpath(state.Settings.Pictures);
    }
    ~Fixture() { delete screen.data(); }

    bool Open() {
        screen = new RegistrationScreen(state, services);
        screen->show();
        dialogs.During = [this] { delete screen.data(); };
        return QTest::qWaitForWindowActive(screen);
    }
    QLineEdit* Field(int i) const {
        return screen->findChild<QLineEdit*>(QStringLiteral("txt入力項目_%1").arg(i));
    }
    QPushButton* Button(const QString& name) const { return screen->findChild<QPushButton*>(name); }
    // Only the press: the screen may be gone before a release could be delivered.
    void Press(int field, Qt::Key key) { QTest::keyPress(Field(field), key); }
};

ProgramState fullRoster() {
    ProgramState state = StateWithNames({});
    for (int row = 1; row <= RosterTable::kCapacity; ++row) {
        state.Roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row));
    }
    return state;
}

} // namespace

class RegistrationReentranceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void screenDestroyedUnderABox_data();
    void screenDestroyedUnderABox();
    void auditionStopsTheSongWhenTheScreenGoesUnderTheBox();
};

void RegistrationReentranceTest::screenDestroyedUnderABox_data() {
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("no free row for the automatic number")
        << 0 << QStringList{QStringLiteral("これ以上名簿に登録出来ません")};
    QTest::newRow("bad row number found by a click further down")
        << 1 << QStringList{QStringLiteral("1から300の範囲で指定してください。")};
    QTest::newRow("apply refused for its row number")
        << 2 << QStringList{QStringLiteral("行番号の範囲は 1から 300を指定してください")};
    QTest::newRow("song chosen outside the folder") << 3 << QStringList{};
    QTest::newRow("caption rename") << 4 << QStringList{};
    QTest::newRow("several dropped files fail to copy")
        << 5
        << QStringList{QStringLiteral("A.MP3のコピーに失敗しました\r\n") +
                       QString::fromLocal8Bit(std::strerror(ENOENT))};
}

void RegistrationReentranceTest::screenDestroyedUnderABox() {
    QFETCH(int, scenario);
    QFETCH(QStringList, messages);
    Fixture f(fullRoster());
    const RosterTable before = f.state.Roster;
    QVERIFY(f.Open());
    QTRY_VERIFY(f.Field(0)->hasFocus());
    switch (scenario) {
    case 0:
        f.Press(0, Qt::Key_Return);
        break;
    case 1:
        QTest::keyClicks(f.Field(0), QStringLiteral("301"));
        QTest::mousePress(f.Field(14), Qt::LeftButton);
        break;
    case 2:
        f.dialogs.YesNo.push_back(Dialogs::Answer::Yes);
        // The question passes; the range message that follows is where the screen goes.
        f.dialogs.During = [&f] { f.dialogs.During = [&f] { delete f.screen.data(); }; };
        f.Field(0)->setText(QStringLiteral("999"));
        f.Press(0, Qt::Key_F12);
        break;
    case 3:
        f.dialogs.Files.push_back(QDir(f.dir.path()).filePath(QStringLiteral("elsewhere/a.mp3")));
        f.Button(QStringLiteral("cmdラベル_11"))->click();
        break;
    case 4:
        f.dialogs.Inputs.push_back(QStringLiteral("座右の銘"));
        f.Button(QStringLiteral("cmdラベル_9"))->click();
        break;
    case 5: {
        // The Musics folder is gone, so every copy fails.
        QVERIFY(QDir(f.state.Settings.Musics).removeRecursively());
        QStringList sources;
        for (const QString& name : {QStringLiteral("a.mp3"), QStringLiteral("b.mp3")}) {
            QFile file(QDir(f.dir.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("RIFF");
            sources.append(file.fileName());
        }
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : sources) {
            urls.append(QUrl::fromLocalFile(p));
        }
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.Field(11), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.Field(11), &drop);
        break;
    }
    default:
        QFAIL("unknown scenario");
    }
    QVERIFY(f.screen.isNull());
    QCOMPARE(f.dialogs.Messages(), messages);
    QVERIFY(!QApplication::overrideCursor());
    // Nothing stored by the vanished screen: captions and cells as they were.
    for (int row = 0; row <= RosterTable::kCapacity; ++row) {
        for (int c = 0; c < RosterTable::kColumns; ++c) {
            QCOMPARE(f.state.Roster.Cell(RosterColumn(c), row), before.Cell(RosterColumn(c), row));
        }
    }
}

void RegistrationReentranceTest::auditionStopsTheSongWhenTheScreenGoesUnderTheBox() {
    Fixture f(StateWithNames({u"一郎"}));
    QVERIFY(f.Open());
    const QString path = JoinPath(f.state.Settings.Musics, QStringLiteral("theme.mp3"));
    f.t.music.AddSong(path, 180);
    f.Field(11)->setText(QStringLiteral("theme.mp3"));
    f.Button(QStringLiteral("cmd試聴"))->click();
    QVERIFY(f.screen.isNull());
    QCOMPARE(f.t.music.Log,
             (QStringList{QStringLiteral("play %1 0").arg(path), QStringLiteral("close %1").arg(path)}));
    QVERIFY(!f.t.music.IsOpen(path));
}

QTEST_MAIN(RegistrationReentranceTest)
#include "registrationreentrance_test.moc"
