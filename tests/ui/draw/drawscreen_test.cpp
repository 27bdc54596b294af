#include "core/common/designfonts.h"
#include "core/draw/drawpools.h"
#include "support/testservices.h"
#include "ui/draw/drawscreen.h"
#include "ui/draw/effectarea.h"
#include "ui/draw/panelwidget.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

namespace {

// A draw screen on fake services, opened and laid out (the first housekeeping tick).
struct Bench {
    TestServices ts;
    ProgramState state;
    QPointer<DrawScreen> screen;
    QTemporaryDir folder;

    explicit Bench(int participants, int mode = 1, int cols = 5, int rows = 5) {
        state.Roster.Clear();
        state.Settings.ApplyDefaults();
        for (int r = 1; r <= participants; ++r) {
            state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者%1").arg(r));
        }
        state.Settings.GameMode = mode;
        state.Settings.Cols = cols;
        state.Settings.Rows = rows;
        state.Settings.Pictures = folder.path();
        state.Settings.Musics = folder.path();
        state.ProgramFolder = folder.path() + QDir::separator();
    }
    ~Bench() { shut(); }

    void open() {
        screen = new DrawScreen(state, ts.services);
        screen->resize(1024, 700);
        screen->show();
        ts.clock.Advance(1000);
    }
    void shut() {
        if (screen) {
            state.DrawInProgress = false;
            screen->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // One press of the draw button, run to its end in virtual time.
    void draw() {
        screen->cmd抽選開始_Click();
        for (int guard = 0; screen && screen->IsDrawRunning() && guard < 100000; ++guard) {
            ts.clock.AdvanceToNext();
        }
        QVERIFY(screen && !screen->IsDrawRunning());
    }
    QStringList messages() const { return ts.dialogs.Messages(); }
    QString songPath(const QString& file) const { return QDir(folder.path()).filePath(file); }
};

QString path(const QTemporaryDir& dir, const QString& name) {
    return QDir(dir.path()).filePath(name);
}

// Virtual times of the song's close and of the end of the effects for one draw.
struct SongTimes {
    qint64 start = -1;
    qint64 effectsOver = -1;
    qint64 closed = -1;
};

SongTimes runTimed(Bench& b) {
    SongTimes t;
    t.start = b.ts.clock.NowMs();
    b.screen->cmd抽選開始_Click();
    for (int guard = 0; b.screen->IsDrawRunning() && guard < 100000; ++guard) {
        b.ts.clock.AdvanceToNext();
        if (t.effectsOver < 0 && b.screen->IsWaitingForSong()) {
            t.effectsOver = b.ts.clock.NowMs();
        }
        if (t.closed < 0 && !b.ts.music.Log.isEmpty() &&
            b.ts.music.Log.last().startsWith(QStringLiteral("close"))) {
            t.closed = b.ts.clock.NowMs();
            if (t.effectsOver < 0) {
                t.effectsOver = t.closed; // the wait ended as soon as it began
            }
        }
    }
    return t;
}

} // namespace

class DrawScreenTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void opensWithTheGridHiddenUntilTheFirstTick() {
        Bench b(3, 1, 0, -2);
        b.screen = new DrawScreen(b.state, b.ts.services);
        b.screen->show();
        QCOMPARE(b.screen->objectName(), QStringLiteral("frm抽選"));
        QCOMPARE(b.state.Settings.Cols, 5);
        QCOMPARE(b.state.Settings.Rows, 5);
        QCOMPARE(b.screen->PanelCount(), 25);
        QVERIFY(!b.screen->Panel(0)->isVisible());
        auto* button = b.screen->findChild<QPushButton*>(QStringLiteral("cmd抽選開始"));
        QVERIFY(button && !button->isEnabled());
        b.ts.clock.Advance(1000);
        QVERIFY(b.screen->Panel(24)->isVisible());
        QVERIFY(button->isEnabled());
        // Numbered down each column: panel 5 heads the second column.
        QCOMPARE(b.screen->Panel(5)->y(), b.screen->Panel(0)->y());
        QVERIFY(b.screen->Panel(5)->x() > b.screen->Panel(4)->x());
        QVERIFY(b.screen->Panel(1)->y() > b.screen->Panel(0)->y());
        QCOMPARE(b.screen->Panel(3)->width(), b.screen->Panel(3)->height());
        // Resizing lays the grid out again at the next tick.
        const int side = b.screen->Panel(0)->width();
        b.screen->resize(1024, 400);
        b.ts.clock.Advance(1000);
        QVERIFY(b.screen->Panel(0)->width() < side);
        // Too low for panels: they keep their place.
        const QRect kept = b.screen->Panel(7)->geometry();
        b.screen->resize(1024, 30);
        b.ts.clock.Advance(1000);
        QCOMPARE(b.screen->Panel(7)->geometry(), kept);
    }

