#include "core/common/designfonts.h"
#include "support/casefile.h"
#include "support/testservices.h"
#include "ui/media/musicplayingbox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// A song whose file is still being opened: its length reads -1.
class OpeningMusic : public FakeMusicPlayer {
public:
    using FakeMusicPlayer::FakeMusicPlayer;
    qint32 MusicLength(const QString&) override { return -1; }
};

// One case of tests/data/media/playingbox.tsv: the answer, the seconds the box was up and what it
// showed at the end, then what every box shows (its name, title and message, no input field), no
// timer left behind.
QString PlayedBox(const QStringList& c) {
    const QString song = QStringLiteral("/music/song.mp3");
    const int length = c.value(0).toInt(), seconds = c.value(4).toInt();
    const QString button = c.value(3);
    TestServices t;
    if (length >= 0) {
        t.music.AddSong(song, length);
    }
    t.music.PlayMusic(song, c.value(1).toInt());
    int seen = 0;
    QStringList shown;
    t.dialogs.Execs.push_back([&](QDialog& box) {
        box.show();
        shown << box.windowTitle() << box.findChild<QLineEdit*>(QStringLiteral("TxtMsg"))->text()
              << QString::number(int(box.findChild<QLineEdit*>(QStringLiteral("TxtInput"))->isHidden()));
        for (; box.isVisible() && seen < (button == u"-" ? 1000 : seconds); ++seen) {
            t.clock.Advance(1000);
        }
        shown.prepend(box.findChild<QLineEdit*>(QStringLiteral("Txt演奏時間"))->text());
        if (button == u"close") {
            box.close();
        } else if (button != u"-") {
            const QPushButton* pressed = box.findChild<QPushButton*>(button);
            QTest::mouseClick(box.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              pressed->mapTo(&box, pressed->rect().center()));
        }
        return box.isVisible() ? -1 : box.result();
    });
    OpeningMusic opening(t.clock);
    MusicPlayingBox box(t.dialogs, t.clock, length == -2 ? opening : static_cast<MusicPlayer&>(t.music));
    const int answer = box.PlayMusicBox(QStringLiteral("再生を中断する場合は[はい]をクリック"),
                                        QStringLiteral("音楽試聴中"), song, c.value(2).toInt());
    const QString said = answer == MusicPlayingBox::kYes  ? QStringLiteral("yes")
                         : answer == MusicPlayingBox::kNo ? QStringLiteral("no")
                                                          : QString::number(answer);
    shown << t.dialogs.Log.back().text << QString::number(t.clock.ActiveTimerCount());
    return (QStringList{said, QString::number(seen)} + shown).join(u' ');
}

} // namespace

class MusicPlayingBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void endsByItselfOrByAButton() {
        const int cases = ForEachCase(
            QStringLiteral("media"), QStringLiteral("playingbox.tsv"),
            [](const std::string& where, const QStringList& c) {
                const QString expected =
                    QStringList{c.value(6), c.value(4), c.value(5)}.join(u' ') +
                    QStringLiteral(" 音楽試聴中 再生を中断する場合は[はい]をクリック 1 Kap音楽再生box 0");
                if (const QString got = PlayedBox(c); got != expected) {
                    QTest::qFail((where + "\ngot " + got.toStdString()).c_str(), __FILE__, __LINE__);
                }
            });
        QCOMPARE(cases, 10);
    }
};

QTEST_MAIN(MusicPlayingBoxTest)
#include "musicplayingbox_test.moc"
