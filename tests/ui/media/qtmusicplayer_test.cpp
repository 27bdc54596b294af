#include "core/media/qtmusicplayer.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

// Writes a mono 16-bit PCM WAV file holding a quiet tone of the given length.
bool WriteWav(const QString& path, double seconds, int sampleRate = 8000) {
    const quint32 samples = static_cast<quint32>(std::lround(seconds * sampleRate));
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(sampleRate) << quint32(sampleRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i) {
        out << qint16(std::lround(600 * std::sin(2 * M_PI * 440 * i / sampleRate)));
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class QtMusicPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The first file opened loads the media plugins; keep that out of the timed checks.
        const QString path = m_dir.filePath(QStringLiteral("warmup.wav"));
        QVERIFY(WriteWav(path, 1));
        QtMusicPlayer player;
        player.PlayMusic(path, 0);
        QTRY_VERIFY_WITH_TIMEOUT(player.MusicLength(path) == 1, 10000);
    }

    // A song plays from its start second, and from the new one when its path is played again
    // without a close; length and position are whole seconds, and equal once it has ended.
    void playsFromTheStartSecond_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("wait"); // before playing again: "playing", "end" or not at all
        QTest::addColumn<int>("again");    // -1: not played again
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("length");
        QTest::newRow("from its start second") << 6.0 << 2 << "playing" << -1 << 2 << 3 << 6;
        QTest::newRow("3.5 s") << 3.5 << 0 << "playing" << -1 << 0 << 4 << 4;
        QTest::newRow("played to its end") << 1.2 << 0 << "end" << -1 << 1 << 1 << 1;
        QTest::newRow("start beyond the end") << 3.0 << 99 << "end" << -1 << 3 << 3 << 3;
        QTest::newRow("again at once, further on") << 6.0 << 0 << "" << 3 << 4 << 5 << 6;
        QTest::newRow("again while playing, back to the start") << 6.0 << 3 << "playing" << 0 << 1 << 2 << 6;
        QTest::newRow("again after the end, from the start") << 6.0 << 4 << "end" << 0 << 1 << 2 << 6;
    }
    void playsFromTheStartSecond() {
        QFETCH(double, seconds);
        QFETCH(int, start);
        QFETCH(QString, wait);
        QFETCH(int, again);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(int, length);
        const QString path =
            m_dir.filePath(QStringLiteral("%1.wav").arg(QString::fromUtf8(QTest::currentDataTag())));
        QVERIFY(WriteWav(path, seconds));
        QtMusicPlayer player;
        player.PlayMusic(path, start);
        QVERIFY(player.MusicLength(path) != player.MusicPosition(path)); // not ended before it begins
        if (wait == QStringLiteral("end")) {
            QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) != 0 &&
                                         player.MusicPosition(path) == player.MusicLength(path),
                                     8000);
        } else if (wait == QStringLiteral("playing")) {
            QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) >= start && player.MusicLength(path) > 0,
                                     2000);
        }
        if (again >= 0) {
            player.PlayMusic(path, again);
            QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) >= low, 3000);
        }
        QVERIFY2(player.MusicPosition(path) >= low && player.MusicPosition(path) <= high,
                 qPrintable(QString::number(player.MusicPosition(path))));
        QCOMPARE(player.MusicLength(path), length);
    }

    // Missing files and files that are no song read 0 / 0; so do paths never opened or closed.
    void whatCannotBePlayedReadsZero() {
        QtMusicPlayer player;
        const QString missing = m_dir.filePath(QStringLiteral("missing.mp3"));
        const QString junk = m_dir.filePath(QStringLiteral("junk.wav"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'x')) == 4096);
        file.close();
        player.PlayMusic(missing, 5);
        player.PlayMusic(junk, 0);
        QTRY_COMPARE_WITH_TIMEOUT(player.MusicLength(junk), 0, 3000);
        for (const QString& path : {missing, junk, QStringLiteral("/nowhere/never.wav")}) {
            QCOMPARE(player.MusicLength(path), 0);
            QCOMPARE(player.MusicPosition(path), 0);
        }
    }

    void severalPathsPlayAtOnceUntilEachIsClosed() {
        const QString a = m_dir.filePath(QStringLiteral("a.wav"));
        const QString b = m_dir.filePath(QStringLiteral("b.wav"));
        QVERIFY(WriteWav(a, 4) && WriteWav(b, 7));
        QtMusicPlayer player;
        player.PlayMusic(a, 1);
        player.PlayMusic(b, 3);
        QTRY_VERIFY_WITH_TIMEOUT(player.MusicLength(a) == 4 && player.MusicLength(b) == 7, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(a) >= 1 && player.MusicPosition(b) >= 3, 1000);
        player.CloseMusic(a);
        QCOMPARE(player.MusicPosition(a), 0);
        QCOMPARE(player.MusicLength(a), 0);
        QCOMPARE(player.MusicLength(b), 7);
        player.CloseMusic(a); // closing twice, or a path never opened, is harmless
        player.CloseMusic(QStringLiteral("/nowhere/never.wav"));
    }

    void closingOrDestroyingWhileOpeningIsHarmless() {
        const QString path = m_dir.filePath(QStringLiteral("opening.wav"));
        QVERIFY(WriteWav(path, 3));
        {
            QtMusicPlayer player;
            player.PlayMusic(path, 1);
            player.CloseMusic(path); // before the file has loaded
            QTest::qWait(200);       // whatever the media layer still reports arrives now
            QCOMPARE(player.MusicLength(path), 0);
            player.PlayMusic(path, 1);
            QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) >= 1, 2000);
            player.PlayMusic(path, 0);
        } // destroyed with the song still open and its reports pending
        QTest::qWait(200);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(QtMusicPlayerTest)
#include "qtmusicplayer_test.moc"
