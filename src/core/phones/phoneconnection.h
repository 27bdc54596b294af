#pragma once

#include "core/phones/httprequest.h"
#include "core/phones/phonelimits.h"
#include "core/phones/websocketframes.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <memory>

class Clock;
class QTcpSocket;
class Timer;

// One connection of a phone: HTTP requests one at a time, or, once upgraded, a live WebSocket
// that follows a card. It bounds everything the connection holds: what arrives (a request within
// the reader's limits, frames within the message limit and so many a window), how long a request
// may take, and every byte queued to be sent (answers, marks, pongs) — a connection whose unsent
// bytes would pass the limit is dropped at that write. Its owner answers the requests and learns
// when it has ended; it is deleted by the owner, never under one of its own calls.
class PhoneConnection : public QObject {
public:
    class Owner {
    public:
        virtual ~Owner() = default;
        // A whole request: the owner answers it with Answer or Upgrade, at once or later.
        virtual void Requested(PhoneConnection& connection, const HttpRequest& request) = 0;
        // A request that cannot be read: the owner answers the status, and the connection closes.
        virtual void Refused(PhoneConnection& connection, int status) = 0;
        // The unsent bytes of the connection changed by delta.
        virtual void UnsentChanged(PhoneConnection& connection, qint64 delta) = 0;
        // The connection ended, dropped for a limit or closed.
        virtual void Ended(PhoneConnection& connection, bool dropped) = 0;
    };

    PhoneConnection(quint64 id, std::unique_ptr<QTcpSocket> socket, Clock& clock, const PhoneLimits& limits,
                    Owner& owner);
    ~PhoneConnection() override;

    quint64 Id() const { return m_id; }
    // The peer's address, an IPv4 address reached over IPv6 written as IPv4.
    const QString& Address() const { return m_address; }
    bool IsLive() const { return m_state == State::Live; }
    bool IsEnded() const { return m_state == State::Ended; }
    qint64 Unsent() const { return m_unsent; }

    // The answer to the request being handled; the next request is read after it, unless close.
    void Answer(const QByteArray& response, bool close);
    // The request was a WebSocket handshake the owner accepts: from now on the connection is live.
    void Upgrade(const QByteArray& acceptKey);

    // Live: a text message, a ping. False when the connection ended (dropped for its unsent bytes).
    bool SendText(const QByteArray& utf8);
    bool Ping();
    // Pings sent since the phone was last heard from.
    int Unanswered() const { return m_unanswered; }

    // Live: a close frame with the code, then the connection closes; otherwise it closes.
    void Close(quint16 code);
    // Ends the connection at once, as dropped for a limit.
    void Drop();

private:
    enum class State { Idle, Reading, Busy, Live, Closing, Ended };

    bool Queue(const QByteArray& bytes);
    void Arrived();
    void ReadRequests();
    void ReadFrames();
    void Resume();
    void Wait(int ms);
    void TimedOut();
    void End(bool dropped);
    void Written(qint64 bytes);
    void ShutDownWhenSent();

    quint64 m_id;
    std::unique_ptr<QTcpSocket> m_socket;
    Clock& m_clock;
    const PhoneLimits& m_limits;
    Owner& m_owner;
    QString m_address;
    std::unique_ptr<Timer> m_timer;
    State m_state = State::Idle;
    bool m_closeAfterAnswer = false;
    bool m_handling = false; // inside Owner::Requested
    bool m_shutDown = false; // closing: nothing more is sent
    QByteArray m_in;
    HttpRequestReader m_requests;
    websocket::FrameReader m_frames;
    qint64 m_unsent = 0;
    int m_unanswered = 0;
    qint64 m_frameWindowStart = 0;
    int m_framesInWindow = 0;
};

// The address of a peer as the limits count it.
QString PeerAddressKey(const QHostAddress& address);
