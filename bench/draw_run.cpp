// Runs real draws on the draw screen as the program does (real timers, real playback and decoding),
// for measuring what a timed test must not: the pacing of the frames (with MIRDA_FRAME_LOG) and
// the memory of many draws. bench/draw_frames.sh and bench/draw_memory.sh run it.
//
//   draw_run [--simple] [--draws N] [--grid CxR] [--size WxH] [--large FOLDER] [--phones N] [--flood N]
//            [--seed N]
//
// --large draws from 300 participants with 12-megapixel photos, made in FOLDER on the first use;
// --photo gives every participant of the sample roster the same photo FILE (say, a huge one).
// --phones serves N numbered cards from the draw screen (as P does) and lets N phones follow them
// over the loopback, each from an address of its own as in a room, for the pacing of the frames
// while the server pushes every panel to them. --flood adds N more addresses that ask for a card's
// card.json over and over, as fast as the answers come. Each draw prints the time from its Space
// to its panel. --seed fixes who is drawn (default 1), so two runs draw the same participants in the
// same order and their times compare draw by draw.
#include "core/common/designfonts.h"
#include "core/common/photo.h"
#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/config/workingfolder.h"
#include "core/draw/drawsequence.h"
#include "core/media/qtmusicplayer.h"
#include "core/phones/cardtoken.h"
#include "core/phones/freshcard.h"
#include "core/phones/phoneserver.h"
#include "core/programstate.h"
#include "core/record/cardrecord.h"
#include "core/record/recordfile.h"
#include "core/roster/rosterfile.h"
#include "support/scripteddialogs.h"
#include "ui/app/services.h"
#include "ui/draw/drawscreen.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>

namespace {

long peakKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// 300 participants, each with a 4000 × 3000 photo (30 different pictures, as 300 files).
void makeLargeRoster(ProgramState& state, const QString& folder) {
    QDir().mkpath(folder);
    for (int p = 0; p < 30; ++p) {
        const QString path = QDir(folder).filePath(QStringLiteral("base%1.jpg").arg(p));
        if (QFile::exists(path)) {
            continue;
        }
        QImage photo(4000, 3000, QImage::Format_RGB32);
        photo.fill(QColor::fromHsv(p * 12, 120, 220));
        QPainter painter(&photo);
        for (int i = 0; i < 60; ++i) {
            painter.setBrush(QColor::fromHsv((p * 12 + i * 37) % 360, 200, 180));
            painter.drawEllipse(QPoint((i * 397) % 4000, (i * 211) % 3000), 300 + i * 7, 250 + i * 5);
        }
        painter.end();
        photo.save(path, "JPEG", 90);
    }
    state.Roster.Clear();
    for (int r = 1; r <= 300; ++r) {
        const QString name = QStringLiteral("P%1.JPG").arg(r, 3, 10, QLatin1Char('0'));
        const QString link = QDir(folder).filePath(name);
        if (!QFile::exists(link)) {
            QFile::link(QStringLiteral("base%1.jpg").arg(r % 30), link);
        }
        state.Roster.SetCell(RosterColumn::Name, r, QStringLiteral("参加者 %1").arg(r));
        state.Roster.SetCell(RosterColumn::Photo, r, name);
    }
    state.Settings.Pictures = folder;
}

// Phones following their cards, on a thread of their own: each a plain TCP connection from its own
// loopback address (127.1.x.y; the server limits connections per address) that asks for the
// WebSocket and then only counts the frames it receives.
class LoopbackPhones : public QObject {
public:
    LoopbackPhones(QStringList tokens, int flood) : m_tokens(std::move(tokens)), m_flood(flood) {}
    std::atomic<int> Connected{0};
    std::atomic<long> Frames{0};
    std::atomic<long> Answers{0};

