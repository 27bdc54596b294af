// The draw screen under what happens around a running draw: modal boxes (in the program every box
// runs an event loop of its own, in which the screen's timers keep firing and anything the screen
// itself does not refuse may run; these tests play that loop by advancing the clock and calling
// the screen from inside the box) and the stop command of the main window.

#include "core/common/designfonts.h"
#include "support/drawbench.h"
#include "ui/app/mainwindow.h"
#include "ui/draw/kapmenubox.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

class DrawModalTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void emptyRosterRefusesEverythingUntilItClosesItself() {
        DrawBench rig(0, 2);
        // The user tries everything while the message is up (the grid is laid out meanwhile),
        // and again after it.
        rig.ts.dialogs.WhileNextBoxIsUp = [&] {
            rig.ts.clock.Advance(2500);
            QVERIFY(rig.Panel(0)->isVisible());
            rig.TryEverything();
        };
        rig.Create();
        QVERIFY(rig.ts.dialogs.Messages().isEmpty()); // told at the first tick, in the room's type
        rig.ts.clock.Advance(1000);
        QVERIFY(rig.screen);
        QCOMPARE(rig.ts.dialogs.Messages(), QStringList{QStringLiteral("参加者が1件も登録されていません。")});
        QCOMPARE(rig.ts.dialogs.Log.front().extra, QStringLiteral("room"));
        QVERIFY(!rig.Button("cmd抽選開始")->isEnabled());
        rig.TryEverything();
        QCOMPARE(static_cast<int>(rig.ts.dialogs.Log.size()), 1);
        QVERIFY(!rig.state.DrawInProgress);
        rig.ts.clock.Advance(1000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(rig.screen.isNull());
        QCOMPARE(rig.ts.clock.ActiveTimerCount(), 0);
    }

