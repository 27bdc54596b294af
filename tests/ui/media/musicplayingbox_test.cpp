#include "core/common/designfonts.h"
#include "support/testservices.h"
#include "ui/media/musicplayingbox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

struct Case {
    int Length; // of the song; -1: a song that cannot be played, -2: one still being opened
    int Start;
    int PlayingSeconds;
    const char* Button; // pressed after Seconds; "" waits for the end
    int Seconds;
    const char* Shown; // position/length at the end
    int Answer;
};

// A song whose file is still being opened: its length reads -1.
class OpeningMusic : public FakeMusicPlayer {
public:
    using FakeMusicPlayer::FakeMusicPlayer;
    qint32 MusicLength(const QString&) override { return -1; }
};

} // namespace

Q_DECLARE_METATYPE(Case)

class MusicPlayingBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // The box ends by itself at the song's end or after the playing time, or when a button is
    // pressed; it shows position/length once a second.
    void endsByItselfOrByAButton_data() {
        QTest::addColumn<Case>("c");
        const int yes = MusicPlayingBox::kYes, no = MusicPlayingBox::kNo;
        QTest::newRow("playing time 10 of a 3-minute song") << Case{180, 0, 10, "", 10, "10/180", yes};
        QTest::newRow("no limit: the song's end") << Case{30, 25, 0, "", 5, "30/30", yes};
        QTest::newRow("the song's end before the limit") << Case{30, 25, 15, "", 5, "30/30", yes};
        QTest::newRow("start beyond the end") << Case{30, 40, 0, "", 1, "30/30", yes};
        QTest::newRow("unplayable song, playing time 3") << Case{-1, 0, 3, "", 3, "0/0", yes};
        QTest::newRow("song still being opened") << Case{-2, 0, 2, "", 2, "0/0", yes};
        QTest::newRow("unplayable song without a limit") << Case{-1, 0, 0, "cmdYes", 600, "0/0", yes};
        QTest::newRow("はい") << Case{200, 0, 0, "cmdYes", 3, "3/200", yes};
        QTest::newRow("いいえ") << Case{200, 0, 0, "CmdNo", 3, "3/200", no};
        QTest::newRow("closed otherwise") << Case{200, 0, 0, "close", 3, "3/200", no};
    }
    void endsByItselfOrByAButton() {
        QFETCH(Case, c);
        const QString song = QStringLiteral("/music/song.mp3");
        const QString button = QString::fromUtf8(c.Button);
        TestServices t;
        if (c.Length >= 0) {
            t.music.AddSong(song, c.Length);
        }
        t.music.PlayMusic(song, c.Start);
        int seen = 0;
        QString title, message, time;
        bool inputHidden = false;
        t.dialogs.Execs.push_back([&](QDialog& box) {
            box.show();
            title = box.windowTitle();
            message = box.findChild<QLineEdit*>(QStringLiteral("TxtMsg"))->text();
            inputHidden = box.findChild<QLineEdit*>(QStringLiteral("TxtInput"))->isHidden();
            for (; box.isVisible() && seen < (button.isEmpty() ? 1000 : c.Seconds); ++seen) {
                t.clock.Advance(1000);
            }
            time = box.findChild<QLineEdit*>(QStringLiteral("Txt演奏時間"))->text();
            if (button == QStringLiteral("close")) {
                box.close();
            } else if (!button.isEmpty()) {
                const QPushButton* pressed = box.findChild<QPushButton*>(button); // through the box's window
                QTest::mouseClick(box.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                                  pressed->mapTo(&box, pressed->rect().center()));
            }
            return box.isVisible() ? -1 : box.result();
        });
        OpeningMusic opening(t.clock);
        MusicPlayingBox box(t.dialogs, t.clock,
                            c.Length == -2 ? opening : static_cast<MusicPlayer&>(t.music));
        QCOMPARE(int(box.PlayMusicBox(QStringLiteral("再生を中断する場合は[はい]をクリック"),
                                      QStringLiteral("音楽試聴中"), song, c.PlayingSeconds)),
                 c.Answer);
        QCOMPARE(seen, c.Seconds);
        QCOMPARE(time, QString::fromUtf8(c.Shown));
        QCOMPARE(t.clock.ActiveTimerCount(), 0);
        QCOMPARE(t.dialogs.Log.back().text, QStringLiteral("Kap音楽再生box"));
        QCOMPARE(title, QStringLiteral("音楽試聴中"));
        QCOMPARE(message, QStringLiteral("再生を中断する場合は[はい]をクリック"));
        QVERIFY(inputHidden);
    }
};

QTEST_MAIN(MusicPlayingBoxTest)
#include "musicplayingbox_test.moc"
