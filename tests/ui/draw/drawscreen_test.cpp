// What only the draw screen's widgets can show: the grid's layout and its first tick, the close
// refusal, painted panels, the panel box, the background colour and the typed
// surface. The draw itself is tested in core, on a screen that only remembers.
#include "core/common/designfonts.h"
#include "core/record/cardrecord.h"
#include "core/record/drawrecord.h"
#include "core/record/recordfile.h"
#include "support/drawbench.h"
#include "ui/app/dialogs.h"
#include "ui/draw/effectarea.h"

#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QtTest>

namespace {

QString WritePhoto(const DrawBench& b, const QColor& colour) {
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(colour);
    const QString path = QDir(b.state.Settings.Pictures).filePath(QStringLiteral("photo.png"));
    photo.save(path);
    return path;
}

} // namespace

class DrawScreenTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

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

    void closeIsRefusedOnceADrawHasStarted() {
        DrawBench b(5);
        b.state.DrawKind = DrawKind::Simple;
        b.Open();
        QVERIFY(b.Button("Cmd背景色")->isVisible());
        b.screen->cmd抽選開始_Click();
        QVERIFY(!b.Button("cmd抽選開始")->isVisible() && !b.Button("Cmd背景色")->isVisible());
        QVERIFY(!b.Panel(0)->isVisible());
        b.Draw();
        QVERIFY(b.Button("cmd抽選開始")->isVisible() && b.Panel(0)->isVisible());
        QVERIFY(!b.screen->close());
        QCOMPARE(b.ts.dialogs.Messages().last(), QStringLiteral("抽選実行中はこの操作はできません"));
        b.state.DrawInProgress = false;
        QVERIFY(b.screen->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(b.screen.isNull());
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
        QImage typed = b.screen->grab().toImage();
        int black = 0;
        for (int y = 0; y < typed.height(); y += 2) {
            for (int x = 0; x < typed.width(); x += 2) {
                black += typed.pixelColor(x, y) == QColor(Qt::black) ? 1 : 0;
            }
        }
        QVERIFY(black > 20);
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

    // Panels show their participant's photo, except in mode 4; a photo that is missing leaves the box white.
    void panelsShowPhotosExceptInModeFour() {
        for (const auto& [mode, file, top] :
             {std::tuple{1, "photo.png", Qt::blue}, std::tuple{4, "photo.png", Qt::white},
              std::tuple{1, "missing.jpg", Qt::white}}) {
            DrawBench b(1, mode);
            b.state.DrawKind = DrawKind::Simple;
            b.state.Roster.SetCell(RosterColumn::Photo, 1, QString::fromLatin1(file));
            WritePhoto(b, Qt::blue);
            b.Open();
            b.Draw();
            PanelWidget* panel = b.Panel(0);
            QCOMPARE(panel->ShownName(), QStringLiteral("参加者1"));
            if (mode == 4) {
                QCOMPARE(panel->ShownPhoto(), QString());
            }
            const auto shown = [panel] {
                const QImage shot = panel->grab().toImage();
                return shot.pixelColor(shot.width() / 2, shot.height() / 4);
            };
            QTRY_COMPARE(shown(), QColor(top));
            QVERIFY(panel->NameSize() > 0);
        }
    }

    // A draw record that cannot be written is told between draws, once, not at every line.
    void aRecordThatCannotBeWrittenIsToldOnce() {
        DrawBench b(3, 2);
        b.state.DrawKind = DrawKind::Simple;
        QVERIFY(
            QDir().mkpath(DrawRecordPath(b.folder.path(), QDate::currentDate()))); // a folder in its place
        b.Open();
        b.Draw();
        b.ts.clock.Advance(3000);
        QCOMPARE(b.ts.dialogs.Messages().size(), 1);
        QVERIFY(
            b.ts.dialogs.Messages().first().startsWith(QStringLiteral("抽選記録を書き込めませんでした。")));
    }

    void backgroundColourIsChosenAndSaved() {
        DrawBench b(2, 1);
        b.Open();
        b.ts.dialogs.Colours.push_back(QColor(200, 200, 200));
        QTest::mouseClick(b.Button("Cmd背景色"), Qt::LeftButton);
        QCOMPARE(b.state.Settings.Backcolor, QStringLiteral("13158600"));
        QVERIFY(QFile::exists(QDir(b.folder.path()).filePath(QStringLiteral("Mrda.ini"))));
        QVERIFY(b.screen->isEnabled());
        QCOMPARE(b.screen->grab().toImage().pixelColor(b.screen->width() - 5, b.screen->height() - 5),
                 QColor(200, 200, 200));
        b.ts.dialogs.Colours.push_back(std::nullopt);
        QTest::mouseClick(b.Button("Cmd背景色"), Qt::LeftButton);
        QCOMPARE(b.state.Settings.Backcolor, QStringLiteral("13158600"));
    }

    // A game left off today on the same roster is offered again when the screen opens, naming the
    // lines of the record it could not read; a game that cannot go on as things stand offers a
    // fresh game, or the way back with nothing written.
    void aGameLeftOffIsOfferedAgain_data() {
        QTest::addColumn<int>("mode"); // the mode the screen opens in
        QTest::addColumn<int>("answer");
        QTest::newRow("yes: the panels as they were") << 2 << int(Dialogs::Answer::Yes);
        QTest::newRow("no: a fresh game") << 2 << int(Dialogs::Answer::No);
        QTest::newRow("another mode: a fresh game") << 3 << int(Dialogs::Answer::Yes);
        QTest::newRow("another mode: back, nothing written") << 3 << int(Dialogs::Answer::No);
    }
    void aGameLeftOffIsOfferedAgain() {
        QFETCH(int, mode);
        QFETCH(int, answer);
        DrawBench b(5, mode);
        b.state.Settings.RosterFilePath = QStringLiteral("/rosters/sample.txt");
        const QString record = DrawRecordPath(b.folder.path(), QDate::currentDate());
        DrawRecordLine line;
        line.GameMode = 2;
        line.Cols = 5;
        line.Rows = 5;
        line.RosterPath = b.state.Settings.RosterFilePath;
        line.Fingerprint = RosterFingerprint(b.state.Roster);
        FileError error;
        QVERIFY(AppendDrawRecord(record, line, error));
        for (const auto& [row, panel] : {std::pair{3, 7}, std::pair{1, 2}}) {
            line.Event = DrawEvent::Draw;
            line.Row = static_cast<qint16>(row);
            line.Name = b.state.Roster.Cell(RosterColumn::Name, row);
            line.Panel = static_cast<qint16>(panel);
            QVERIFY(AppendDrawRecord(record, line, error));
        }
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        b.ts.dialogs.YesNo.push_back(Dialogs::Answer(answer));
        b.Open();
        QCOMPARE(b.ts.dialogs.Questions().size(), 1);
        const QString asked = b.ts.dialogs.Questions().first();
        QCOMPARE(b.ts.dialogs.LastDefault, Dialogs::Answer::No);
        QCOMPARE(b.ts.dialogs.Log.front().extra, QStringLiteral("no room")); // read by the room
        if (mode != 2) {
            QVERIFY(asked.startsWith(QStringLiteral("前回の抽選（2 人）は、このままでは続けられません。")));
            QVERIFY(asked.contains(QStringLiteral("ゲームモードが変わっています")));
            if (Dialogs::Answer(answer) == Dialogs::Answer::No) {
                QTRY_VERIFY(!b.screen); // closed again
                QVERIFY(file.open(QIODevice::ReadOnly));
                QCOMPARE(file.readAll(), before); // nothing written
                return;
            }
        } else {
            QCOMPARE(asked, QStringLiteral("前回の抽選（2 人）を続けますか？"));
        }
        const bool resumed = mode == 2 && Dialogs::Answer(answer) == Dialogs::Answer::Yes;
        QCOMPARE(b.Panel(7)->IsOpen(), resumed);
        QCOMPARE(b.Panel(2)->IsOpen(), resumed);
        if (resumed) {
            QCOMPARE(b.Panel(7)->ShownName(), QStringLiteral("参加者3"));
        }
        QCOMPARE(b.state.DrawInProgress, resumed);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(ReadDrawRecord(file.readAll()).back().Event, resumed ? DrawEvent::Resume : DrawEvent::Start);
    }

    // Over one card record: S shows the room's standing (a bingo card's number opens its check),
    // H who was drawn, C a card checked by its number.
    void historyCardCheckAndTheRoomsStanding() {
        DrawBench b(9, 3, 3, 3);
        b.state.Settings.RosterFilePath = QStringLiteral("/rosters/sample.txt");
        std::vector<RecordedCard> cards;
        for (const auto& rows :
             {std::vector<int>{1, 2, 3, 4, 0, 5, 6, 7, 8}, std::vector<int>{9, 8, 7, 6, 0, 5, 4, 3, 2}}) {
            RecordedCard& card = cards.emplace_back();
            card.Number = static_cast<int>(cards.size());
            card.Side = 3;
            for (const int row : rows) {
                card.Cells.push_back(
                    row == 0 ? RecordedCell{0, QStringLiteral("★"), true}
                             : RecordedCell{static_cast<qint16>(row), QStringLiteral("参加者%1").arg(row)});
            }
        }
        FileError error;
        QVERIFY(
            AddCardsToRecord(CardRecordPath(b.folder.path(), b.state.Settings.RosterFilePath), cards, error));
        b.Open();
        QTest::keyClick(b.screen, Qt::Key_S);
        auto* words = b.screen->findChild<QLabel*>(QStringLiteral("lbl会場の状況"));
        QVERIFY(words && words->isVisible());
        QTRY_COMPARE(words->text(), QStringLiteral("リーチ 0 枚・ビンゴ 0 枚"));
        b.Answer("Command1"); // panel 0 opened by hand: row 1
        QTest::mouseClick(b.Panel(0), Qt::RightButton);
        QStringList shown;
        b.ts.dialogs.Execs.push_back([&](QDialog& box) {
            for (int i = 0; i < box.findChild<QListWidget*>()->count(); ++i) {
                shown << box.findChild<QListWidget*>()->item(i)->text();
            }
            return 0;
        });
        QTest::keyClick(b.screen, Qt::Key_H);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains(QStringLiteral("参加者1（登録 1・パネル 1）")),
                 qPrintable(shown.first()));
        QString verdict;
        const auto judged = [&](QDialog& box) {
            verdict = box.findChild<QLabel*>(QStringLiteral("lbl判定"))->text();
            return 0;
        };
        b.ts.dialogs.Inputs.push_back(QStringLiteral("No.0001"));
        b.ts.dialogs.Execs.push_back(judged);
        QTest::keyClick(b.screen, Qt::Key_C);
        QTRY_COMPARE(verdict, QStringLiteral("リーチ（1 列）")); // 1 and the mark on the diagonal
        b.ts.dialogs.Inputs.push_back(QStringLiteral("13"));
        QTest::keyClick(b.screen, Qt::Key_C);
        QCOMPARE(b.ts.dialogs.Messages().last(), QStringLiteral("カード No.0013 は記録にありません。"));
        for (int k = 1; k < 3; ++k) {
            b.Answer("Command1"); // panel k opened by hand: row k + 1
            QTest::mouseClick(b.Panel(k), Qt::RightButton);
        }
        QCOMPARE(words->text(), QStringLiteral("リーチ 1 枚・ビンゴ 1 枚"));
        b.ts.dialogs.Execs.push_back(judged);
        QTest::mouseClick(b.screen->findChild<QPushButton*>(QStringLiteral("btnビンゴ_0")), Qt::LeftButton);
        QCOMPARE(verdict, QStringLiteral("ビンゴ！（1 列）"));
        QTest::keyClick(b.screen, Qt::Key_S);
        QVERIFY(!words->isVisible());
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
        // Characters typed after the resize reach beyond the old width.
        const QImage shot = b.screen->grab().toImage();
        bool beyond = false;
        for (int y = 0; y < 300 && !beyond; ++y) {
            for (int x = 700; x < 1400 && !beyond; ++x) {
                beyond = shot.pixelColor(x, y) == QColor(Qt::black);
            }
        }
        QVERIFY(beyond);
    }
};

QTEST_MAIN(DrawScreenTest)
#include "drawscreen_test.moc"
