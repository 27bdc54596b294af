#include "core/common/designfonts.h"
#include "support/scriptstep.h"
#include "support/testservices.h"
#include "ui/settings/gamesettingsscreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The game settings screen over default settings, its settings file in a folder of its own; driven
// by the steps of a script (see tests/data/settings).
struct Rig {
    Rig() {
        state.Settings.ApplyDefaults();
        state.Settings.Pictures = QStringLiteral("/w/Pictures");
        state.Settings.Musics = QStringLiteral("/w/Musics");
        state.Settings.Cols = 5;
        state.ProgramFolder = dir.path() + u'/';
    }
    ~Rig() { delete screen.data(); }
    template <typename T = QWidget> T* Child(const QString& name) const {
        return screen->findChild<T*>(name);
    }

    QString Step(const ScriptStep& step) {
        const QString &name = step.Name, &arg = step.Arg, &value = step.Value;
        if (!opened && name != u"dflag" && name != u"mode" && name != u"cols") {
            opened = true;
            screen = new GameSettingsScreen(state, t.services);
            screen->show();
            if (!QTest::qWaitForWindowExposed(screen)) {
                return QStringLiteral("not shown");
            }
        }
        QString got;
        if (name == u"dflag") {
            state.Settings.Dflag = value;
        } else if (name == u"mode" || name == u"cols") {
            (name == u"mode" ? state.Settings.GameMode : state.Settings.Cols) = value.toInt();
        } else if (name == u"click" || name == u"apply") { // through the screen's window
            if (name == u"apply") {
                t.dialogs.YesNo.push_back(value == u"No" ? Dialogs::Answer::No : Dialogs::Answer::Yes);
            }
            QWidget* widget = Child(name == u"apply" ? QStringLiteral("Cmd設定適用") : arg);
            QTest::mouseClick(screen->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              widget->mapTo(screen, widget->rect().center()));
        } else if (name == u"colour") { // the colour box's next answer; none cancels
            t.dialogs.Colours.push_back(value.isEmpty() ? std::nullopt
                                                        : std::optional<QColor>(QColor(value)));
        } else if (name == u"folder") { // the folder box's next answer; none cancels
            t.dialogs.Folders.push_back(value);
        } else if (name == u"set") {
            Child<QComboBox>(arg)->setEditText(value);
        } else if (name == u"close") { // through its frame
            screen->close();
        } else if (name == u"checks?") { // the nine introduction boxes
            for (int i = 0; i < 9; ++i) {
                got += Child<QCheckBox>(QStringLiteral("Chk紹介_%1").arg(i))->isChecked() ? u'1' : u'0';
            }
        } else if (name == u"checked?") {
            got = QString::number(int(Child<QRadioButton>(arg)->isChecked()));
        } else if (name == u"items?") { // first|last|count of a list
            const auto* combo = Child<QComboBox>(arg);
            got = QStringLiteral("%1|%2|%3")
                      .arg(combo->itemText(0), combo->itemText(combo->count() - 1))
                      .arg(combo->count());
        } else if (name == u"shown?") {
            auto* edit = Child<QLineEdit>(arg);
            got = edit ? edit->text() : Child<QComboBox>(arg)->currentText();
        } else if (name == u"background?") {
            got = screen->palette().color(QPalette::Window).name();
        } else if (name == u"visible?") {
            got = QString::number(int(screen && screen->isVisible()));
        } else if (name == u"stored?") { // Dflag|GameMode|Cols|Rows|Backcolor|Pictures|Musics
            const SettingsRecord& s = state.Settings;
            got = QStringList{s.Dflag,
                              QString::number(s.GameMode),
                              QString::number(s.Cols),
                              QString::number(s.Rows),
                              s.Backcolor,
                              s.Pictures,
                              s.Musics}
                      .join(u'|');
        } else if (name == u"questions?" || name == u"messages?") {
            got = (name == u"questions?" ? t.dialogs.Questions() : t.dialogs.Messages()).join(u'/');
        } else if (name == u"default?") {
            got = QString::fromLatin1(t.dialogs.LastDefault == Dialogs::Answer::Yes ? "Yes" : "No");
        } else if (name == u"asked?") { // the last box's text
            got = t.dialogs.Log.empty() ? QString() : t.dialogs.Log.back().text;
        } else if (name == u"unanswered?") { // answers no box took
            got = QString::number(t.dialogs.YesNo.size());
        } else if (name == u"ini?") { // the text when Mrda.ini holds it, else all of Mrda.ini
            QFile ini(dir.filePath(QStringLiteral("Mrda.ini")));
            const QByteArray bytes = ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
            got = bytes.contains(step.Bytes) ? value : QString::fromUtf8(bytes);
        } else {
            got = QStringLiteral("<no such step>");
        }
        return got;
    }

    QTemporaryDir dir;
    ProgramState state;
    TestServices t;
    QPointer<GameSettingsScreen> screen;
    bool opened = false;
};

} // namespace

class GameSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // Scripts of clicks and answers through the window, from tests/data/settings.
    void scriptsFromData() {
        const int cases = RunScripts<Rig>(QStringLiteral("settings"), [](const std::string& failed) {
            QTest::qFail(failed.c_str(), __FILE__, __LINE__);
        });
        QVERIFY(cases >= 6);
    }
};

QTEST_MAIN(GameSettingsTest)
#include "gamesettings_test.moc"