    // Flooders: each address asks for card.json again as soon as an answer is whole.
    void Flood() {
        if (m_tokens.isEmpty()) {
            return;
        }
        const QByteArray request =
            "GET /c/" + m_tokens.front().toLatin1() + "/card.json HTTP/1.1\r\nHost: " + kHost + "\r\n\r\n";
        for (int i = 0; i < m_flood; ++i) {
            auto* socket = new QTcpSocket(this);
            socket->bind(QHostAddress(QStringLiteral("127.2.0.%1").arg(i + 1)));
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::connected, socket, [socket, request] { socket->write(request); });
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer, request] {
                buffer->append(socket->readAll());
                for (;;) {
                    const qsizetype end = buffer->indexOf("\r\n\r\n");
                    if (end < 0) {
                        return;
                    }
                    const qsizetype at = buffer->indexOf("Content-Length: ");
                    const qsizetype length =
                        at < 0 ? 0 : buffer->mid(at + 16, buffer->indexOf('\r', at) - at - 16).toLongLong();
                    if (buffer->size() < end + 4 + length) {
                        return;
                    }
                    buffer->remove(0, end + 4 + length);
                    ++Answers;
                    socket->write(request);
                }
            });
            // A connection the server ends is opened again.
            connect(socket, &QTcpSocket::disconnected, socket, [socket, buffer] {
                buffer->clear();
                socket->connectToHost(QHostAddress::LocalHost, kPhonePort);
            });
            socket->connectToHost(QHostAddress::LocalHost, kPhonePort);
        }
    }

    void Connect() {
        for (int i = 0; i < m_tokens.size(); ++i) {
            auto* socket = new QTcpSocket(this);
            socket->bind(QHostAddress(QStringLiteral("127.1.%1.%2").arg(i / 250).arg(i % 250 + 1)));
            const QByteArray path = "/c/" + m_tokens.at(i).toLatin1() + "/live";
            auto buffer = std::make_shared<QByteArray>();
            auto open = std::make_shared<bool>(false);
            connect(socket, &QTcpSocket::connected, socket, [socket, path] {
                socket->write("GET " + path + " HTTP/1.1\r\nHost: " + kHost +
                              "\r\nUpgrade: websocket\r\n"
                              "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                              "Sec-WebSocket-Version: 13\r\n\r\n");
            });
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer, open] {
                buffer->append(socket->readAll());
                if (!*open) {
                    const qsizetype end = buffer->indexOf("\r\n\r\n");
                    if (end < 0) {
                        return;
                    }
                    *open = buffer->startsWith("HTTP/1.1 101");
                    Connected += *open ? 1 : 0;
                    buffer->remove(0, end + 4);
                }
                // Frames from the server are not masked: a header of 2, 4 or 10 bytes, then the payload.
                while (buffer->size() >= 2) {
                    const quint8 small = static_cast<quint8>(buffer->at(1)) & 0x7F;
                    const int header = small == 126 ? 4 : small == 127 ? 10 : 2;
                    if (buffer->size() < header) {
                        return;
                    }
                    qint64 length = small;
                    if (small >= 126) {
                        length = 0;
                        for (int b = 2; b < header; ++b) {
                            length = (length << 8) | static_cast<quint8>(buffer->at(b));
                        }
                    }
                    if (buffer->size() < header + length) {
                        return;
                    }
                    ++Frames;
                    buffer->remove(0, header + static_cast<qsizetype>(length));
                }
            });
            socket->connectToHost(QHostAddress::LocalHost, kPhonePort);
        }
    }

private:
    static inline const QByteArray kHost = "127.0.0.1:" + QByteArray::number(kPhonePort);
    QStringList m_tokens;
    int m_flood = 0;
};

// When each draw's panel opens, from its Space.
class SpaceToPanel : public DrawListener {
public:
    void Pressed() { m_pressed.start(); }
    void PanelOpened(qint16 row, int panel, bool byHand) override {
        if (!byHand && m_pressed.isValid()) {
            std::printf("space to panel: %lld ms (row %d, panel %d)\n",
                        static_cast<long long>(m_pressed.elapsed()), row, panel);
            std::fflush(stdout);
            m_pressed.invalidate();
        }
    }
    void PanelClosed(qint16 row, int panel) override {
        Q_UNUSED(row);
        Q_UNUSED(panel);
    }

private:
    QElapsedTimer m_pressed;
};

