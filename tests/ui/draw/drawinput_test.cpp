// The draw screen's input as the organiser gives it: mouse and keys sent to the top-level window,
// so that the window system's own handling (the context menu that comes with the press, key
// repeats, shortcuts of the main window) takes part. Two screens, as at a party: the laptop and
// the projector.
#include "core/common/designfonts.h"
#include "support/drawbench.h"
#include "ui/app/mainwindow.h"
#include "ui/app/roombox.h"
#include "ui/draw/drawkeysbox.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
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

void RightClick(QWidget* widget) {
    QTest::mouseClick(WindowOf(widget), Qt::RightButton, {}, CentreInWindow(widget));
}

// A key as the window system gives it: a press, repeats while it is held, the release.
void Key(QWidget* over, QEvent::Type type, int key, bool repeat = false) {
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    qt_handleKeyEvent(WindowOf(over), type, key, Qt::NoModifier, text, repeat);
}

// A menu popping up runs a loop of its own: it is noted and closed so that the test goes on.
struct PopupWatch {
    QString seen;
    QStringList actions;
    PopupWatch() {
        QTimer::singleShot(0, [this] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                seen = menu->objectName();
                for (const QAction* action : menu->actions()) {
                    if (!action->isSeparator()) {
                        actions.append(action->text());
                    }
                }
                menu->close();
            }
        });
    }
};

} // namespace

class DrawInputTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InstallFontSubstitutions();
        QCOMPARE(QGuiApplication::screens().size(), 2);
    }

    // In modes 2 and 3 a right click on a panel, open or closed, brings its box, never the
    // screen's menu; the background keeps the menu; in mode 1 the panels take no right click.
    void aRightClickOnAPanelOpensItsBox_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("mode 2") << 2;
        QTest::newRow("mode 3") << 3;
    }
    void aRightClickOnAPanelOpensItsBox() {
        QFETCH(int, mode);
        if (mode == 2) { // mode 1: panels take no right click; the screen's menu comes
            DrawBench one(3, 1);
            one.Open();
            PopupWatch popup;
            RightClick(one.Panel(2));
            QCOMPARE(popup.seen, QStringLiteral("mnu抽選画面"));
            QVERIFY(one.ts.dialogs.Log.empty());
        }
        DrawBench b(6, mode);
        b.Open();
        QStringList enabled;
        const auto answer = [&](const char* button) {
            b.ts.dialogs.Execs.push_back([&enabled, button](QDialog& box) {
                enabled.clear();
                for (const char* name : {"Command1", "Command2", "CmdExit"}) {
                    if (box.findChild<QPushButton*>(QString::fromUtf8(name))->isEnabled()) {
                        enabled.append(QString::fromUtf8(name));
                    }
                }
                box.findChild<QPushButton*>(QString::fromUtf8(button))->click();
                return box.result();
            });
        };
        answer("Command1");
        {
            PopupWatch popup;
            RightClick(b.Panel(3));
            QCOMPARE(popup.seen, QString());
        }
        QCOMPARE(enabled, (QStringList{QStringLiteral("Command1"), QStringLiteral("CmdExit")}));
        QVERIFY(b.Panel(3)->IsOpen());
        if (mode == 3) {
            QCOMPARE(b.screen->Sequence().PanelRow(3), qint16(4)); // the panel's own participant
        }
        answer("Command2");
        RightClick(b.Panel(3));
        QCOMPARE(enabled, (QStringList{QStringLiteral("Command2"), QStringLiteral("CmdExit")}));
        QVERIFY(!b.Panel(3)->IsOpen());
        QCOMPARE(b.Asked(QStringLiteral("exec")), 2);
        // A left click does nothing; the background still has the screen's menu.
        QTest::mouseClick(WindowOf(b.screen), Qt::LeftButton, {}, CentreInWindow(b.Panel(3)));
        PopupWatch popup;
        QTest::mouseClick(WindowOf(b.screen), Qt::RightButton, {},
                          QPoint(b.screen->width() - 5, b.screen->height() - 5));
        QCOMPARE(popup.seen, QStringLiteral("mnu抽選画面"));
        QVERIFY(popup.actions.contains(QStringLiteral("操作キー一覧 (F1)")));
        QCOMPARE(b.Asked(QStringLiteral("exec")), 2);
    }

    // A key held down draws once, as one click does, and a box that opens under it stays up.
    void aHeldKeyDrawsOnce_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("key");
        QTest::newRow("Space, mode 1") << 1 << int(Qt::Key_Space);
        QTest::newRow("Enter, mode 4") << 4 << int(Qt::Key_Return);
    }
    void aHeldKeyDrawsOnce() {
        QFETCH(int, mode);
        QFETCH(int, key);
        DrawBench b(3, mode);
        b.state.DrawKind = DrawKind::Simple;
        b.Open();
        b.screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(b.screen));
        Key(b.screen, QEvent::KeyPress, key);
        QVERIFY(b.screen->Sequence().IsRunning());
        for (int held = 0; held < 400; ++held) { // 40 s of repeats, ten a second
            b.ts.clock.Advance(100);
            Key(b.screen, QEvent::KeyRelease, key, true);
            Key(b.screen, QEvent::KeyPress, key, true);
        }
        Key(b.screen, QEvent::KeyRelease, key);
        QVERIFY(!b.screen->Sequence().IsRunning());
        QCOMPARE(b.screen->Sequence().DrawCount(), 1);
        // Each fresh press draws again, until nobody is left: then the message, once a press.
        for (int press = 0; press < 3; ++press) {
            QTest::keyClick(WindowOf(b.screen), Qt::Key(key));
            b.RunOn();
        }
        QCOMPARE(b.screen->Sequence().DrawCount(), 3);
        QCOMPARE(b.ts.dialogs.Messages().size(), 1);
    }

    // The room's boxes: a key held from before the box, or repeating, does not answer it; a
    // fresh press does.
    void aBoxIsNotAnsweredByAHeldKey() {
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
    }

    // Messages are read from the back of a hall (type of at least 1/40 of the screen's height), take
    // the width their text needs and break between phrases; questions keep their default.
    void messagesAreSizedToTheirText() {
        QCOMPARE(std::tuple(RoomTypePixels(1080), RoomTypePixels(1081), RoomTypePixels(2160)),
                 std::tuple(27, 28, 54));
        DrawBench b(1);
        b.Open();
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

    // F1 shows the keys in the room's type.
    void theKeysAreListed() {
        DrawBench b(1);
        b.Open();
        b.screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(b.screen));
        QStringList shown;
        b.ts.dialogs.Execs.push_back([&](QDialog& box) {
            for (const QLabel* label : box.findChildren<QLabel*>()) {
                shown.append(label->text());
                if (QFontInfo(label->font()).pixelSize() <
                    RoomTypePixels(b.screen->screen()->geometry().height())) {
                    shown.append(QStringLiteral("small"));
                }
            }
            return 0;
        });
        QTest::keyClick(WindowOf(b.screen), Qt::Key_F1);
        QCOMPARE(b.Asked(QStringLiteral("exec")), 1);
        for (const auto& [key, what] : DrawKeysBox::Keys()) {
            QVERIFY(shown.contains(key) && shown.contains(what));
        }
        QVERIFY(!shown.contains(QStringLiteral("small")));
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

    // A wide grid fits the width, in the window and full screen: every panel is seen whole.
    void everyPanelIsOnTheScreen_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::newRow("18 x 1") << 18 << 1;
        QTest::newRow("500 x 1") << 500 << 1;
        QTest::newRow("25 x 20") << 25 << 20;
    }
    void everyPanelIsOnTheScreen() {
        QFETCH(int, cols);
        QFETCH(int, rows);
        DrawBench b(3, 1, cols, rows);
        b.Open();
        for (const bool full : {false, true}) {
            if (full) {
                b.screen->ShowFullScreen();
                b.ts.clock.Advance(1000);
            }
            for (int k = 0; k < b.screen->Sequence().PanelCount(); ++k) {
                QVERIFY2(b.screen->rect().contains(b.Panel(k)->geometry()),
                         qPrintable(QStringLiteral("panel %1 full %2").arg(k).arg(full)));
                QVERIFY(b.Panel(k)->isVisible() && b.Panel(k)->width() > 1);
            }
        }
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
    DrawInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "drawinput_test.moc"
