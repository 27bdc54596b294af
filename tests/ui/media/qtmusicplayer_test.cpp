#include "core/media/qtmusicplayer.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

// Writes a mono 16-bit PCM WAV file holding a quiet tone of the given length.
bool writeWav(const QString& path, double seconds, int sampleRate = 8000) {
    const quint32 samples = static_cast<quint32>(std::lround(seconds * sampleRate));
    const quint32 dataBytes = samples * 2;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVE", 4);
    out.writeRawData("fmt ", 4);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(sampleRate) << quint32(sampleRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(dataBytes);
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
    void initTestCase();
    void startSecondIsWherePlaybackBegins();
    void lengthIsWholeSecondsOfTheFile_data();
    void lengthIsWholeSecondsOfTheFile();
    void missingOrUnreadableFileReadsZero();
    void songPlayedToItsEndReadsLengthEqualPosition();
    void closeStopsAndForgets();
    void startBeyondTheEndEndsTheSong();
    void severalPathsPlayAtOnce();
    void playingAnOpenPathAgainStartsOver_data();
    void playingAnOpenPathAgainStartsOver();
    void closingOrDestroyingWhileOpeningIsHarmless();

private:
    QTemporaryDir m_dir;
};

void QtMusicPlayerTest::initTestCase() {
    // The first file opened loads the media plugins; keep that out of the timed checks.
    const QString path = m_dir.filePath(QStringLiteral("warmup.wav"));
    QVERIFY(writeWav(path, 1));
    QtMusicPlayer player;
    player.PlayMusic(path, 0);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicLength(path) == 1, 10000);
    player.CloseMusic(path);
}

void QtMusicPlayerTest::startSecondIsWherePlaybackBegins() {
    const QString path = m_dir.filePath(QStringLiteral("start.wav"));
    QVERIFY(writeWav(path, 6));
    QtMusicPlayer player;
    QElapsedTimer clock;
    clock.start();
    player.PlayMusic(path, 2);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) >= 2, 1000);
    qInfo() << "position" << player.MusicPosition(path) << "after" << clock.elapsed() << "ms";
    // It keeps playing from there rather than jumping to the end.
    QVERIFY(player.MusicPosition(path) < 6);
    QCOMPARE(player.MusicLength(path), 6);
    player.CloseMusic(path);
}

void QtMusicPlayerTest::lengthIsWholeSecondsOfTheFile_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("expected");
    QTest::newRow("3.4 s") << 3.4 << 3;
    QTest::newRow("3.5 s") << 3.5 << 4;
}

void QtMusicPlayerTest::lengthIsWholeSecondsOfTheFile() {
    QFETCH(double, seconds);
    QFETCH(int, expected);
    const QString path = m_dir.filePath(QStringLiteral("len%1.wav").arg(seconds));
    QVERIFY(writeWav(path, seconds));
    QtMusicPlayer player;
    player.PlayMusic(path, 0);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicLength(path) >= 0, 2000);
    QCOMPARE(player.MusicLength(path), expected);
    player.CloseMusic(path);
}

void QtMusicPlayerTest::missingOrUnreadableFileReadsZero() {
    QtMusicPlayer player;
    const QString missing = m_dir.filePath(QStringLiteral("missing.mp3"));
    player.PlayMusic(missing, 5);
    QCOMPARE(player.MusicLength(missing), 0);
    QCOMPARE(player.MusicPosition(missing), 0);

    // A file that is there but not a song: 0 / 0 once the media layer has given up on it.
    const QString junk = m_dir.filePath(QStringLiteral("junk.wav"));
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    player.PlayMusic(junk, 0);
    QTRY_COMPARE_WITH_TIMEOUT(player.MusicLength(junk), 0, 3000);
    QCOMPARE(player.MusicPosition(junk), 0);
    player.CloseMusic(junk);
    player.CloseMusic(missing);

    // Never opened.
    QCOMPARE(player.MusicLength(QStringLiteral("/nowhere/never.wav")), 0);
    QCOMPARE(player.MusicPosition(QStringLiteral("/nowhere/never.wav")), 0);
}

