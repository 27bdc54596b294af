#pragma once

#include "core/phones/cardtoken.h"
#include "core/record/cardrecord.h"
#include "core/roster/roster.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QImage>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>

// Helpers of the phone server's tests: an event loop to wait in, a plain socket to send exactly
// the bytes a test means (a browser's client would tidy up the paths under test), and a roster
// and cards whose every field is easy to recognise in what the server sends.
namespace phonetesting {

// The server needs an event loop; GoogleTest has none of its own.
class LoopApplication {
public:
    LoopApplication() {
        if (QCoreApplication::instance() == nullptr) {
            m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
        }
    }

private:
    int m_argc = 1;
    char m_name[8] = "phones";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QCoreApplication> m_app;
};

// Runs the event loop until done() holds or the time is up; whether it held.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 3000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > timeoutMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

inline void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Reply {
    int Status = 0; // 0: no answer
    QByteArray Head;
    QByteArray Body;
    bool Closed = false; // the server closed the connection
};

inline QByteArray HeaderOf(const Reply& reply, const QByteArray& name) {
    for (const QByteArray& line : reply.Head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower()) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

// What a browser sends as the Host of a server on the loopback.
inline QByteArray HostOf(quint16 port) {
    return "127.0.0.1:" + QByteArray::number(port);
}

// Sends the bytes on a fresh connection ({HOST} standing for the server's own host) and reads one
// answer; when closing is asked for, waits a while for the server to close the connection.
inline Reply Send(quint16 port, QByteArray bytes, int timeoutMs = 3000, int closingMs = 0) {
    bytes.replace("{HOST}", HostOf(port));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    WaitFor(
        [&] {
            return socket.state() == QAbstractSocket::ConnectedState ||
                   socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
    if (socket.state() != QAbstractSocket::ConnectedState) {
        Reply refused;
        refused.Closed = true;
        return refused;
    }
    socket.write(bytes);
    QByteArray data;
    Reply reply;
    const auto complete = [&] {
        data += socket.readAll();
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (end < 0) {
            return false;
        }
        reply.Head = data.left(end);
        const int length = HeaderOf(reply, "Content-Length").toInt();
        return data.size() - end - 4 >= length;
    };
    const bool whole =
        WaitFor([&] { return complete() || socket.state() == QAbstractSocket::UnconnectedState; }, timeoutMs);
    complete();
    if (closingMs > 0) {
        WaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, closingMs);
    }
    reply.Closed = socket.state() == QAbstractSocket::UnconnectedState;
    const qsizetype end = data.indexOf("\r\n\r\n");
    if (whole && end >= 0 && data.startsWith("HTTP/1.")) {
        reply.Status = data.mid(9, 3).toInt();
        reply.Body = data.mid(end + 4);
    }
    return reply;
}

inline QByteArray Get(const QByteArray& path) {
    return "GET " + path + " HTTP/1.1\r\nHost: {HOST}\r\n\r\n";
}

inline QByteArray Post(const QByteArray& path) {
    return "POST " + path + " HTTP/1.1\r\nHost: {HOST}\r\nContent-Length: 0\r\n\r\n";
}

// A live connection spoken byte by byte, for the frames a browser would never send. Frames from
// the server are read as they come (unless the phone never reads).
class RawPhone {
public:
    // Connects and asks for the live connection of the path; a receive buffer of that many bytes
    // when given, and no reading at all when deaf.
    RawPhone(quint16 port, const QByteArray& path, bool deaf = false) {
        if (deaf) {
            // A small window from the start: the system takes little on the phone's behalf.
            m_socket.bind(QHostAddress::LocalHost, 0);
            m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
            m_socket.setReadBufferSize(16);
        }
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        WaitFor([&] { return m_socket.state() == QAbstractSocket::ConnectedState; });
        m_socket.write("GET " + path + " HTTP/1.1\r\nHost: " + HostOf(port) +
                       "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                       "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
        if (!deaf) {
            QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { Take(); });
        }
    }

    // The server answered the handshake with 101.
    bool Upgraded() {
        return WaitFor([&] { return m_upgraded; });
    }
    // A frame: the first byte (FIN and opcode) as given, the payload masked unless said otherwise.
    void Send(quint8 first, const QByteArray& payload, bool masked = true) {
        QByteArray frame(1, static_cast<char>(first));
        const char mask[4] = {0x11, 0x22, 0x33, 0x44};
        const char flag = masked ? char(0x80) : char(0);
        if (payload.size() < 126) {
            frame.append(static_cast<char>(flag | payload.size()));
        } else {
            frame.append(static_cast<char>(flag | 126));
            frame.append(static_cast<char>(payload.size() >> 8));
            frame.append(static_cast<char>(payload.size() & 0xFF));
        }
        QByteArray body = payload;
        if (masked) {
            frame.append(mask, 4);
            for (qsizetype k = 0; k < body.size(); ++k) {
                body[k] = static_cast<char>(body[k] ^ mask[k % 4]);
            }
        }
        m_socket.write(frame + body);
    }
    // The close code the server sent; 0 while none came.
    quint16 CloseCode() const { return m_closeCode; }
    int Pings() const { return m_pings; }
    bool Closed() const { return m_socket.state() == QAbstractSocket::UnconnectedState; }

private:
    void Take() {
        m_in += m_socket.readAll();
        if (!m_upgraded) {
            const qsizetype end = m_in.indexOf("\r\n\r\n");
            if (end < 0) {
                return;
            }
            m_upgraded = m_in.startsWith("HTTP/1.1 101");
            m_in.remove(0, end + 4);
        }
        // Frames from the server are never masked: a header of 2 bytes, or 4 with a 16-bit length.
        while (m_in.size() >= 4 || (m_in.size() >= 2 && (m_in[1] & 0x7F) < 126)) {
            const bool wide = (m_in[1] & 0x7F) == 126;
            const int header = wide ? 4 : 2;
            const int length = wide ? (quint8(m_in[2]) << 8) | quint8(m_in[3]) : m_in[1] & 0x7F;
            if (m_in.size() < header + length) {
                return;
            }
            const int opcode = m_in[0] & 0x0F;
            if (opcode == 0x8 && length >= 2) {
                m_closeCode = static_cast<quint16>((quint8(m_in[header]) << 8) | quint8(m_in[header + 1]));
            }
            m_pings += opcode == 0x9 ? 1 : 0;
            m_in.remove(0, header + length);
        }
    }

    QTcpSocket m_socket;
    QByteArray m_in;
    bool m_upgraded = false;
    quint16 m_closeCode = 0;
    int m_pings = 0;
};

// Rows 1 to named hold 参加者NN with every other field filled with words that must never reach
// a phone; rows in excluded are marked excluded.
inline RosterTable SecretRoster(int named, std::initializer_list<int> excluded = {}) {
    RosterTable roster;
    roster.Clear();
    for (int row = 1; row <= named; ++row) {
        roster.SetCell(RosterColumn::Name, row, QStringLiteral("参加者%1").arg(row, 2, 10, QLatin1Char('0')));
        roster.SetCell(RosterColumn::BirthYear, row, QStringLiteral("1987"));
        roster.SetCell(RosterColumn::Birthplace, row, QStringLiteral("秘密の出身地%1").arg(row));
        roster.SetCell(RosterColumn::Affiliation, row, QStringLiteral("秘密の所属%1").arg(row));
        roster.SetCell(RosterColumn::FavouriteWords, row, QStringLiteral("秘密の言葉%1").arg(row));
        roster.SetCell(RosterColumn::Comment, row, QStringLiteral("秘密の一言%1").arg(row));
        roster.SetCell(RosterColumn::Song, row, QStringLiteral("secret-song-%1.mp3").arg(row));
    }
    for (int row : excluded) {
        roster.SetCell(RosterColumn::Excluded, row, QStringLiteral("1"));
    }
    return roster;
}

// A card of side n over rows first, first + 1, … (the mark in the centre), with a fresh token.
inline RecordedCard CardOf(const RosterTable& roster, int number, int n, int first) {
    RecordedCard card;
    card.Number = number;
    card.Side = n;
    card.Token = NewCardToken();
    int row = first;
    for (int k = 0; k < n * n; ++k) {
        if (k == n * n / 2) {
            card.Cells.push_back({0, QStringLiteral("★"), true});
        } else {
            card.Cells.push_back({static_cast<qint16>(row), roster.Cell(RosterColumn::Name, row), false});
            ++row;
        }
    }
    return card;
}

} // namespace phonetesting
