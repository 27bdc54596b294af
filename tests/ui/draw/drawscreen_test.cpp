// What only the draw screen's widgets can show: the grid's layout and its first tick, the close
// refusal, painted panels, the panel box, the background colour and the typed surface; and the
// screen under what happens around a running draw: modal boxes (in the program every box runs an
// event loop of its own, in which the screen's timers keep firing and anything the screen itself
// does not refuse may run; the scripts play that loop by advancing the clock and calling the screen
// from inside the box) and the stop command of the main window; input as the organiser gives it,
// sent to the top-level window so that the window system's own handling (the context menu that
// comes with the press, key repeats, shortcuts of the main window) takes part. Two screens, as at a
// party: the laptop and the projector. The draw itself is tested in core, on a screen that only
// remembers.
#include "core/common/designfonts.h"
#include "core/phones/cardtoken.h"
#include "core/phones/phoneserver.h"
#include "core/record/cardrecord.h"
#include "core/record/drawrecord.h"
#include "core/record/recordfile.h"
#include "support/drawbench.h"
#include "support/scriptstep.h"
#include "ui/app/dialogs.h"
#include "ui/app/mainwindow.h"
#include "ui/app/roombox.h"
#include "ui/draw/drawkeysbox.h"
#include "ui/draw/effectarea.h"
#include "ui/draw/kapmenubox.h"
#include "ui/draw/phonejoin.h"
#include "ui/draw/qrcodeview.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <QtTest>

namespace {

QWindow* WindowOf(QWidget* widget) {
    return widget->window()->windowHandle();
}

QPoint CentreInWindow(QWidget* widget) {
    return widget->mapTo(widget->window(), widget->rect().center());
}

// A key as the window system gives it: a press, repeats while it is held, the release.
void Key(QWidget* over, QEvent::Type type, int key, bool repeat = false) {
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    qt_handleKeyEvent(WindowOf(over), type, key, Qt::NoModifier, text, repeat);
}

// A menu popping up runs a loop of its own: it is noted and closed so that the test goes on.
struct PopupWatch {
    QString seen;
    PopupWatch() {
        QTimer::singleShot(0, [this] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                seen = menu->objectName();
                menu->close();
            }
        });
    }
};

QString WritePhoto(const DrawBench& b, const QColor& colour) {
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(colour);
    const QString path = QDir(b.state.Settings.Pictures).filePath(QStringLiteral("photo.png"));
    photo.save(path);
    return path;
}

// Black pixels in an area of a picture of the screen: typed text.
int BlackIn(const QImage& shot, const QRect& area) {
    int black = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            black += shot.pixelColor(x, y) == QColor(Qt::black) ? 1 : 0;
        }
    }
    return black;
}

const QString kBase = QStringLiteral("http://127.0.0.1:%1").arg(kPhonePort);

// A request to the phones' server on the loopback: its status (0: nobody answers), body and
// where it sends the phone on.
struct Reply {
    int Status = 0;
    QByteArray Body;
    QString Location;
};

Reply Fetch(const QString& path, bool post = false) {
    QNetworkAccessManager net;
    QNetworkRequest request(QUrl(kBase + path));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = post ? net.post(request, QByteArray()) : net.get(request);
    QSignalSpy done(reply, &QNetworkReply::finished);
    done.wait(5000);
    Reply out{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
              QString::fromLatin1(reply->rawHeader("Location"))};
    delete reply;
    return out;
}

QString Flag(bool on) {
    return QString::number(int(on));
}