    void theScreenDoesNotCloseItselfUnderItsOwnBox() {
        DrawBench rig(0, 1);
        rig.Create();
        rig.ts.clock.Advance(1); // the opening message: the screen is to close itself
        QCOMPARE(rig.ts.dialogs.Messages().size(), 1);
        // Its closing ticks fall due while another box of the screen is up (the refusal of a
        // close request): it waits until that box is answered.
        rig.state.DrawInProgress = true;
        rig.ts.dialogs.WhileNextBoxIsUp = [&] {
            rig.ts.clock.Advance(3000);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(rig.screen);
        };
        QVERIFY(!rig.screen->close());
        QVERIFY(rig.screen);
        QCOMPARE(rig.ts.dialogs.Messages().size(), 2);
        rig.state.DrawInProgress = false;
        rig.ts.clock.Advance(1000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(rig.screen.isNull());
    }

    void nothingElseStartsWhileThePanelBoxIsOpen() {
        DrawBench rig(3, 2);
        rig.Open();
        rig.ts.dialogs.Execs.push_back([&](QDialog& box) {
            rig.ts.clock.Advance(5000);
            rig.TryEverything();
            box.findChild<QPushButton*>(QStringLiteral("CmdExit"))->click();
            return box.result();
        });
        rig.screen->Picパネル_MouseUp(6);
        QCOMPARE(rig.Asked(QStringLiteral("exec")), 1);
        QCOMPARE(static_cast<int>(rig.ts.dialogs.Log.size()), 1);
        QVERIFY(!rig.state.DrawInProgress);
        QVERIFY(!rig.screen->Sequence().IsRunning());
        QCOMPARE(rig.screen->Sequence().Pools().Candidates().Count, 3);
        // Afterwards everything works again.
        rig.ts.dialogs.Execs.push_back([](QDialog& box) {
            box.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            return box.result();
        });
        rig.screen->Picパネル_MouseUp(6);
        QVERIFY(rig.Panel(6)->IsOpen());
    }

    void nothingElseStartsWhileTheColourBoxIsOpen() {
        DrawBench rig(3, 2);
        rig.Open();
        rig.ts.dialogs.WhileNextBoxIsUp = [&] {
            rig.ts.clock.Advance(3000);
            rig.TryEverything();
        };
        rig.ts.dialogs.Colours.push_back(std::nullopt);
        rig.Button("Cmd背景色")->click();
        QCOMPARE(static_cast<int>(rig.ts.dialogs.Log.size()), 1);
        QVERIFY(!rig.state.DrawInProgress);
        QVERIFY(rig.screen->isEnabled());
    }

    void theScreenGoingAwayUnderThePanelBoxIsSafe() {
        DrawBench rig(3, 3);
        rig.Open();
        rig.ts.dialogs.Execs.push_back([&](QDialog&) {
            delete rig.screen.data();
            return int(QDialog::Rejected);
        });
        rig.screen->Picパネル_MouseUp(2);
        QVERIFY(rig.screen.isNull());
        QCOMPARE(rig.ts.clock.ActiveTimerCount(), 0);
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
            QVERIFY2(available.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                .arg(placed.x())
                                                                .arg(placed.y())
                                                                .arg(placed.width())
                                                                .arg(placed.height())));
            if (available.contains(QRect(wished, placed.size() + QSize(16, 48)))) {
                QCOMPARE(placed.topLeft(), wished); // where it fits, exactly at the panel's centre
            }
        }
    }

    void aScreenClosingItselfFullScreenTakesItsChildWindow() {
        DrawBench rig(0, 2);
        MainWindow window(rig.state, rig.ts.services);
        window.show();
        window.mnu開始_Click();
        QPointer<DrawScreen> screen = window.findChild<DrawScreen*>(QStringLiteral("frm抽選"));
        screen->ShowFullScreen();
        rig.ts.clock.Advance(2000); // the message, then the self close
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(screen.isNull());
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window.ChildScreen());
    }

    void stopQuestionWhileTheDrawRunsOn_data() {
        QTest::addColumn<int>("advanceMs"); // virtual time that passes while the question is up
        QTest::addColumn<bool>("yes");
        QTest::newRow("draw ends during the question, No") << 120000 << false;
        QTest::newRow("draw ends during the question, Yes") << 120000 << true;
        QTest::newRow("draw goes on during the question, Yes") << 2500 << true;
        QTest::newRow("draw goes on during the question, No") << 2500 << false;
    }
    void stopQuestionWhileTheDrawRunsOn() {
        QFETCH(int, advanceMs);
        QFETCH(bool, yes);
        DrawBench rig(3, 2);
        rig.state.Roster.SetCell(RosterColumn::Song, 1, QStringLiteral("song.mp3"));
        rig.state.Roster.SetCell(RosterColumn::Song, 2, QStringLiteral("song.mp3"));
        rig.state.Roster.SetCell(RosterColumn::Song, 3, QStringLiteral("song.mp3"));
        rig.ts.music.AddSong(QDir(rig.state.Settings.Musics).filePath(QStringLiteral("song.mp3")), 200);
        MainWindow window(rig.state, rig.ts.services);
        const int idleTimers = rig.ts.clock.ActiveTimerCount();
        window.mnu開始_Click();
        QPointer<DrawScreen> screen = window.findChild<DrawScreen*>(QStringLiteral("frm抽選"));
        QVERIFY(screen);
        rig.ts.clock.Advance(1000);
        screen->cmd抽選開始_Click();
        rig.ts.clock.Advance(3000);
        QVERIFY(screen->Sequence().IsRunning());
        rig.ts.dialogs.WhileNextBoxIsUp = [&] { rig.ts.clock.Advance(advanceMs); };
        rig.ts.dialogs.YesNo.push_back(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        window.mnu終了_Click();
        QCOMPARE(rig.ts.dialogs.Questions(), QStringList{QStringLiteral("抽選を中止しますか？")});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (yes) {
            QVERIFY(screen.isNull());
            QCOMPARE(rig.ts.music.OpenCount(), 0);
            QCOMPARE(rig.ts.clock.ActiveTimerCount(), idleTimers);
            rig.ts.clock.Advance(60000);
            QVERIFY(rig.ts.dialogs.Messages().isEmpty());
            return;
        }
        QVERIFY(screen);
        QVERIFY(rig.state.DrawInProgress);
        for (int guard = 0; screen->Sequence().IsRunning() && guard < 100000; ++guard) {
            rig.ts.clock.AdvanceToNext();
        }
        QCOMPARE(screen->Sequence().DrawCount(), 1);
        QVERIFY(screen->findChild<QPushButton*>(QStringLiteral("cmd抽選開始"))->isVisibleTo(screen));
        QVERIFY(rig.ts.dialogs.Messages().isEmpty());
        // The next draw runs as usual.
        screen->cmd抽選開始_Click();
        for (int guard = 0; screen->Sequence().IsRunning() && guard < 100000; ++guard) {
            rig.ts.clock.AdvanceToNext();
        }
        QCOMPARE(screen->Sequence().DrawCount(), 2);
        rig.state.DrawInProgress = false;
        window.mnu終了_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(screen.isNull());
    }
};

QTEST_MAIN(DrawModalTest)
#include "drawmodal_test.moc"
