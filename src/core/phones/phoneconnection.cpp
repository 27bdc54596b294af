#include "core/phones/phoneconnection.h"

#include "core/common/timing.h"

#include <QTcpSocket>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {

// What Qt reads off the system for a connection before the server has taken it: a request or a
// few frames. Beyond it the bytes wait in the system, and the phone waits.
constexpr qint64 kReadBufferBytes = 16 * 1024;
constexpr quint16 kNormalClosure = 1000;

// Ends what this side sends (a FIN after the bytes already handed to the system) and goes on
// receiving; false when the system refuses.
bool ShutDownSending(qintptr descriptor) {
#ifdef Q_OS_WIN
    return ::shutdown(static_cast<SOCKET>(descriptor), SD_SEND) == 0;
#else
    return ::shutdown(static_cast<int>(descriptor), SHUT_WR) == 0;
#endif
}

} // namespace

QString PeerAddressKey(const QHostAddress& address) {
    // An IPv4 address reached over an IPv6 socket is the same guest.
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

PhoneConnection::PhoneConnection(quint64 id, std::unique_ptr<QTcpSocket> socket, Clock& clock,
                                 const PhoneLimits& limits, Owner& owner)
    : m_id(id), m_socket(std::move(socket)), m_clock(clock), m_limits(limits), m_owner(owner),
      m_address(PeerAddressKey(m_socket->peerAddress())), m_timer(clock.CreateTimer()),
      m_requests(limits.HeaderBytes, limits.BodyBytes), m_frames(limits.MessageBytes) {
    m_socket->setParent(nullptr);
    m_socket->setReadBufferSize(kReadBufferBytes);
    if (limits.SendBufferBytes > 0) {
        m_socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, limits.SendBufferBytes);
    }
    connect(m_socket.get(), &QTcpSocket::readyRead, this, [this] { Arrived(); });
    connect(m_socket.get(), &QTcpSocket::bytesWritten, this, [this](qint64 bytes) { Written(bytes); });
    connect(m_socket.get(), &QTcpSocket::disconnected, this, [this] { End(false); });
    connect(m_socket.get(), &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState) {
            End(false);
        }
    });
    m_timer->SetCallback([this] { TimedOut(); });
    Wait(m_limits.IdleMs);
    if (m_socket->bytesAvailable() > 0) {
        QMetaObject::invokeMethod(
            this, [this] { Arrived(); }, Qt::QueuedConnection);
    }
}

PhoneConnection::~PhoneConnection() {
    m_socket->disconnect(this);
    m_socket->abort();
}

void PhoneConnection::Wait(int ms) {
    m_timer->SetInterval(ms);
    m_timer->Start();
}

void PhoneConnection::TimedOut() {
    switch (m_state) {
    case State::Idle:
    case State::Reading:
    case State::Closing:
        Drop();
        break;
    case State::Busy:
    case State::Live:
    case State::Ended:
        m_timer->Stop();
        break;
    }
}

void PhoneConnection::Arrived() {
    switch (m_state) {
    case State::Idle:
    case State::Reading:
        m_in += m_socket->readAll();
        ReadRequests();
        break;
    case State::Live:
        m_in += m_socket->readAll();
        ReadFrames();
        break;
    case State::Closing:
        m_socket->readAll(); // nothing more is taken
        break;
    case State::Busy: // read once the request in hand is answered
    case State::Ended:
        break;
    }
}

void PhoneConnection::Resume() {
    if (m_state == State::Idle || m_state == State::Live) {
        Arrived();
    }
}

void PhoneConnection::ReadRequests() {
    while (m_state == State::Idle || m_state == State::Reading) {
        switch (m_requests.Read(m_in)) {
        case HttpRequestReader::Result::Incomplete:
            if (m_state == State::Idle && m_requests.Started(m_in)) {
                m_state = State::Reading;
                Wait(m_limits.RequestMs);
            }
            return;
        case HttpRequestReader::Result::Overrun:
            Drop();
            return;
        case HttpRequestReader::Result::Refused:
            m_state = State::Busy;
            m_timer->Stop();
            m_closeAfterAnswer = true;
            m_owner.Refused(*this, m_requests.RefusalStatus());
            return;
        case HttpRequestReader::Result::Complete:
            m_state = State::Busy;
            m_timer->Stop();
            m_closeAfterAnswer = !m_requests.Request().KeepAlive();
            m_handling = true;
            m_owner.Requested(*this, m_requests.Request());
            m_handling = false;
            break; // answered at once: the next request, if any
        }
    }
    if (m_state == State::Live && !m_in.isEmpty()) {
        ReadFrames(); // frames sent right behind the handshake
    }
}