// A draw screen driven by the steps of a script (see tests/data/draw/screen): the set-up steps come
// before it opens, the first other step opens it and lays it out.
struct DrawScript : DrawBench {
    DrawScript() : DrawBench(0) {}
    // Notes what a dialog shows, by the name of its control, as it is closed.
    void Note(const QString& control) {
        ts.dialogs.Execs.push_back([this, control](QDialog& box) {
            noted.clear();
            if (auto* list = box.findChild<QListWidget*>()) {
                for (int i = 0; i < list->count(); ++i) {
                    noted += list->item(i)->text() + u'/';
                }
            } else {
                noted = box.findChild<QLabel*>(control)->text();
            }
            return 0;
        });
    }
    QString Record() const { return DrawRecordPath(folder.path(), QDate::currentDate()); }
    QString CardRecord() const { return CardRecordPath(folder.path(), state.Settings.RosterFilePath); }
    QByteArray RecordBytes() const {
        QFile file(Record());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString Step(const ScriptStep& step) {
        const QString &name = step.Name, &arg = step.Arg, &value = step.Value;
        static const QStringList setUp = {u"people"_qs,  u"mode"_qs,     u"grid"_qs,    u"simple"_qs,
                                          u"roster"_qs,  u"left"_qs,     u"cards"_qs,   u"yes"_qs,
                                          u"no"_qs,      u"during"_qs,   u"blocked"_qs, u"create"_qs,
                                          u"network"_qs, u"cardsfor"_qs, u"main"_qs,    u"photo"_qs};
        if (!opened && !setUp.contains(name)) {
            Show(1000);
        }
        opened = opened || screen || name == u"create";
        QString got;
        FileError error;
        if (name == u"people") {
            for (int r = 1; r <= value.toInt(); ++r) {
                state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
            }
        } else if (name == u"mode") {
            state.Settings.GameMode = value.toInt();
        } else if (name == u"grid") {
            state.Settings.Cols = step.Column();
            state.Settings.Rows = step.Row();
        } else if (name == u"simple") {
            state.DrawKind = DrawKind::Simple;
        } else if (name == u"roster") {
            state.Settings.RosterFilePath = value;
        } else if (name == u"blocked") { // a folder in the place of today's draw record
            QDir().mkpath(Record());
        } else if (name == u"left") { // a game of a mode left off today: row.panel of its draws
            DrawRecordLine line;
            line.GameMode = arg.toInt();
            line.Cols = state.Settings.Cols;
            line.Rows = state.Settings.Rows;
            line.RosterPath = state.Settings.RosterFilePath;
            line.Fingerprint = RosterFingerprint(state.Roster);
            got = AppendDrawRecord(Record(), line, error) ? QString() : QStringLiteral("not written");
            for (const QString& draw : value.split(u',')) {
                line.Event = DrawEvent::Draw;
                line.Row = static_cast<qint16>(draw.section(u'.', 0, 0).toInt());
                line.Name = state.Roster.Cell(RosterColumn::Name, line.Row);
                line.Panel = draw.section(u'.', 1).toInt();
                got = AppendDrawRecord(Record(), line, error) ? got : QStringLiteral("not written");
            }
            left = RecordBytes();
        } else if (name == u"cards") { // 3 × 3 cards (numbered from 1, or as named; p: for phones), their
                                       // rows (0: the mark) in reading order
            std::vector<RecordedCard> cards;
            const QStringList numbers = arg.split(u'.', Qt::SkipEmptyParts);
            for (const QString& rows : value.split(u'/')) {
                RecordedCard& card = cards.emplace_back();
                const QString number = numbers.value(int(cards.size()) - 1, QString::number(cards.size()));
                const bool phone = number.endsWith(u'p');
                card.Number = number.chopped(phone ? 1 : 0).toInt();
                card.Token = phone ? (token = NewCardToken()) : QString();
                card.PhoneAddress = phone ? printedFor : QString();
                card.Fingerprint = RosterFingerprint(state.Roster);
                card.Side = 3;
                for (const QString& row : rows.split(u',')) {
                    card.Cells.push_back(row == u"0" ? RecordedCell{0, QStringLiteral("★"), true}
                                                     : RecordedCell{static_cast<qint16>(row.toInt()),
                                                                    QStringLiteral("参加者") + row});
                }
            }
            got = AddCardsToRecord(CardRecord(), cards, error) ? QString() : QStringLiteral("not written");
        } else if (name == u"cardsfor") { // the address the next phone cards are printed for
            printedFor = value.isEmpty() ? value : value + QStringLiteral(":%1").arg(kPhonePort);
        } else if (name == u"cardsblocked") { // the card record can be neither read nor written
            got = QFile::remove(CardRecord()) && QDir().mkpath(CardRecord()) ? QString() : u"not blocked"_qs;
        } else if (name == u"network") { // the computer's addresses
            ts.services.networkAddresses = [addresses = value.split(u',', Qt::SkipEmptyParts)] {
                std::vector<QHostAddress> out;
                for (const QString& address : addresses) {
                    out.emplace_back(address);
                }
                return out;
            };
        } else if (name == u"join") { // P: the box that serves the pages, its address or why not noted
            ts.dialogs.Execs.push_back([this, button = value](QDialog& box) {
                noted = box.findChild<QLabel*>(QStringLiteral("lblアドレス"))->text();
                if (box.findChild<QrCodeView*>(QStringLiteral("picQR"))->Modules() == 0) {
                    noted = box.findChild<QLabel*>(QStringLiteral("lblスマホ参加できない理由"))->text();
                }
                if (!button.isEmpty()) {
                    box.findChild<QPushButton*>(button)->click();
                }
                return box.result();
            });
            QTest::keyClick(WindowOf(screen), Qt::Key_P);
        } else if (name == u"fetch?" || name == u"post?") { // the status, or the body of the answer
            const Reply reply = Fetch(QString(arg).replace(u"TOKEN"_qs, token), name == u"post?");
            got = name == u"post?" ? QString::fromUtf8(reply.Body) : QString::number(reply.Status);
            sentTo = reply.Location;
        } else if (name ==
                   u"fresh?") { // cards in the record|the last one's number|side|the phone was sent to it
            std::vector<RecordedCard> cards;
            LoadCardRecord(CardRecord(), cards, error);
            got = cards.empty() ? QStringLiteral("none")
                                : QStringLiteral("%1|%2|%3|%4")
                                      .arg(cards.size())
                                      .arg(cards.back().Number)
                                      .arg(cards.back().Side)
                                      .arg(Flag(sentTo == QStringLiteral("/c/") + cards.back().Token));
        } else if (name == u"given?") { // the number a printed run goes on from
            static_cast<void>(QTest::qWaitFor(
                [&] { return QString::number(state.CardNumbersGiven.value(CardRecord())) == value; }, 1000));
            got = QString::number(state.CardNumbersGiven.value(CardRecord()));
        } else if (name == u"serving?") {
            got = Flag(screen->Phones()->IsServing());
        } else if (name == u"page?") { // the card page's latest name and its marked cells
            const QJsonDocument page =
                QJsonDocument::fromJson(Fetch(QStringLiteral("/c/%1/card.json").arg(token)).Body);
            QStringList marked;
            for (int i = 0; i < page[u"cells"].toArray().size(); ++i) {
                if (page[u"cells"][i][u"marked"].toBool()) {
                    marked << QString::number(i);
                }
            }
            got = page[u"latest"].toString() + u'|' + marked.join(u',');
        } else if (name == u"notice?") { // the claim told small on the screen
            const auto* notice = screen->findChild<QLabel*>(QStringLiteral("lblスマホ申告"));
            static_cast<void>(QTest::qWaitFor([&] { return notice->isVisible() == !value.isEmpty(); }, 1000));
            got = notice->isVisible() ? notice->text() : QString();
        } else if (name == u"yes" || name == u"no") {
            ts.dialogs.YesNo.push_back(name == u"yes" ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        } else if (name == u"input") {
            ts.dialogs.Inputs.push_back(value);
        } else if (name == u"colour") { // the colour box's next answer; none cancels
            ts.dialogs.Colours.push_back(value.isEmpty() ? std::nullopt
                                                         : std::optional<QColor>(QColor(value)));
        } else if (name == u"during") { // while the next box is up: the clock runs on, (try) the user tries
                                        // everything
            ts.dialogs.WhileNextBoxIsUp = [this, ms = value.toInt(), tryAll = arg == u"try"] {
                ts.clock.Advance(ms);
                DeleteLater();
                noted = screen ? QStringLiteral("panels %1").arg(Flag(Panel(0)->isVisible())) : u"gone"_qs;
                if (screen && tryAll) {
                    TryEverything();
                }
            };
        } else if (name == u"panelbox") { // the panel box's next answer: the clock runs on, the user
                                          // tries everything, then presses the button
            ts.dialogs.Execs.push_back([this, ms = arg.toInt(), button = value](QDialog& box) {
                ts.clock.Advance(ms);
                if (ms > 0) {
                    TryEverything();
                }
                box.findChild<QPushButton*>(button)->click();
                return box.result();
            });
        } else if (name == u"destroyinbox") { // the screen goes away under its next box
            ts.dialogs.Execs.push_back([this](QDialog&) {
                delete screen.data();
                return int(QDialog::Rejected);
            });
        } else if (name == u"note") {
            Note(value);
        } else if (name == u"create") { // shown, before its first tick
            Show(0);
        } else if (name == u"photo") { // participant 1's photo file; photo.png is a blue picture
            WritePhoto(*this, Qt::blue);
            state.Roster.SetCell(RosterColumn::Photo, 1, value);
        } else if (name == u"colour?") { // panel K's colour high in its middle, once painted, and its photo
            const auto shown = [&] {
                const QImage shot = Panel(arg.toInt())->grab().toImage();
                return shot.pixelColor(shot.width() / 2, shot.height() / 4).name() + u'|' +
                       QFileInfo(Panel(arg.toInt())->ShownPhoto()).fileName();
            };
            static_cast<void>(QTest::qWaitFor([&] { return shown() == value; }, 1000));
            got = shown();
        } else if (name == u"keylist") { // the next box lists the keys: those it lacks, and small type, noted
            ts.dialogs.Execs.push_back([this](QDialog& box) {
                QStringList shown;
                for (const QLabel* label : box.findChildren<QLabel*>()) {
                    shown.append(label->text());
                    const int room = RoomTypePixels(screen->screen()->geometry().height());
                    noted += QFontInfo(label->font()).pixelSize() < room ? u"small "_qs : QString();
                }
                for (const auto& [key, what] : DrawKeysBox::Keys()) {
                    noted += shown.contains(key) && shown.contains(what) ? QString() : key + u' ';
                }
                return 0;
            });
        } else if (name == u"whole?") { // the panels not seen whole on the screen
            QStringList cut;
            for (int k = 0; k < screen->Sequence().PanelCount(); ++k) {
                const PanelWidget* panel = Panel(k);
                if (!screen->rect().contains(panel->geometry()) || !panel->isVisible() ||
                    panel->width() <= 1) {
                    cut.append(QString::number(k));
                }
            }
            got = cut.join(u',');
        } else if (name == u"main") { // opened from the main window, a song for everyone
            for (int r = 1; !state.Roster.Cell(RosterColumn::Name, r).isEmpty(); ++r) {
                state.Roster.SetCell(RosterColumn::Song, r, QStringLiteral("song.mp3"));
            }
            ts.music.AddSong(QDir(state.Settings.Musics).filePath(QStringLiteral("song.mp3")), 200);
            window = std::make_unique<MainWindow>(state, ts.services);
            window->show();
            idleTimers = ts.clock.ActiveTimerCount();
        } else if (name == u"stop") { // 抽選 → 終了 in the main window
            window->mnu終了_Click();
        } else if (name == u"fullscreen") {
            screen->ShowFullScreen();
        } else if (name == u"tick") {
            ts.clock.Advance(value.toInt());
        } else if (name == u"start") {
            screen->cmd抽選開始_Click();
        } else if (name == u"run") { // the running draw to its end
            RunOn();
        } else if (name == u"draw") {
            Draw();
        } else if (name == u"tryall") {
            TryEverything();
        } else if (name == u"drawing") {
            state.DrawInProgress = value == u"1";
        } else if (name == u"key") {
            QTest::keyClick(WindowOf(screen), QKeySequence::fromString(arg)[0].key());
        } else if (name == u"click") {
            QWidget* widget = screen->findChild<QWidget*>(arg);
            QTest::mouseClick(WindowOf(widget), Qt::LeftButton, {}, CentreInWindow(widget));
        } else if (name == u"byhand") { // the panel opened or closed through its box, its live buttons noted
            ts.dialogs.Execs.push_back(
                [this, button = value == u"close" ? u"Command2"_qs : u"Command1"_qs](QDialog& box) {
                    QStringList enabled;
                    for (const QPushButton* other : box.findChildren<QPushButton*>()) {
                        if (other->isEnabled()) {
                            enabled.append(other->objectName());
                        }
                    }
                    enabled.sort();
                    noted = enabled.join(u',');
                    box.findChild<QPushButton*>(button)->click();
                    return box.result();
                });
            PopupWatch popup;
            QTest::mouseClick(WindowOf(screen), Qt::RightButton, {}, CentreInWindow(Panel(arg.toInt())));
            got = popup.seen;
        } else if (name == u"menu?") { // the menu a right click on panel K, or the background, brings
            PopupWatch popup;
            QTest::mouseClick(WindowOf(screen), Qt::RightButton, {},
                              arg.isEmpty() ? QPoint(screen->width() - 5, screen->height() - 5)
                                            : CentreInWindow(Panel(arg.toInt())));
            got = popup.seen;
        } else if (name == u"hold") { // the key held for value ms, repeating ten times a second
            screen->activateWindow();
            static_cast<void>(QTest::qWaitForWindowActive(screen));
            const int key = QKeySequence::fromString(arg)[0].key();
            Key(screen, QEvent::KeyPress, key);
            got = screen->Sequence().IsRunning() ? QString() : u"no draw"_qs;
            for (int held = 0; held < value.toInt(); held += 100) {
                ts.clock.Advance(100);
                Key(screen, QEvent::KeyRelease, key, true);
                Key(screen, QEvent::KeyPress, key, true);
            }
            Key(screen, QEvent::KeyRelease, key);
        } else if (name == u"panelup") { // the panel's own right click, as the screen takes it
            screen->Picパネル_MouseUp(value.toInt());
        } else if (name == u"closed?") {
            got = Flag(screen->close());
        } else if (name == u"gone?") { // closing takes a turn of the event loop
            static_cast<void>(QTest::qWaitFor(
                [&] {
                    DeleteLater();
                    return Flag(screen.isNull()) == value;
                },
                1000));
            got = Flag(screen.isNull());
        } else if (name == u"during?" || name == u"noted?") {
            static_cast<void>(QTest::qWaitFor([&] { return noted == value; }, 1000));
            got = QString(noted).remove(QDir::toNativeSeparators(folder.path() + u'/'));
        } else if (name == u"messages?" || name == u"questions?") {
            got = (name == u"messages?" ? ts.dialogs.Messages() : ts.dialogs.Questions()).join(u'/');
            got.remove(QDir::toNativeSeparators(folder.path() + u'/'))
                .replace(QFileInfo(Record()).fileName(), u"RECORD"_qs);
        } else if (name == u"default?") {
            got = QString::fromLatin1(ts.dialogs.LastDefault == Dialogs::Answer::Yes ? "Yes" : "No");
        } else if (name == u"extra?") { // of the first box: in the room's type or not
            got = ts.dialogs.Log.empty() ? QString() : ts.dialogs.Log.front().extra;
        } else if (name == u"boxes?") {
            got = QString::number(ts.dialogs.Log.size());
        } else if (name == u"visible?" || name == u"enabled?") {
            QWidget* widget = arg.isEmpty() ? screen.data() : screen->findChild<QWidget*>(arg);
            got = Flag(name == u"visible?" ? widget->isVisible() : widget->isEnabled());
        } else if (name == u"panel?") { // shown|open|name
            const PanelWidget* panel = Panel(arg.toInt());
            got = Flag(panel->isVisible()) + u'|' + Flag(panel->IsOpen()) + u'|' + panel->ShownName();
        } else if (name == u"drawing?") {
            got = Flag(state.DrawInProgress) + u'|' + Flag(screen && screen->Sequence().IsRunning());
        } else if (name == u"candidates?") {
            got = QString::number(screen->Sequence().Pools().Candidates().Count);
        } else if (name == u"timers?") {
            got = QString::number(ts.clock.ActiveTimerCount() - idleTimers);
        } else if (name == u"songs?") {
            got = QString::number(ts.music.OpenCount());
        } else if (name == u"child?") { // the main window's stand-in for the screen
            static_cast<void>(QTest::qWaitFor(
                [&] {
                    DeleteLater();
                    return Flag(window->ChildScreen()) == value;
                },
                1000));
            got = Flag(window->ChildScreen());
        } else if (name == u"standing?") { // the room's standing, when shown
            const auto* words = screen->findChild<QLabel*>(QStringLiteral("lbl会場の状況"));
            static_cast<void>(QTest::qWaitFor([&] { return words && words->text() == value; }, 1000));
            got = !words || !words->isVisible() ? QStringLiteral("hidden") : words->text();
        } else if (name == u"backcolor?") { // as stored, saved, and at the screen's corner
            got = state.Settings.Backcolor + u'|' +
                  Flag(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("Mrda.ini")))) + u'|' +
                  screen->grab().toImage().pixelColor(screen->width() - 5, screen->height() - 5).name();
        } else if (name == u"record?") { // the last event of today's record, or whether it is as left
            const std::vector<DrawRecordLine> lines = ReadDrawRecord(RecordBytes());
            got = arg == u"left"  ? Flag(RecordBytes() == left)
                  : lines.empty() ? QStringLiteral("none")
                                  : DrawEventName(lines.back().Event);
        } else {
            got = QStringLiteral("<no such step>");
        }
        return got;
    }

