#include "core/common/designfonts.h"
#include "support/testservices.h"
#include "ui/media/musicplayingbox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kSong = QStringLiteral("/music/song.mp3");

QString shown(QDialog& box) {
    return box.findChild<QLineEdit*>(QStringLiteral("Txt演奏時間"))->text();
}

} // namespace

class MusicPlayingBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void endsByItself_data();
    void endsByItself();
    void buttonsAnswer_data();
    void buttonsAnswer();
    void unplayableSongWithoutLimitWaitsForAButton();
    void showsMessageTitleAndHidesInput();
};

void MusicPlayingBoxTest::endsByItself_data() {
    QTest::addColumn<int>("songLength");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("playingSeconds");
    QTest::addColumn<int>("ticksToEnd");
    QTest::addColumn<QString>("lastShown");
    QTest::newRow("playing time 10 of a 3-minute song") << 180 << 0 << 10 << 10 << QStringLiteral("10/180");
    QTest::newRow("no limit: the song's end") << 30 << 25 << 0 << 5 << QStringLiteral("30/30");
    QTest::newRow("the song's end before the limit") << 30 << 25 << 15 << 5 << QStringLiteral("30/30");
    QTest::newRow("start beyond the end") << 30 << 40 << 0 << 1 << QStringLiteral("30/30");
    QTest::newRow("unplayable song, playing time 3") << -1 << 0 << 3 << 3 << QStringLiteral("0/0");
}

void MusicPlayingBoxTest::endsByItself() {
    QFETCH(int, songLength);
    QFETCH(int, start);
    QFETCH(int, playingSeconds);
    QFETCH(int, ticksToEnd);
    QFETCH(QString, lastShown);
    TestServices t;
    if (songLength >= 0) {
        t.music.AddSong(kSong, songLength);
    }
    t.music.PlayMusic(kSong, start);
    int ticksSeen = 0;
    t.dialogs.Execs.push_back([&](QDialog& box) {
        box.show();
        while (box.isVisible() && ticksSeen < 1000) {
            t.clock.Advance(1000);
            ++ticksSeen;
        }
        return box.result();
    });
    MusicPlayingBox box(t.dialogs, t.clock, t.music);
    const qint16 answer = box.PlayMusicBox(QStringLiteral("m"), QStringLiteral("t"), kSong, playingSeconds);
    QCOMPARE(answer, MusicPlayingBox::kYes);
    QCOMPARE(ticksSeen, ticksToEnd);
    QCOMPARE(shown(box), lastShown);
    QCOMPARE(t.clock.ActiveTimerCount(), 0);
}

void MusicPlayingBoxTest::buttonsAnswer_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expected");
    QTest::newRow("はい") << QStringLiteral("cmdYes") << int(MusicPlayingBox::kYes);
    QTest::newRow("いいえ") << QStringLiteral("CmdNo") << int(MusicPlayingBox::kNo);
    QTest::newRow("closed otherwise") << QString() << int(MusicPlayingBox::kNo);
}

void MusicPlayingBoxTest::buttonsAnswer() {
    QFETCH(QString, button);
    QFETCH(int, expected);
    TestServices t;
    t.music.AddSong(kSong, 200);
    t.music.PlayMusic(kSong, 0);
    t.dialogs.Execs.push_back([&](QDialog& box) {
        box.show();
        t.clock.Advance(3000);
        if (shown(box) != QStringLiteral("3/200")) {
            return -1;
        }
        if (button.isEmpty()) {
            box.close();
        } else {
            QTest::mouseClick(box.findChild<QPushButton*>(button), Qt::LeftButton);
        }
        return box.result();
    });
    MusicPlayingBox box(t.dialogs, t.clock, t.music);
    QCOMPARE(int(box.PlayMusicBox(QStringLiteral("m"), QStringLiteral("t"), kSong, 0)), expected);
    QCOMPARE(t.clock.ActiveTimerCount(), 0);
}

void MusicPlayingBoxTest::unplayableSongWithoutLimitWaitsForAButton() {
    TestServices t;
    bool stillOpen = false;
    t.dialogs.Execs.push_back([&](QDialog& box) {
        box.show();
        t.clock.Advance(600'000);
        stillOpen = box.isVisible() && shown(box) == QStringLiteral("0/0");
        QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("cmdYes")), Qt::LeftButton);
        return box.result();
    });
    MusicPlayingBox box(t.dialogs, t.clock, t.music);
    QCOMPARE(box.PlayMusicBox(QStringLiteral("m"), QStringLiteral("t"), QStringLiteral("/music/gone.mp3"), 0),
             MusicPlayingBox::kYes);
    QVERIFY(stillOpen);
}

void MusicPlayingBoxTest::showsMessageTitleAndHidesInput() {
    TestServices t;
    QString title;
    QString message;
    bool inputHidden = false;
    t.dialogs.Execs.push_back([&](QDialog& box) {
        box.show();
        title = box.windowTitle();
        message = box.findChild<QLineEdit*>(QStringLiteral("TxtMsg"))->text();
        inputHidden = box.findChild<QLineEdit*>(QStringLiteral("TxtInput"))->isHidden();
        box.reject();
        return box.result();
    });
    MusicPlayingBox box(t.dialogs, t.clock, t.music);
    box.PlayMusicBox(QStringLiteral("再生を中断する場合は[はい]をクリック"), QStringLiteral("音楽試聴中"),
                     kSong, 5);
    QCOMPARE(title, QStringLiteral("音楽試聴中"));
    QCOMPARE(message, QStringLiteral("再生を中断する場合は[はい]をクリック"));
    QVERIFY(inputHidden);
    QCOMPARE(t.dialogs.Log.back().text, QStringLiteral("Kap音楽再生box"));
}

QTEST_MAIN(MusicPlayingBoxTest)
#include "musicplayingbox_test.moc"