// Numbered cards with pages for n phones, recorded in the working folder as a card run would.
QStringList recordPhoneCards(const ProgramState& state, FractionSource& random, int n) {
    FreshCardOrigin origin;
    origin.RosterPath = state.Settings.RosterFilePath;
    origin.Fingerprint = RosterFingerprint(state.Roster);
    std::vector<RecordedCard> cards;
    QStringList tokens;
    for (int i = 1; i <= n; ++i) {
        const QString token = NewCardToken();
        if (auto card = DealFreshCard(state.Roster, random, origin, i, QDateTime::currentDateTime(), token)) {
            cards.push_back(*card);
            tokens << token;
        }
    }
    FileError error;
    if (!AddCardsToRecord(CardRecordPath(WorkingFolderOf(state), state.Settings.RosterFilePath), cards,
                          error)) {
        std::fprintf(stderr, "the card record could not be written\n");
    }
    return tokens;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    SetPhotoAllocationLimit();
    const QStringList args = QCoreApplication::arguments();
    const auto value = [&args](const QString& option, const QString& fallback) {
        const qsizetype at = args.indexOf(option);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    const int draws = value(QStringLiteral("--draws"), QStringLiteral("1")).toInt();
    const QStringList grid = value(QStringLiteral("--grid"), QStringLiteral("5x5")).split(u'x');
    const QStringList size = value(QStringLiteral("--size"), QStringLiteral("1920x1080")).split(u'x');
    const QString large = value(QStringLiteral("--large"), QString());
    const QString photo = value(QStringLiteral("--photo"), QString());
    const int phones = value(QStringLiteral("--phones"), QStringLiteral("0")).toInt();
    const int flood = value(QStringLiteral("--flood"), QStringLiteral("0")).toInt();
    const auto seed = value(QStringLiteral("--seed"), QStringLiteral("1")).toUInt();

    ProgramState state;
    state.Settings.ApplyDefaults();
    state.Settings.GameMode = 2;
    state.Settings.Cols = grid.value(0).toInt();
    state.Settings.Rows = grid.value(1).toInt();
    state.DrawKind = args.contains(QStringLiteral("--simple")) ? DrawKind::Simple : DrawKind::Normal;
    state.FrameLogPath = qEnvironmentVariable("MIRDA_FRAME_LOG");
    const QString data = QStringLiteral(MIRDA_SOURCE_DATA);
    // The draw keeps its records in the folder that holds the pictures: a temporary one here, with
    // the sample pictures linked in, never the sources.
    QTemporaryDir working;
    QFile::link(QDir(data).filePath(QStringLiteral("Pictures")),
                QDir(working.path()).filePath(QStringLiteral("Pictures")));
    state.Settings.Pictures = QDir(working.path()).filePath(QStringLiteral("Pictures"));
    state.Settings.Musics = QDir(data).filePath(QStringLiteral("Musics"));
    state.Settings.RosterFilePath = QDir(data).filePath(QStringLiteral("Sample01.txt"));
    ScriptedDialogs dialogs;
    LoadRoster(state, dialogs);
    if (!large.isEmpty()) {
        makeLargeRoster(state, large);
    }
    if (!photo.isEmpty()) {
        const QFileInfo file(photo);
        state.Settings.Pictures = file.absolutePath();
        for (int r = 1; r <= RosterTable::kCapacity; ++r) {
            state.Roster.SetCell(RosterColumn::Photo, r, file.fileName());
        }
    }

    QtClock clock;
    QtMusicPlayer music;
    // The phones' cards take fractions of their own, so the draws are the same with and without them.
    ClockSeededFractions drawRandom(seed);
    ClockSeededFractions cardRandom(seed + 1);
    Services services{dialogs, drawRandom, clock, music};
    services.networkAddresses = [] { return std::vector<QHostAddress>{QHostAddress::LocalHost}; };
    const QStringList tokens = phones > 0 ? recordPhoneCards(state, cardRandom, phones) : QStringList();
    auto* screen = new DrawScreen(state, services);
    screen->setGeometry(0, 0, size.value(0).toInt(), size.value(1).toInt());
    screen->show();
    SpaceToPanel spaceToPanel;
    screen->AddDrawListener(spaceToPanel);
    QThread phoneThread;
    LoopbackPhones loopbackPhones(tokens, flood);
    if (phones > 0) {
        loopbackPhones.moveToThread(&phoneThread);
        phoneThread.start(QThread::IdlePriority); // the phones stand for devices elsewhere in the room
    }

    int done = 0;
    QTimer driver;
    driver.setInterval(200);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (screen->Sequence().IsRunning()) {
            return;
        }
        if (done > 0) {
            std::printf("draw %d: resident %ld kB, peak %ld kB\n", done, peakKilobytes("VmRSS:"),
                        peakKilobytes("VmHWM:"));
            std::fflush(stdout);
        }
        if (done == draws) {
            driver.stop();
            state.DrawInProgress = false;
            screen->close();
            QCoreApplication::quit();
            return;
        }
        ++done;
        spaceToPanel.Pressed();
        screen->cmd抽選開始_Click();
    });
    QTimer::singleShot(1500, &driver, [&] {
        // After the grid's first layout: serving from the box (closed at once), the phones joining.
        if (phones > 0) {
            dialogs.Execs.push_back([](QDialog&) { return 0; });
            screen->JoinByPhone();
            QMetaObject::invokeMethod(&loopbackPhones, [&loopbackPhones] {
                loopbackPhones.Connect();
                loopbackPhones.Flood();
            });
            QTimer::singleShot(3000, &driver, [&] {
                std::printf("phones following: %d\n", loopbackPhones.Connected.load());
                driver.start();
            });
            return;
        }
        driver.start();
    });
    const int result = QApplication::exec();
    if (phones > 0) {
        phoneThread.quit();
        phoneThread.wait();
        std::printf("phone frames received: %ld, flood answers: %ld\n", loopbackPhones.Frames.load(),
                    loopbackPhones.Answers.load());
    }
    std::printf("peak resident %ld kB\n", peakKilobytes("VmHWM:"));
    return result;
}