    // Shown (from the main window when asked), then the clock run on.
    void Show(int ms) {
        if (window) {
            window->mnu開始_Click();
            screen = window->findChild<DrawScreen*>(QStringLiteral("frm抽選"));
        } else {
            Create();
        }
        ts.clock.Advance(ms);
    }

    std::unique_ptr<MainWindow> window;
    int idleTimers = 0;
    bool opened = false;
    QString noted;
    QByteArray left;
    QString token;      // of the last card for phones
    QString printedFor; // the address phone cards are printed for
    QString sentTo;     // where the last answer sent the phone
};

} // namespace

class DrawScreenTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InstallFontSubstitutions();
        QCOMPARE(QGuiApplication::screens().size(), 2);
    }

    // Scripts of draws, clicks, keys and boxes, from tests/data/draw/screen.
    void scriptsFromData() {
        const int cases =
            RunScripts<DrawScript>(QStringLiteral("draw/screen"), [](const std::string& failed) {
                QTest::qFail(failed.c_str(), __FILE__, __LINE__);
            });
        QVERIFY(cases >= 10);
    }

    // The room's code is read whole from a picture of the box as shown: nothing laid out around it
    // covers any of it or of its quiet zone.
    void theRoomsCodeIsReadFromThePictureOfTheBox() {
        if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()) {
            QSKIP("zbarimg (zbar-tools) is needed to read the code back");
        }
        DrawScript b;
        for (const char* step : {"people=9", "mode=3", "grid:3.3", "roster=/rosters/sample.txt",
                                 "network=127.0.0.1", "cards:3p=1,2,3,4,0,5,6,7,8", "tick=0"}) {
            QVERIFY(b.Step(ScriptStep(QString::fromUtf8(step))).isEmpty());
        }
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("box.png"));
        bool apart = false;
        b.ts.dialogs.Execs.push_back([&](QDialog& box) {
            box.show();
            if (!QTest::qWaitForWindowExposed(&box)) {
                return 0;
            }
            const QWidget* code = box.findChild<QWidget*>(QStringLiteral("picQR"));
            apart = true;
            for (const QWidget* other : box.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                apart = apart && (other == code || !other->isVisible() ||
                                  !other->geometry().intersects(code->geometry()));
            }
            box.grab().save(png);
            return 0;
        });
        QTest::keyClick(b.screen, Qt::Key_P);
        QVERIFY(apart);
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png});
        QVERIFY(zbar.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), kBase + QStringLiteral("/new"));
    }

    void opensWithTheGridHiddenUntilTheFirstTick() {
        DrawBench b(3, 1, 0, -2);
        b.Create();
        QCOMPARE(b.state.Settings.Cols, 5);
        QCOMPARE(b.state.Settings.Rows, 5);
        QVERIFY(b.Panel(24) && !b.Panel(25));
        QVERIFY(!b.Panel(0)->isVisible());
        QVERIFY(!b.Button("cmd抽選開始")->isEnabled());
        b.ts.clock.Advance(1000);
        QVERIFY(b.Panel(24)->isVisible());
        QVERIFY(b.Button("cmd抽選開始")->isEnabled());
        // Numbered down each column: panel 5 heads the second column.
        QCOMPARE(b.Panel(5)->y(), b.Panel(0)->y());
        QVERIFY(b.Panel(5)->x() > b.Panel(4)->x());
        QVERIFY(b.Panel(1)->y() > b.Panel(0)->y());
        QCOMPARE(b.Panel(3)->width(), b.Panel(3)->height());
        // Resizing lays the grid out again at the next tick; too low for panels, they stay.
        const int side = b.Panel(0)->width();
        b.screen->resize(1024, 400);
        b.ts.clock.Advance(1000);
        QVERIFY(b.Panel(0)->width() < side);
        const QRect kept = b.Panel(7)->geometry();
        b.screen->resize(1024, 30);
        b.ts.clock.Advance(1000);
        QCOMPARE(b.Panel(7)->geometry(), kept);
    }

    void theDrawShowsItsLineTypedTextPhotoAndName() {
        DrawBench b(1, 1);
        b.state.Roster.SetCell(RosterColumn::Birthplace, 1, QStringLiteral("東京"));
        b.state.Roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("よろしく"));
        b.state.Roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("photo.png"));
        WritePhoto(b, Qt::blue);
        b.Open();
        b.screen->cmd抽選開始_Click();
        auto* telop = b.screen->findChild<QLabel*>(QStringLiteral("Lblテロップ用"));
        QVERIFY(telop->isVisible());
        QCOMPARE(telop->text(), QStringLiteral("東京 出身  "));
        const int left = telop->x();
        b.ts.clock.AdvanceToNext();
        QVERIFY(telop->x() < left);
        // Typed text: black on the default grey (white would read at less than 4.5 : 1).
        for (int guard = 0; telop->isVisible() && guard < 1000; ++guard) {
            b.ts.clock.AdvanceToNext();
        }
        b.ts.clock.Advance(180 * 3);
        QVERIFY(BlackIn(b.screen->grab().toImage(), b.screen->rect()) > 80);
        // The photo on the effect area, then the name printed on it.
        auto* effect = b.screen->findChild<EffectArea*>(QStringLiteral("Pic効果用"));
        for (int guard = 0; !effect->isVisible() && guard < 1000; ++guard) {
            b.ts.clock.AdvanceToNext();
        }
        QCOMPARE(effect->geometry(), b.screen->rect());
        // The whole photo, as large as the screen allows, centred on black.
        // It is decoded off the screen's thread: painted as soon as it is ready.
        QTRY_COMPARE(effect->grab().toImage().pixelColor(effect->width() / 2, effect->height() / 2),
                     QColor(Qt::blue));
        const QImage shown = effect->grab().toImage();
        QCOMPARE(shown.pixelColor(shown.width() / 2, 2), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(10, shown.height() / 2), QColor(Qt::black));
        b.Draw();
        QVERIFY(!effect->isVisible());
        QVERIFY(b.Panel(0)->IsOpen());
    }

    void typedLinesGoOnAfterTheWindowGrows() {
        DrawBench b(1, 2);
        b.state.Roster.SetCell(RosterColumn::Affiliation, 1,
                               QStringLiteral("あいうえおかきくけこさしすせそたちつてと"));
        b.Open();
        b.screen->resize(600, 400);
        b.screen->cmd抽選開始_Click();
        b.ts.clock.Advance(180 * 3);
        b.screen->resize(1400, 900);
        b.ts.clock.Advance(180 * 15);
        // Characters typed after the resize reach beyond the widest the window was before (1024).
        QVERIFY(BlackIn(b.screen->grab().toImage(), QRect(1030, 0, 370, 300)) > 0);
    }

    void thePanelBoxStaysOnTheScreen() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        const QRect available = screen->availableGeometry();
        for (const QPoint wished :
             {available.bottomRight() + QPoint(5000, 5000), QPoint(-300, -300), available.center(),
              QPoint(available.right() - 20, available.top() + 10)}) {
            ScriptedDialogs dialogs;
            QRect placed;
            dialogs.Execs.push_back([&](QDialog& box) {
                placed = QRect(box.pos(), box.size());
                return int(QDialog::Rejected);
            });
            QCOMPARE(KapMenuBox::X_MenuBox(dialogs, nullptr, wished, 0), qint16(0));
            QCOMPARE(available.intersected(placed), placed);
            if (available.contains(QRect(wished, placed.size() + QSize(16, 48)))) {
                QCOMPARE(placed.topLeft(), wished); // where it fits, exactly at the panel's centre
            }
        }
    }

    // The room's boxes: a key held from before the box, or repeating, does not answer it; a
    // fresh press does. Messages are read from the back of a hall (type of at least 1/40 of the
    // screen's height), take the width their text needs and break between phrases; questions keep
    // their default.
    void theRoomsBoxes() {
        DrawBench b(1);
        b.Open();
        std::unique_ptr<RoomBox> box(
            MakeRoomMessageBox(b.screen, QStringLiteral("これ以上データが登録されていません")));
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        Key(box.get(), QEvent::KeyPress, Qt::Key_Return, true);
        Key(box.get(), QEvent::KeyRelease, Qt::Key_Return, true);
        Key(box.get(), QEvent::KeyPress, Qt::Key_Space, true);
        Key(box.get(), QEvent::KeyRelease, Qt::Key_Space);
        QVERIFY(box->isVisible());
        QCOMPARE(box->result(), 0);
        QTest::keyClick(box->windowHandle(), Qt::Key_Space);
        QVERIFY(!box->isVisible());
        QCOMPARE(box->result(), int(QDialog::Accepted));
        QCOMPARE(std::tuple(RoomTypePixels(1080), RoomTypePixels(1081), RoomTypePixels(2160)),
                 std::tuple(27, 28, 54));
        const int height = b.screen->screen()->geometry().height();
        for (const QString& text :
             {QStringLiteral("これ以上データが登録されていません"),
              QStringLiteral("ゲームモードが変わったため続けられません。（モード1 → モード3）")}) {
            std::unique_ptr<RoomBox> box(MakeRoomMessageBox(b.screen, text));
            QVERIFY(QFontInfo(box->font()).pixelSize() >= RoomTypePixels(height));
            box->show();
            QCOMPARE(box->Lines(), QStringList{text});
            QVERIFY(box->TextLabel()->width() >= QFontMetrics(box->font()).horizontalAdvance(text));
            QVERIFY(box->width() <= b.screen->screen()->availableGeometry().width());
        }
        std::unique_ptr<RoomBox> question(MakeRoomQuestionBox(
            b.screen, QStringLiteral("前回の抽選（4 人）を続けますか？"), Dialogs::Answer::No));
        QCOMPARE(question->DefaultButton(), question->Button(Dialogs::Answer::No));
    }

    // Full screen on the projector and back: F11 and Esc on the draw screen itself, and on the
    // main window at the laptop (keys and menu), where the operator is told they work.
    void fullScreenAndBackFromEitherWindow() {
        DrawBench rig(3, 2);
        MainWindow window(rig.state, rig.ts.services);
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.mnu開始_Click();
        QPointer<DrawScreen> screen = window.findChild<DrawScreen*>(QStringLiteral("frm抽選"));
        QVERIFY(screen && !screen->isWindow());
        rig.ts.clock.Advance(1000);
        QTRY_COMPARE(QApplication::focusWidget(), screen.data());
        QTest::keyClick(window.windowHandle(), Qt::Key_F11);
        QVERIFY(screen->IsFullScreen() && screen->isWindow());
        QVERIFY(screen->screen() != window.screen()); // on the projector
        QCOMPARE(screen->geometry(), DrawScreen::ProjectorScreen(&window)->geometry());
        QVERIFY(window.ChildScreen());
        PanelWidget* first = screen->findChild<PanelWidget*>(QStringLiteral("Picパネル_0"));
        PanelWidget* last = screen->findChild<PanelWidget*>(QStringLiteral("Picパネル_24"));
        QVERIFY(qAbs(first->x() - (screen->width() - last->geometry().right() - 1)) <= 2); // centred
        // At the laptop: the stand-in says what works, and it does.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto* standIn = qobject_cast<QLabel*>(window.ChildScreen());
        QVERIFY(standIn && standIn->text().contains(QStringLiteral("F11 または Esc で戻ります")));
        QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
        QVERIFY(!screen->IsFullScreen() && !screen->isWindow());
        QVERIFY(first->x() < 20); // back at the left edge, as designed
        QTest::keyClick(window.windowHandle(), Qt::Key_F11);
        QVERIFY(screen->IsFullScreen());
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.windowHandle(), Qt::Key_F11);
        QVERIFY(!screen->IsFullScreen());
        window.findChild<QAction*>(QStringLiteral("mnu全画面"))->trigger();
        QVERIFY(screen->IsFullScreen());
        // On the projector itself.
        screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen));
        QTest::keyClick(screen->windowHandle(), Qt::Key_Escape);
        QVERIFY(!screen->IsFullScreen());
        QTest::keyClick(window.windowHandle(), Qt::Key_F11);
        QVERIFY(screen->IsFullScreen());
        screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen));
        QTest::keyClick(screen->windowHandle(), Qt::Key_F11);
        QVERIFY(!screen->IsFullScreen());
        // 抽選 → 終了 while full screen closes the screen and its child window.
        QTest::keyClick(window.windowHandle(), Qt::Key_F11);
        window.mnu終了_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(screen.isNull());
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window.ChildScreen());
    }
};

int main(int argc, char** argv) {
    // Two screens side by side: the laptop and the projector.
    QTemporaryFile config;
    config.setFileTemplate(QDir::tempPath() + QStringLiteral("/mirda-screens-XXXXXX.json"));
    if (!config.open()) {
        return 1;
    }
    config.write(R"({"screens": [
        {"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96},
        {"name": "projector", "x": 1366, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    DrawScreenTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "drawscreen_test.moc"
