// What only the draw screen's widgets can show: the grid's layout and its first tick, the self
// close, the close refusal, painted panels, the panel box, the background colour and the typed
// surface. The draw itself is tested in core, on a screen that only remembers.
#include "core/common/designfonts.h"
#include "core/draw/profile.h"
#include "core/record/cardrecord.h"
#include "core/record/drawrecord.h"
#include "core/record/recordfile.h"
#include "support/drawbench.h"
#include "ui/app/dialogs.h"
#include "ui/colour/pickcolor.h"
#include "ui/draw/effectarea.h"

#include <QColorDialog>
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

    void emptyRosterClosesItself() {
        DrawBench b(0);
        b.Create();
        QVERIFY(b.ts.dialogs.Messages().isEmpty());
        b.ts.clock.Advance(1);
        QCOMPARE(b.ts.dialogs.Messages(), QStringList{QStringLiteral("参加者が1件も登録されていません。")});
        QVERIFY(b.screen);
        b.ts.clock.Advance(999);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(b.screen.isNull());
        QCOMPARE(b.ts.clock.ActiveTimerCount(), 0);
    }

    // The draw screen's messages are read from the back of a hall: their type is at least 1/40 of
    // the height of the screen they are shown on.
    void messagesAreReadFromTheBackOfTheRoom() {
        QCOMPARE(RoomTypePixels(1080), 27);
        QCOMPARE(RoomTypePixels(1081), 28);
        QCOMPARE(RoomTypePixels(2160), 54);
        DrawBench b(0);
        b.Create();
        b.ts.clock.Advance(1);
        QCOMPARE(b.ts.dialogs.Log.back().extra, QStringLiteral("room"));
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

    void panelsShowPhotosExceptInModeFour() {
        for (int mode : {1, 4}) {
            DrawBench b(1, mode);
            b.state.DrawKind = DrawKind::Simple;
            b.state.Roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("photo.png"));
            const QString photo = WritePhoto(b, Qt::blue);
            b.Open();
            b.Draw();
            PanelWidget* panel = b.Panel(0);
            QCOMPARE(panel->ShownName(), QStringLiteral("参加者1"));
            QCOMPARE(panel->ShownPhoto(), mode == 4 ? QString() : photo);
            const auto top = [panel] {
                const QImage shot = panel->grab().toImage();
                return shot.pixelColor(shot.width() / 2, shot.height() / 4);
            };
            QTRY_COMPARE(top(), mode == 4 ? QColor(Qt::white) : QColor(Qt::blue));
            QVERIFY(panel->NameSize() > 0);
        }
    }

    // A photo that takes long to decode holds nothing up: the photo's time starts on its tick with
    // the area black, and the photo appears when it is ready.
    void aLargePhotoIsDecodedOffTheScreensThread() {
        DrawBench b(1, 2);
        b.state.DrawKind = DrawKind::Simple;
        b.state.Roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("large.png"));
        QImage large(6000, 6000, QImage::Format_RGB32);
        large.fill(Qt::blue);
        QVERIFY(
            large.save(QDir(b.state.Settings.Pictures).filePath(QStringLiteral("large.png")), nullptr, 0));
        b.Open();
        b.screen->cmd抽選開始_Click();
        auto* effect = b.screen->findChild<EffectArea*>(QStringLiteral("Pic効果用"));
        QVERIFY(effect->isVisible());
        const QPoint centre(effect->width() / 2, effect->height() / 2);
        QCOMPARE(effect->grab().toImage().pixelColor(centre), QColor(Qt::black));
        QTRY_COMPARE_WITH_TIMEOUT(effect->grab().toImage().pixelColor(centre), QColor(Qt::blue), 30000);
    }

    void missingPhotoLeavesTheBoxWhite() {
        DrawBench b(1, 1);
        b.state.DrawKind = DrawKind::Simple;
        b.state.Roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("missing.jpg"));
        b.Open();
        b.Draw();
        const QImage shot = b.Panel(0)->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() / 4), QColor(Qt::white));
        QVERIFY(b.Panel(0)->NameSize() > 0);
    }

    // Whatever colour the organiser picks (any basic colour of the colour dialog, or a number typed
    // into the settings file), the typed lines and the scrolling line read at 4.5 : 1 or better.
    void textReadsOnEveryBackground() {
        std::vector<QColor> backgrounds;
        for (int i = 0; i < 48; ++i) {
            backgrounds.push_back(QColorDialog::standardColor(i));
        }
        for (const char* typed : {"65535", "8454016", "16711680", "13158600", "8421504", "7763574", "0",
                                  "16777215", "32768", "8388736"}) {
            QColor colour;
            QVERIFY(ColourFromText(QString::fromLatin1(typed), colour));
            backgrounds.push_back(colour);
        }
        for (const QColor& background : backgrounds) {
            const QColor text = TextIsWhiteOn(background) ? Qt::white : Qt::black;
            QVERIFY2(ContrastRatio(text, background) >= 4.5, qPrintable(background.name()));
        }
        QVERIFY(!TextIsWhiteOn(QColor(255, 255, 0)) && !TextIsWhiteOn(QColor(128, 255, 128)));
        QVERIFY(TextIsWhiteOn(QColor(0, 0, 255)));
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

    // A game left off today on the same roster is offered again when the screen opens.
    void aGameLeftOffIsOfferedAgain_data() {
        QTest::addColumn<int>("mode"); // the mode the screen opens in
        QTest::addColumn<int>("answer");
        QTest::newRow("yes: the panels as they were") << 2 << int(Dialogs::Answer::Yes);
        QTest::newRow("no: a fresh game") << 2 << int(Dialogs::Answer::No);
        QTest::newRow("another mode: refused, said why") << 3 << int(Dialogs::Answer::Yes);
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
            line.Panel = panel;
            QVERIFY(AppendDrawRecord(record, line, error));
        }
        b.ts.dialogs.YesNo.push_back(Dialogs::Answer(answer));
        b.Open();
        if (mode != 2) {
            QVERIFY(b.ts.dialogs.Questions().isEmpty());
            QVERIFY(b.ts.dialogs.Messages().first().contains(QStringLiteral("ゲームモードが変わっています")));
        } else {
            QCOMPARE(b.ts.dialogs.Questions(),
                     QStringList{QStringLiteral("前回の抽選（2 人）を続けますか？")});
            QCOMPARE(b.ts.dialogs.LastDefault, Dialogs::Answer::No);
            QCOMPARE(b.ts.dialogs.Log.front().extra, QStringLiteral("no room")); // read by the room
        }
        const bool resumed = mode == 2 && Dialogs::Answer(answer) == Dialogs::Answer::Yes;
        QCOMPARE(b.Panel(7)->IsOpen(), resumed);
        QCOMPARE(b.Panel(2)->IsOpen(), resumed);
        if (resumed) {
            QCOMPARE(b.Panel(7)->ShownName(), QStringLiteral("参加者3"));
        }
        QCOMPARE(b.state.DrawInProgress, resumed);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(ReadDrawRecord(file.readAll()).back().Event, resumed ? DrawEvent::Resume : DrawEvent::Start);
    }

    // Who was drawn, and a card checked by its number, over the draw.
    void historyAndCardCheck() {
        DrawBench b(9, 3, 3, 3);
        b.state.DrawKind = DrawKind::Simple;
        b.state.Settings.RosterFilePath = QStringLiteral("/rosters/sample.txt");
        b.Open();
        b.Answer("Command1"); // panel 0 opened by hand: row 1
        QTest::mouseClick(b.Panel(0), Qt::RightButton);
        RecordedCard card;
        card.Number = 12;
        card.Fingerprint = RosterFingerprint(b.state.Roster);
        card.Side = 3;
        for (int k = 0; k < 9; ++k) {
            card.Cells.push_back(
                k == 4 ? RecordedCell{0, QStringLiteral("★"), true}
                       : RecordedCell{static_cast<qint16>(k + 1), QStringLiteral("参加者%1").arg(k + 1)});
        }
        FileError error;
        QVERIFY(AddCardsToRecord(CardRecordPath(b.folder.path(), b.state.Settings.RosterFilePath), {card},
                                 error));
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
        b.ts.dialogs.Inputs.push_back(QStringLiteral("No.0012"));
        b.ts.dialogs.Execs.push_back([&](QDialog& box) {
            verdict = box.findChild<QLabel*>(QStringLiteral("lbl判定"))->text();
            return 0;
        });
        QTest::keyClick(b.screen, Qt::Key_C);
        QCOMPARE(verdict, QStringLiteral("リーチ（1 列）")); // 1 and the mark on the diagonal
        b.ts.dialogs.Inputs.push_back(QStringLiteral("13"));
        QTest::keyClick(b.screen, Qt::Key_C);
        QCOMPARE(b.ts.dialogs.Messages().last(), QStringLiteral("カード No.0013 は記録にありません。"));
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
