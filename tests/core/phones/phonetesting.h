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

// Sends the bytes on a fresh connection and reads one answer.
inline Reply Send(quint16 port, const QByteArray& bytes, int timeoutMs = 3000) {
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
    reply.Closed = socket.state() == QAbstractSocket::UnconnectedState;
    const qsizetype end = data.indexOf("\r\n\r\n");
    if (whole && end >= 0 && data.startsWith("HTTP/1.")) {
        reply.Status = data.mid(9, 3).toInt();
        reply.Body = data.mid(end + 4);
    }
    return reply;
}

inline QByteArray Get(const QByteArray& path) {
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

inline QByteArray Post(const QByteArray& path, const QByteArray& body = {}) {
    return "POST " + path +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
           body;
}

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