    void emptyRosterClosesItself() {
        Bench b(0);
        b.screen = new DrawScreen(b.state, b.ts.services);
        b.screen->show();
        QVERIFY(b.messages().isEmpty());
        b.ts.clock.Advance(1);
        QCOMPARE(b.messages(), QStringList{QStringLiteral("参加者が1件も登録されていません。")});
        QVERIFY(b.screen->CloseRequested());
        QVERIFY(b.screen);
        b.ts.clock.Advance(999);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(b.screen.isNull());
        QCOMPARE(b.ts.clock.ActiveTimerCount(), 0);
    }

    void closeIsRefusedOnceADrawHasStarted() {
        Bench b(5);
        b.state.DrawKind = DrawKind::Simple;
        b.open();
        b.draw();
        QVERIFY(b.state.DrawInProgress);
        QVERIFY(!b.screen->close());
        QCOMPARE(b.messages().last(), QStringLiteral("抽選実行中はこの操作はできません"));
        QVERIFY(b.screen);
        b.state.DrawInProgress = false;
        QVERIFY(b.screen->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(b.screen.isNull());
    }

    void mode1OpensPanelsInOrder() {
        Bench b(10, 1);
        b.state.DrawKind = DrawKind::Simple;
        b.ts.random.Push(0.4);
        b.ts.random.Push(0.7);
        b.open();
        QSet<QString> rows;
        for (int n = 0; n < 10; ++n) {
            b.draw();
            QVERIFY(b.screen->Panel(n)->IsOpen());
            QVERIFY(!b.screen->Panel(n + 1)->IsOpen());
            rows.insert(b.screen->Panel(n)->Tag());
            QCOMPARE(b.screen->DrawCount(), n + 1);
        }
        QCOMPARE(rows.size(), 10);
        QVERIFY(b.messages().isEmpty());
        b.draw();
        QCOMPARE(b.messages(), QStringList{QStringLiteral("これ以上データが登録されていません")});
        QCOMPARE(b.screen->DrawCount(), 10);
        QVERIFY(b.screen->findChild<QPushButton*>(QStringLiteral("cmd抽選開始"))->isVisible());
    }

    void mode1PastTheLastPanelIsRefused() {
        Bench b(5, 1, 1, 2);
        b.state.DrawKind = DrawKind::Simple;
        b.open();
        b.draw();
        b.draw();
        QCOMPARE(b.screen->Pools().Candidates().Count, 3);
        b.draw();
        QCOMPARE(b.messages(),
                 QStringList{QStringLiteral("全てのパネルが開きました。\r\nこれ以上抽選はできません。")});
        QCOMPARE(b.screen->Pools().Candidates().Count, 3);
        QCOMPARE(b.screen->DrawCount(), 2);
        QVERIFY(b.ts.music.Log.isEmpty());
    }

    void mode2FillsEveryPanelOnce() {
        Bench b(30, 2);
        b.state.DrawKind = DrawKind::Simple;
        for (int i = 0; i < 200; ++i) {
            b.ts.random.Push((i * 7919 % 1000) / 1000.0);
        }
        b.open();
        QSet<QString> rows;
        for (int n = 0; n < 25; ++n) {
            b.draw();
        }
        for (int k = 0; k < 25; ++k) {
            QVERIFY2(b.screen->Panel(k)->IsOpen(), qPrintable(QString::number(k)));
            rows.insert(b.screen->Panel(k)->Tag());
        }
        QCOMPARE(rows.size(), 25);
        QVERIFY(b.messages().isEmpty());
        b.draw();
        QCOMPARE(b.messages(),
                 QStringList{QStringLiteral("全てのパネルが開きました。\r\nこれ以上抽選はできません。")});
        QCOMPARE(b.screen->Pools().Candidates().Count, 5);
    }

    void mode3OpensOwnPanelsOnly() {
        Bench b(30, 3);
        b.state.DrawKind = DrawKind::Simple;
        for (int i = 0; i < 300; ++i) {
            b.ts.random.Push((i * 104729 % 1000) / 1000.0);
        }
        b.open();
        for (int n = 0; n < 25; ++n) {
            b.draw();
            QVERIFY(b.messages().isEmpty());
        }
        for (int k = 0; k < 25; ++k) {
            QCOMPARE(b.screen->Panel(k)->Tag(), QString::number(k + 1));
            QCOMPARE(b.screen->Panel(k)->ShownName(), QStringLiteral("参加者%1").arg(k + 1));
        }
        b.draw();
        QCOMPARE(b.messages(), QStringList{QStringLiteral("これ以上データが登録されていません")});
        QCOMPARE(b.screen->Pools().Candidates().Count, 0);
    }

    void songStopsAfterItsPlayingTime() {
        Bench b(1, 2);
        b.state.Roster.SetCell(RosterColumn::Song, 1, QStringLiteral(" song.mp3 "));
        b.state.Roster.SetCell(RosterColumn::SongStart, 1, QStringLiteral("1,0"));
        b.state.Roster.SetCell(RosterColumn::SongSeconds, 1, QStringLiteral("15"));
        b.state.Roster.SetCell(RosterColumn::BirthMonth, 1, QStringLiteral("4"));
        b.state.Roster.SetCell(RosterColumn::Affiliation, 1, QStringLiteral("営業部"));
        b.ts.music.AddSong(b.songPath(QStringLiteral("song.mp3")), 200);
        b.open();
        const SongTimes t = runTimed(b);
        QCOMPARE(b.ts.music.Log.first(),
                 QStringLiteral("play %1 10").arg(b.songPath(QStringLiteral("song.mp3"))));
        QVERIFY2(t.effectsOver - t.start < 15000, qPrintable(QString::number(t.effectsOver - t.start)));
        QVERIFY2(t.effectsOver - t.start > 8000, qPrintable(QString::number(t.effectsOver - t.start)));
        QCOMPARE(t.closed - t.start, qint64(15000));
        QCOMPARE(b.ts.music.OpenCount(), 0);
        QCOMPARE(b.screen->findChild<QLineEdit*>(QStringLiteral("Txt再生情報"))->text(),
                 QStringLiteral("25/200")); // started at 10 s
        QVERIFY(b.screen->Panel(0)->IsOpen() || b.screen->Panel(24)->IsOpen() || b.screen->DrawCount() == 1);
    }

    void songTimingVariants_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("simple");
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<int>("fromStartMin"); // close time after the start, bounds (-1: none)
        QTest::addColumn<int>("fromStartMax");
        QTest::addColumn<int>("afterEffectsMax"); // close time after the effects, at most
        QTest::addColumn<int>("afterEffectsMin");
        QTest::newRow("simple draw stops within a second")
            << 2 << true << "15" << false << -1 << -1 << 1000 << 1;
        QTest::newRow("play time 0 stops at the next tick")
            << 2 << false << "0" << false << -1 << -1 << 1000 << 0;
        QTest::newRow("mode 1 missing song ends at once") << 1 << false << "30" << true << -1 << -1 << 0 << 0;
        QTest::newRow("mode 3 missing song lasts its time")
            << 3 << false << "30" << true << 30000 << 30000 << -1 << -1;
        // The position reads 20 (rounded half up) from 19.5 s on.
        QTest::newRow("mode 1 song end") << 1 << false << "30" << false << 19500 << 20000 << -1 << -1;
    }
    void songTimingVariants() {
        QFETCH(int, mode);
        QFETCH(bool, simple);
        QFETCH(QString, seconds);
        QFETCH(bool, missing);
        QFETCH(int, fromStartMin);
        QFETCH(int, fromStartMax);
        QFETCH(int, afterEffectsMax);
        QFETCH(int, afterEffectsMin);
        Bench b(1, mode);
        b.state.DrawKind = simple ? DrawKind::Simple : DrawKind::Normal;
        b.state.Roster.SetCell(RosterColumn::Song, 1, QStringLiteral("song.mp3"));
        b.state.Roster.SetCell(RosterColumn::SongSeconds, 1, seconds);
        if (!missing) {
            b.ts.music.AddSong(b.songPath(QStringLiteral("song.mp3")), 20);
        }
        b.open();
        const SongTimes t = runTimed(b);
        QVERIFY(t.closed >= 0);
        if (fromStartMin >= 0) {
            QVERIFY2(t.closed - t.start >= fromStartMin && t.closed - t.start <= fromStartMax,
                     qPrintable(QString::number(t.closed - t.start)));
        }
        if (afterEffectsMax >= 0) {
            QVERIFY2(t.closed - t.effectsOver <= afterEffectsMax &&
                         t.closed - t.effectsOver >= afterEffectsMin,
                     qPrintable(QString::number(t.closed - t.effectsOver)));
        }
        QCOMPARE(b.ts.music.OpenCount(), 0);
        QCOMPARE(b.screen->DrawCount(), 1);
    }