void QtMusicPlayerTest::songPlayedToItsEndReadsLengthEqualPosition() {
    const QString path = m_dir.filePath(QStringLiteral("short.wav"));
    QVERIFY(writeWav(path, 1.2));
    QtMusicPlayer player;
    player.PlayMusic(path, 0);
    QVERIFY(player.MusicLength(path) != player.MusicPosition(path)); // not ended before it begins
    QTRY_VERIFY_WITH_TIMEOUT(
        player.MusicPosition(path) != 0 && player.MusicLength(path) == player.MusicPosition(path), 4000);
    QCOMPARE(player.MusicLength(path), 1);
    player.CloseMusic(path);
}

void QtMusicPlayerTest::closeStopsAndForgets() {
    const QString path = m_dir.filePath(QStringLiteral("close.wav"));
    QVERIFY(writeWav(path, 5));
    QtMusicPlayer player;
    player.PlayMusic(path, 1);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) >= 1, 2000);
    player.CloseMusic(path);
    QCOMPARE(player.MusicPosition(path), 0);
    QCOMPARE(player.MusicLength(path), 0);
    // Closing twice, or a path never opened, is harmless.
    player.CloseMusic(path);
    player.CloseMusic(QStringLiteral("/nowhere/never.wav"));
}

void QtMusicPlayerTest::startBeyondTheEndEndsTheSong() {
    const QString path = m_dir.filePath(QStringLiteral("beyond.wav"));
    QVERIFY(writeWav(path, 3));
    QtMusicPlayer player;
    player.PlayMusic(path, 99);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) == 3, 2000);
    QCOMPARE(player.MusicLength(path), 3);
    // Played again on the same open path: from the new start.
    player.PlayMusic(path, 1);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) >= 1 && player.MusicPosition(path) < 3, 2000);
    player.CloseMusic(path);
}

void QtMusicPlayerTest::severalPathsPlayAtOnce() {
    const QString a = m_dir.filePath(QStringLiteral("a.wav"));
    const QString b = m_dir.filePath(QStringLiteral("b.wav"));
    QVERIFY(writeWav(a, 4));
    QVERIFY(writeWav(b, 7));
    QtMusicPlayer player;
    player.PlayMusic(a, 0);
    player.PlayMusic(b, 3);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicLength(a) == 4 && player.MusicLength(b) == 7, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(b) >= 3, 1000);
    player.CloseMusic(a);
    QCOMPARE(player.MusicLength(a), 0);
    QCOMPARE(player.MusicLength(b), 7);
    player.CloseMusic(b);
}

void QtMusicPlayerTest::playingAnOpenPathAgainStartsOver_data() {
    QTest::addColumn<int>("firstStart");
    QTest::addColumn<bool>("waitForTheEnd");
    QTest::addColumn<int>("secondStart");
    QTest::newRow("again at once, further on") << 0 << false << 3;
    QTest::newRow("again while playing, back to the start") << 3 << false << 0;
    QTest::newRow("again after the end, from the start") << 4 << true << 0;
    QTest::newRow("again after the end, further on") << 4 << true << 3;
}

void QtMusicPlayerTest::playingAnOpenPathAgainStartsOver() {
    QFETCH(int, firstStart);
    QFETCH(bool, waitForTheEnd);
    QFETCH(int, secondStart);
    const QString path = m_dir.filePath(QStringLiteral("again.wav"));
    QVERIFY(writeWav(path, 6));
    QtMusicPlayer player;
    player.PlayMusic(path, firstStart);
    if (waitForTheEnd) {
        QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) == 6 && player.MusicLength(path) == 6, 6000);
    } else if (firstStart > 0) {
        QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) >= firstStart, 2000);
    }
    // The caller did not close the path: the same device starts over at the new second.
    player.PlayMusic(path, secondStart);
    QTRY_VERIFY_WITH_TIMEOUT(player.MusicPosition(path) >= secondStart + 1, 3000);
    QVERIFY2(player.MusicPosition(path) <= secondStart + 2,
             qPrintable(QString::number(player.MusicPosition(path))));
    QCOMPARE(player.MusicLength(path), 6);
    player.CloseMusic(path);
    QCOMPARE(player.MusicPosition(path), 0);
}

void QtMusicPlayerTest::closingOrDestroyingWhileOpeningIsHarmless() {
    const QString path = m_dir.filePath(QStringLiteral("opening.wav"));
    QVERIFY(writeWav(path, 3));
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

QTEST_GUILESS_MAIN(QtMusicPlayerTest)
#include "qtmusicplayer_test.moc"