void PhoneConnection::Answer(const QByteArray& response, bool close) {
    if (m_state != State::Busy || !Queue(response)) {
        return;
    }
    if (close || m_closeAfterAnswer) {
        Close(0);
        return;
    }
    m_state = State::Idle;
    Wait(m_limits.IdleMs);
    if (!m_handling) {
        // Answered later: what arrived meanwhile is read on the next turn of the event loop.
        QMetaObject::invokeMethod(
            this, [this] { Resume(); }, Qt::QueuedConnection);
    }
}

void PhoneConnection::Upgrade(const QByteArray& acceptKey) {
    if (m_state != State::Busy) {
        return;
    }
    m_state = State::Live;
    m_timer->Stop();
    m_frameWindowStart = m_clock.NowMs();
    if (Queue("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
              "Sec-WebSocket-Accept: " +
              acceptKey + "\r\n\r\n") &&
        !m_handling && !m_in.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this] { Resume(); }, Qt::QueuedConnection);
    }
}

void PhoneConnection::ReadFrames() {
    using websocket::FrameReader;
    while (m_state == State::Live) {
        const FrameReader::Result result = m_frames.Read(m_in);
        if (result == FrameReader::Result::Incomplete) {
            return;
        }
        if (result == FrameReader::Result::Error) {
            Close(m_frames.ErrorCode());
            return;
        }
        m_unanswered = 0; // heard from
        const qint64 now = m_clock.NowMs();
        if (now - m_frameWindowStart >= m_limits.PeerFrameWindowMs) {
            m_frameWindowStart = now;
            m_framesInWindow = 0;
        }
        if (++m_framesInWindow > m_limits.PeerFrames) {
            Close(websocket::kPolicyViolation);
            return;
        }
        const websocket::Incoming& frame = m_frames.Current();
        if (frame.Kind == websocket::Opcode::Ping) {
            if (!Queue(websocket::Frame(websocket::Opcode::Pong, frame.Payload))) {
                return;
            }
        } else if (frame.Kind == websocket::Opcode::Close) {
            Close(kNormalClosure);
            return;
        }
        // Whatever else a phone sends is thrown away: it only listens.
    }
}

bool PhoneConnection::SendText(const QByteArray& utf8) {
    return m_state == State::Live && Queue(websocket::Frame(websocket::Opcode::Text, utf8));
}

bool PhoneConnection::Ping() {
    if (m_state != State::Live) {
        return false;
    }
    ++m_unanswered;
    return Queue(websocket::Frame(websocket::Opcode::Ping, {}));
}

void PhoneConnection::Close(quint16 code) {
    if (m_state == State::Ended || m_state == State::Closing) {
        return;
    }
    if (m_state == State::Live && code != 0 && !Queue(websocket::CloseFrame(code))) {
        return;
    }
    m_state = State::Closing;
    Wait(m_limits.CloseGraceMs);
    ShutDownWhenSent();
}

void PhoneConnection::ShutDownWhenSent() {
    // The last answer goes out first, then the end of what this side sends; what the phone still
    // sends is read and thrown away until it closes too (or the grace is over). Closing at once
    // would throw its unread bytes back as a reset, which can take the answer with it.
    if (m_state != State::Closing || m_shutDown || m_socket->bytesToWrite() > 0) {
        return;
    }
    m_shutDown = true;
    if (!ShutDownSending(m_socket->socketDescriptor())) {
        m_socket->disconnectFromHost();
    }
}

void PhoneConnection::Drop() {
    End(true);
}

bool PhoneConnection::Queue(const QByteArray& bytes) {
    if (m_state == State::Ended || m_state == State::Closing) {
        return false;
    }
    if (m_socket->bytesToWrite() + bytes.size() > m_limits.UnsentBytes) {
        Drop();
        return false;
    }
    m_socket->write(bytes);
    // Handed to the system at once, as far as it takes them: a panel reaches a thousand phones
    // without a turn of the event loop each.
    m_socket->flush();
    Written(0);
    return m_state != State::Ended;
}

void PhoneConnection::Written(qint64 bytes) {
    Q_UNUSED(bytes);
    if (m_state == State::Ended) {
        return;
    }
    const qint64 unsent = m_socket->bytesToWrite();
    const qint64 delta = unsent - m_unsent;
    m_unsent = unsent;
    if (delta != 0) {
        m_owner.UnsentChanged(*this, delta);
    }
    ShutDownWhenSent();
}

void PhoneConnection::End(bool dropped) {
    if (m_state == State::Ended) {
        return;
    }
    m_state = State::Ended;
    m_timer->Stop();
    m_socket->disconnect(this);
    m_socket->abort();
    m_in.clear();
    if (m_unsent != 0) {
        const qint64 unsent = m_unsent;
        m_unsent = 0;
        m_owner.UnsentChanged(*this, -unsent);
    }
    m_owner.Ended(*this, dropped);
}