    void noSongWithoutTheFlag() {
        Bench b(1, 2);
        b.state.Settings.Dflag = QStringLiteral("111111101");
        b.state.Roster.SetCell(RosterColumn::Song, 1, QStringLiteral("song.mp3"));
        b.state.DrawKind = DrawKind::Simple;
        b.open();
        b.draw();
        QVERIFY(b.ts.music.Log.isEmpty());
        QVERIFY(b.screen->findChild<QLineEdit*>(QStringLiteral("Txt再生情報"))->text().isEmpty());
    }

    void introductionShowsTheLineAndTypesTheItems() {
        Bench b(1, 1);
        RosterTable& roster = b.state.Roster;
        roster.SetCell(RosterColumn::BirthYear, 1, QStringLiteral("1985"));
        roster.SetCell(RosterColumn::BirthMonth, 1, QStringLiteral("4"));
        roster.SetCell(RosterColumn::BirthDay, 1, QStringLiteral("1"));
        roster.SetCell(RosterColumn::Birthplace, 1, QStringLiteral("東京"));
        roster.SetCell(RosterColumn::BloodType, 1, QStringLiteral("A"));
        roster.SetCell(RosterColumn::Affiliation, 1, QStringLiteral("営業部"));
        roster.SetCell(RosterColumn::FavouriteWords, 1, QStringLiteral("一期一会"));
        roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("よろしく"));
        roster.SetCell(RosterColumn::Comment, 0, QStringLiteral("ひとこと"));
        b.state.Settings.Backcolor = QStringLiteral("13158600"); // grey 200: black text
        b.open();
        b.screen->cmd抽選開始_Click();
        auto* telop = b.screen->findChild<QLabel*>(QStringLiteral("Lblテロップ用"));
        QVERIFY(telop->isVisible());
        QCOMPARE(telop->text(), QStringLiteral("1985.4.1生 東京 出身  A型 の おひつじ座"));
        const int left = telop->x();
        b.ts.clock.AdvanceToNext();
        QVERIFY(telop->x() < left);
        for (int guard = 0; b.screen->IsDrawRunning() && guard < 100000; ++guard) {
            b.ts.clock.AdvanceToNext();
        }
        QVERIFY(!telop->isVisible());
        QCOMPARE(b.screen->TypedLines(),
                 (QStringList{QStringLiteral("営業部 所属"), QStringLiteral("[好きな言葉]:一期一会"),
                              QStringLiteral("[ひとこと]:よろしく")}));
        QCOMPARE(b.screen->LastTypedColour(), QColor(Qt::black));
        QVERIFY(b.screen->Surface().isNull()); // cleared after the items
    }

