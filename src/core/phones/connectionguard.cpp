#include "core/phones/connectionguard.h"

#include "core/common/timing.h"

#include <QHash>
#include <QTcpSocket>
#include <algorithm>

class ConnectionWatch;

// What every connection's watch reports to; it outlives the guard when a WebSocket keeps its
// connection after the guard has gone.
struct ConnectionGuard::Book {
    QHash<QString, int> PerAddress;
    QHash<QString, ConnectionWatch*> ByPeer;
    QHash<const QTcpSocket*, ConnectionWatch*> BySocket;
    int Total = 0;
    int Dropped = 0;
};

namespace {

QString addressKey(const QHostAddress& address) {
    // An IPv4 address reached over an IPv6 socket is the same guest.
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

QString peerKey(const QHostAddress& address, quint16 port) {
    return addressKey(address) + QLatin1Char('#') + QString::number(port);
}

} // namespace

// Watches one connection, as a child of its socket so that it goes with the socket however the
// socket goes (Qt's HTTP server drops every signal of a socket whose request it cannot parse).
class ConnectionWatch : public QObject {
public:
    ConnectionWatch(QTcpSocket* socket, Clock& clock, const PhoneLimits& limits,
                    std::shared_ptr<ConnectionGuard::Book> book)
        : QObject(socket), m_socket(socket), m_limits(limits), m_book(std::move(book)),
          m_address(addressKey(socket->peerAddress())),
          m_peer(peerKey(socket->peerAddress(), socket->peerPort())), m_timer(clock.CreateTimer()) {
        ++m_book->Total;
        ++m_book->PerAddress[m_address];
        m_book->ByPeer.insert(m_peer, this);
        m_book->BySocket.insert(socket, this);
        // Connected before the HTTP server sees the socket, so this runs before it reads.
        connect(socket, &QTcpSocket::readyRead, this, [this] { Arrived(); });
        m_timer->SetCallback([this] { Drop(); });
        Wait(m_limits.IdleMs);
    }
    ~ConnectionWatch() override {
        --m_book->Total;
        if (--m_book->PerAddress[m_address] <= 0) {
            m_book->PerAddress.remove(m_address);
        }
        if (m_book->ByPeer.value(m_peer) == this) {
            m_book->ByPeer.remove(m_peer);
        }
        m_book->BySocket.remove(m_socket);
    }

    void RequestDone() {
        m_received = 0;
        m_inRequest = false;
        Wait(m_limits.IdleMs);
    }
    void HandedOver() {
        m_handedOver = true;
        m_timer->Stop();
        m_book->ByPeer.remove(m_peer);
    }

private:
    void Arrived() {
        if (m_handedOver) {
            return;
        }
        // The HTTP server reads all there is each time, so what is there now arrived since.
        m_received += m_socket->bytesAvailable();
        if (!m_inRequest) {
            m_inRequest = true;
            Wait(m_limits.RequestMs);
        }
        if (m_received > static_cast<qint64>(m_limits.HeaderBytes) + m_limits.BodyBytes) {
            Drop();
        }
    }
    void Wait(int ms) {
        m_timer->SetInterval(ms);
        m_timer->Start();
    }
    void Drop() {
        m_timer->Stop();
        ++m_book->Dropped;
        m_socket->abort();
        m_socket->deleteLater();
    }

    QTcpSocket* m_socket;
    const PhoneLimits m_limits;
    std::shared_ptr<ConnectionGuard::Book> m_book;
    QString m_address;
    QString m_peer;
    std::unique_ptr<Timer> m_timer;
    qint64 m_received = 0;
    bool m_inRequest = false;
    bool m_handedOver = false;
};

ConnectionGuard::ConnectionGuard(Clock& clock, const PhoneLimits& limits, QObject* parent)
    : QTcpServer(parent), m_clock(clock), m_limits(limits), m_book(std::make_shared<Book>()) {
    // A room full of phones may connect at once when the organiser shows the code.
    setMaxPendingConnections(std::max(limits.Connections, 30));
    setListenBacklogSize(std::max(limits.Connections, 50));
}

ConnectionGuard::~ConnectionGuard() = default;

void ConnectionGuard::RequestDone(QTcpSocket* socket) {
    if (ConnectionWatch* watch = m_book->BySocket.value(socket)) {
        watch->RequestDone();
    }
}

void ConnectionGuard::HandedOver(const QHostAddress& peer, quint16 port) {
    if (ConnectionWatch* watch = m_book->ByPeer.value(peerKey(peer, port))) {
        watch->HandedOver();
    }
}

int ConnectionGuard::Connections() const {
    return m_book->Total;
}

int ConnectionGuard::ConnectionsOf(const QHostAddress& address) const {
    return m_book->PerAddress.value(addressKey(address));
}

int ConnectionGuard::Dropped() const {
    return m_book->Dropped;
}

void ConnectionGuard::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QString address = addressKey(socket->peerAddress());
    if (m_book->Total >= m_limits.Connections ||
        m_book->PerAddress.value(address) >= m_limits.ConnectionsPerAddress) {
        ++m_book->Dropped;
        socket->abort();
        delete socket;
        return;
    }
    if (m_limits.SendBufferBytes > 0) {
        socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, m_limits.SendBufferBytes);
    }
    new ConnectionWatch(socket, m_clock, m_limits, m_book);
    addPendingConnection(socket);
}
