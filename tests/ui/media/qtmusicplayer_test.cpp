#include "core/media/qtmusicplayer.h"
#include "support/casefile.h"

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
    // without a close; length and position are whole seconds, and equal once it has ended
    // (tests/data/media/player.tsv).
    void playsFromTheStartSecond() {
        const int cases =
            ForEachCase(QStringLiteral("media"), QStringLiteral("player.tsv"),
                        [&](const std::string& where, const QStringList& c) { PlayAndRead(where, c); });
        QCOMPARE(cases, 9);
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
        QCOMPARE(player.MusicPosition(QStringLiteral("/nowhere/never.wav")), 0);
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
    void PlayAndRead(const std::string& where, const QStringList& c) {
        const int start = c.value(1).toInt(), again = c.value(3).toInt(), low = c.value(4).toInt();
        const QString path =
            m_dir.filePath(QStringLiteral("%1.wav").arg(QString::fromStdString(where).section(u':', 1, 1)));
        QFile file(path);
        const bool written =
            c.value(0) == u"missing" || (c.value(0) == u"junk" ? file.open(QIODevice::WriteOnly) &&
                                                                     file.write(QByteArray(4096, 'x')) == 4096
                                                               : WriteWav(path, c.value(0).toDouble()));
        file.close();
        QVERIFY2(written, where.c_str());
        QtMusicPlayer player;
        player.PlayMusic(path, start);
        // Not ended before it begins.
        QVERIFY2(c.value(6) == u"0" || player.MusicLength(path) != player.MusicPosition(path), where.c_str());
        if (c.value(2) == u"end") {
            QTRY_VERIFY2_WITH_TIMEOUT(player.MusicPosition(path) != 0 &&
                                          player.MusicPosition(path) == player.MusicLength(path),
                                      where.c_str(), 8000);
        } else if (c.value(2) == u"playing") {
            QTRY_VERIFY2_WITH_TIMEOUT(player.MusicPosition(path) >= start && player.MusicLength(path) > 0,
                                      where.c_str(), 2000);
        } else if (c.value(2) == u"refused") {
            QTRY_VERIFY2_WITH_TIMEOUT(player.MusicLength(path) == 0, where.c_str(), 3000);
        }
        if (again >= 0) {
            player.PlayMusic(path, again);
            QTRY_VERIFY2_WITH_TIMEOUT(player.MusicPosition(path) >= low, where.c_str(), 3000);
        }
        const int position = player.MusicPosition(path);
        QVERIFY2(position >= low && position <= c.value(5).toInt() &&
                     player.MusicLength(path) == c.value(6).toInt(),
                 (where + " at " + std::to_string(position)).c_str());
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(QtMusicPlayerTest)
#include "qtmusicplayer_test.moc"