    void typedTextColourFollowsTheBackground_data() {
        QTest::addColumn<QString>("backcolor");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("grey 128") << "8421504" << QColor(Qt::white);
        QTest::newRow("grey 200") << "13158600" << QColor(Qt::black);
        QTest::newRow("not a number") << "abc" << QColor(Qt::white);
        QTest::newRow("white") << "16777215" << QColor(Qt::black);
    }
    void typedTextColourFollowsTheBackground() {
        QFETCH(QString, backcolor);
        QFETCH(QColor, colour);
        Bench b(1, 1);
        b.state.Roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("あ"));
        b.state.Settings.Backcolor = backcolor;
        b.open();
        b.draw();
        QCOMPARE(b.screen->LastTypedColour(), colour);
    }

    void simpleDrawSkipsTheIntroduction() {
        Bench b(1, 1);
        b.state.Roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("よろしく"));
        b.state.Roster.SetCell(RosterColumn::Birthplace, 1, QStringLiteral("東京"));
        b.state.DrawKind = DrawKind::Simple;
        // The row (the fraction the services start with), then face, style, speed, start x,
        // start y, final y: 1; no rainbow (2).
        for (int i = 0; i < 6; ++i) {
            b.ts.random.Push(0.0);
        }
        b.ts.random.Push(0.000001);
        b.open();
        const qint64 start = b.ts.clock.NowMs();
        b.draw();
        QVERIFY(b.screen->TypedLines().isEmpty());
        QVERIFY(b.screen->findChild<QLabel*>(QStringLiteral("Lblテロップ用"))->text() !=
                QStringLiteral("東京 出身  "));
        const NameAnimation& plan = *b.screen->LastNameAnimation();
        QCOMPARE(plan.Style, 1);
        QCOMPARE(plan.Params.Frames, 25);
        QCOMPARE(plan.Frames.back().Colour, QColor(250, 250, 250));
        // 25 frames of 30 ms and a hold of a second.
        QCOMPARE(b.ts.clock.NowMs() - start, qint64(25 * 30 + 1000));
    }

    void drawKindIsReadAtEachStep() {
        Bench b(1, 1);
        b.state.Roster.SetCell(RosterColumn::Birthplace, 1, QStringLiteral("東京"));
        b.open();
        b.screen->cmd抽選開始_Click();
        auto* telop = b.screen->findChild<QLabel*>(QStringLiteral("Lblテロップ用"));
        QVERIFY(telop->isVisible());
        b.state.DrawKind = DrawKind::Simple; // from the menu, in the middle of the line
        for (int guard = 0; b.screen->IsDrawRunning() && guard < 100000; ++guard) {
            b.ts.clock.AdvanceToNext();
        }
        QCOMPARE(b.screen->LastNameAnimation()->Params.Frames, 25);
    }

    void stoppingAtEveryStepEndsTheDrawCleanly() {
        // Count the timer events of one whole normal draw with a song, a photo and every item.
        const auto prepare = [](Bench& b) {
            RosterTable& roster = b.state.Roster;
            roster.SetCell(RosterColumn::BirthMonth, 1, QStringLiteral("4"));
            roster.SetCell(RosterColumn::Birthplace, 1, QStringLiteral("東京"));
            roster.SetCell(RosterColumn::Affiliation, 1, QStringLiteral("営業部"));
            roster.SetCell(RosterColumn::Comment, 1, QStringLiteral("よろしく"));
            roster.SetCell(RosterColumn::Song, 1, QStringLiteral("song.mp3"));
            roster.SetCell(RosterColumn::SongSeconds, 1, QStringLiteral("30"));
            roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("photo.png"));
            QImage photo(64, 48, QImage::Format_RGB32);
            photo.fill(Qt::red);
            photo.save(path(b.folder, QStringLiteral("photo.png")));
            b.ts.music.AddSong(b.songPath(QStringLiteral("song.mp3")), 100);
            b.open();
        };
        // Stop right at, and right after, every change of step (scrolling line, typed lines,
        // photo, name frames, song wait, opening), and every 20th event in between.
        const auto stepOf = [](DrawScreen& screen) {
            return QStringLiteral("%1%2%3%4%5")
                .arg(screen.findChild<QLabel*>(QStringLiteral("Lblテロップ用"))->isVisible())
                .arg(!screen.Surface().isNull())
                .arg(screen.findChild<EffectArea*>(QStringLiteral("Pic効果用"))->isVisible())
                .arg(screen.IsWaitingForSong())
                .arg(screen.IsDrawRunning());
        };
        std::set<int> stops;
        int total = 0;
        {
            Bench b(1, 2);
            prepare(b);
            b.screen->cmd抽選開始_Click();
            QString step = stepOf(*b.screen);
            QSet<QString> seen{step};
            while (b.screen->IsDrawRunning() && total < 100000) {
                b.ts.clock.AdvanceToNext();
                ++total;
                const QString now = stepOf(*b.screen);
                if (now != step) {
                    stops.insert(total - 1);
                    stops.insert(total);
                    stops.insert(total + 1);
                    step = now;
                    seen.insert(now);
                }
                if (total % 20 == 0) {
                    stops.insert(total);
                }
            }
            QVERIFY(b.screen->DrawCount() == 1);
            QVERIFY2(seen.size() >= 5, qPrintable(QStringList(seen.values()).join(u' ')));
        }
        QVERIFY(total > 100);
        stops.insert(0);
        for (int stopAt : stops) {
            Bench b(1, 2);
            prepare(b);
            b.screen->cmd抽選開始_Click();
            for (int i = 0; i < stopAt; ++i) {
                b.ts.clock.AdvanceToNext();
            }
            // 抽選 → 終了: the flag is cleared, then the window closes.
            b.state.DrawInProgress = false;
            QVERIFY(b.screen->close());
            QCOMPARE(b.ts.clock.ActiveTimerCount(), 0);
            QCOMPARE(b.ts.music.OpenCount(), 0);
            const int logged = static_cast<int>(b.ts.music.Log.size());
            b.ts.clock.Advance(60000);
            QCOMPARE(static_cast<int>(b.ts.music.Log.size()), logged);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(b.screen.isNull());
            b.ts.clock.Advance(60000);
        }
    }

    void panelsShowPhotosExceptInModeFour() {
        for (int mode : {1, 4}) {
            Bench b(1, mode);
            b.state.DrawKind = DrawKind::Simple;
            b.state.Roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("photo.png"));
            QImage photo(400, 300, QImage::Format_RGB32);
            photo.fill(Qt::blue);
            QVERIFY(photo.save(path(b.folder, QStringLiteral("photo.png"))));
            b.open();
            b.draw();
            PanelWidget* panel = b.screen->Panel(0);
            QVERIFY(panel->IsOpen());
            QCOMPARE(panel->ShownName(), QStringLiteral("参加者1"));
            const QImage shot = panel->grab().toImage();
            const QColor top = shot.pixelColor(shot.width() / 2, shot.height() / 4);
            if (mode == 4) {
                QVERIFY(panel->ShownPhoto().isEmpty());
                QCOMPARE(top, QColor(Qt::white));
            } else {
                QCOMPARE(panel->ShownPhoto(), path(b.folder, QStringLiteral("photo.png")));
                QCOMPARE(top, QColor(Qt::blue));
            }
            QVERIFY(panel->NameSize() > 0);
            // The effect photo and the panel photo: each decoded once.
            const int decodes = b.screen->Photos().DecodeCount();
            QCOMPARE(decodes, mode == 4 ? 1 : 2);
            b.screen->OpenPanel(1, panel->ShownName(), panel->ShownPhoto(), 0);
            QCOMPARE(b.screen->Photos().DecodeCount(), decodes);
        }
    }

    void missingPhotoLeavesTheBoxWhite() {
        Bench b(1, 1);
        b.state.DrawKind = DrawKind::Simple;
        b.state.Roster.SetCell(RosterColumn::Photo, 1, QStringLiteral("missing.jpg"));
        b.open();
        b.draw();
        const QImage shot = b.screen->Panel(0)->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() / 4), QColor(Qt::white));
        QVERIFY(b.screen->Panel(0)->NameSize() > 0);
    }

    void panelBoxByMode() {
        // Mode 1: a right click does nothing.
        {
            Bench b(3, 1);
            b.open();
            QTest::mouseClick(b.screen->Panel(2), Qt::RightButton);
            QVERIFY(b.ts.dialogs.Log.empty());
        }
        // Mode 2: a closed panel offers opening; an open one closing.
        {
            Bench b(3, 2);
            b.open();
            bool openEnabled = false;
            bool closeEnabled = true;
            b.ts.dialogs.Execs.push_back([&](QDialog& box) {
                openEnabled = box.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled();
                closeEnabled = box.findChild<QPushButton*>(QStringLiteral("Command2"))->isEnabled();
                box.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
                return box.result();
            });
            QTest::mouseClick(b.screen->Panel(7), Qt::LeftButton);
            QVERIFY(b.ts.dialogs.Log.empty());
            QTest::mouseClick(b.screen->Panel(7), Qt::RightButton);
            QCOMPARE(b.ts.dialogs.Log.back().text, QStringLiteral("KapMenuBox"));
            QVERIFY(openEnabled && !closeEnabled);
            QCOMPARE(b.screen->Panel(7)->Tag(), QStringLiteral("1"));
            QCOMPARE(b.screen->Pools().Candidates().Count, 2);
            QCOMPARE(FindEntry(b.screen->Pools().Panels(), 7), qint16(-1));
            QCOMPARE(b.screen->DrawCount(), 0);
            QVERIFY(!b.state.DrawInProgress);
            // "何もしない" changes nothing.
            b.ts.dialogs.Execs.push_back([](QDialog& box) {
                box.findChild<QPushButton*>(QStringLiteral("CmdExit"))->click();
                return box.result();
            });
            QTest::mouseClick(b.screen->Panel(7), Qt::RightButton);
            QVERIFY(b.screen->Panel(7)->IsOpen());
            // Closing gives the panel and the participant back.
            b.ts.dialogs.Execs.push_back([&](QDialog& box) {
                openEnabled = box.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled();
                closeEnabled = box.findChild<QPushButton*>(QStringLiteral("Command2"))->isEnabled();
                box.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
                return box.result();
            });
            QTest::mouseClick(b.screen->Panel(7), Qt::RightButton);
            QVERIFY(!openEnabled && closeEnabled);
            QVERIFY(!b.screen->Panel(7)->IsOpen());
            QVERIFY(b.screen->Panel(7)->Tag().isEmpty());
            QCOMPARE(b.screen->Pools().Candidates().Count, 3);
            QCOMPARE(b.screen->Pools().Candidates().At(3), qint16(1));
            QCOMPARE(b.screen->Pools().Panels().At(b.screen->Pools().Panels().Count), qint16(7));
            // A box closed without a button (no script: rejected) changes nothing.
            QTest::mouseClick(b.screen->Panel(8), Qt::RightButton);
            QVERIFY(!b.screen->Panel(8)->IsOpen());
            // Nobody left: opening by hand is refused.
            for (int k : {0, 1, 2, 3}) {
                b.ts.dialogs.Execs.push_back([](QDialog& box) {
                    box.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
                    return box.result();
                });
                QTest::mouseClick(b.screen->Panel(k), Qt::RightButton);
            }
            QCOMPARE(b.messages(), QStringList{QStringLiteral("これ以上データが登録されていません")});
            QVERIFY(!b.screen->Panel(3)->IsOpen());
        }
        // Mode 3 with 20 participants and 25 panels.
        {
            Bench b(20, 3);
            b.state.Roster.SetCell(RosterColumn::Name, 8, QString());
            b.open();
            QCOMPARE(b.screen->Pools().Candidates().Count, 19);
            bool openEnabled = true;
            b.ts.dialogs.Execs.push_back([&](QDialog& box) {
                openEnabled = box.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled();
                box.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
                return box.result();
            });
            QTest::mouseClick(b.screen->Panel(22), Qt::RightButton);
            QVERIFY(!openEnabled);
            QVERIFY(!b.screen->Panel(22)->IsOpen());
            QCOMPARE(b.screen->Pools().Candidates().Count, 19);
            // Panel 7 shows row 8, empty: the panel opens without a name.
            b.ts.dialogs.Execs.push_back([](QDialog& box) {
                box.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
                return box.result();
            });
            QTest::mouseClick(b.screen->Panel(7), Qt::RightButton);
            QVERIFY(b.screen->Panel(7)->IsOpen());
            QCOMPARE(b.screen->Panel(7)->Tag(), QStringLiteral("8"));
            QVERIFY(b.screen->Panel(7)->ShownName().isEmpty());
            // Panel 4 shows row 5, who leaves the draw.
            b.ts.dialogs.Execs.push_back([](QDialog& box) {
                box.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
                return box.result();
            });
            QTest::mouseClick(b.screen->Panel(4), Qt::RightButton);
            QCOMPARE(b.screen->Panel(4)->ShownName(), QStringLiteral("参加者5"));
            QCOMPARE(FindEntry(b.screen->Pools().Candidates(), 5), qint16(-1));
        }
    }

    void backgroundColourIsChosenAndSaved() {
        Bench b(2, 1);
        b.open();
        b.ts.dialogs.Colours.push_back(QColor(200, 200, 200));
        QTest::mouseClick(b.screen->findChild<QPushButton*>(QStringLiteral("Cmd背景色")), Qt::LeftButton);
        QCOMPARE(b.state.Settings.Backcolor, QStringLiteral("13158600"));
        QVERIFY(QFile::exists(path(b.folder, QStringLiteral("Mrda.ini"))));
        QVERIFY(b.screen->isEnabled());
        QCOMPARE(b.screen->grab().toImage().pixelColor(b.screen->width() - 5, b.screen->height() - 5),
                 QColor(200, 200, 200));
        // Cancelled: nothing changes.
        b.ts.dialogs.Colours.push_back(std::nullopt);
        QTest::mouseClick(b.screen->findChild<QPushButton*>(QStringLiteral("Cmd背景色")), Qt::LeftButton);
        QCOMPARE(b.state.Settings.Backcolor, QStringLiteral("13158600"));
    }
};

QTEST_MAIN(DrawScreenTest)
#include "drawscreen_test.moc"
