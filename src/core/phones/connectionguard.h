#pragma once

#include "core/phones/phonelimits.h"

#include <QHostAddress>
#include <QTcpServer>
#include <memory>

class Clock;
class QTcpSocket;

// The listening socket of the phone server, which keeps watch over every connection before the
// HTTP server reads a byte of it: how many connections an address holds, how much a request may
// send before it is complete, and how long it may take. A connection over a limit is dropped.
// Qt's HTTP server reads whatever arrives; this is where what arrives is bounded.
class ConnectionGuard : public QTcpServer {
public:
    ConnectionGuard(Clock& clock, const PhoneLimits& limits, QObject* parent = nullptr);
    ~ConnectionGuard() override;

    // The HTTP server has a whole request of the socket: the next one starts afresh.
    void RequestDone(QTcpSocket* socket);
    // The connection of that peer became a WebSocket; its own limits apply from now on.
    void HandedOver(const QHostAddress& peer, quint16 port);

    int Connections() const;
    int ConnectionsOf(const QHostAddress& address) const;
    // Connections dropped for a limit since the start.
    int Dropped() const;

    struct Book;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    Clock& m_clock;
    PhoneLimits m_limits;
    std::shared_ptr<Book> m_book;
};
