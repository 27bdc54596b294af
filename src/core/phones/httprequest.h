#pragma once

#include <QByteArray>
#include <utility>
#include <vector>

// One HTTP/1.0 or HTTP/1.1 request, as it was sent: the target is never decoded or tidied.
struct HttpRequest {
    QByteArray Method;
    QByteArray Target;
    int Minor = 1;                                          // HTTP/1.<Minor>
    std::vector<std::pair<QByteArray, QByteArray>> Headers; // names in lower case, values trimmed
    QByteArray Body;

    // The value of the header (a name in lower case); empty when it is missing.
    QByteArray Header(const QByteArray& name) const;
    int Count(const QByteArray& name) const;
    // Whether the header's value lists the token (comma-separated, any case).
    bool Lists(const QByteArray& name, const QByteArray& token) const;
    // The connection stays open after the answer: HTTP/1.1 without "Connection: close".
    bool KeepAlive() const;
};

// Reads requests off the front of what a connection has received, one at a time, within limits:
// the request line and headers (HeaderBytes), and a body declared by Content-Length (BodyBytes).
// Nothing is read by guesswork: a request that is not plainly well-formed is refused, and the
// connection is closed after the refusal, since where its next request would start is unknown.
class HttpRequestReader {
public:
    enum class Result {
        Incomplete, // more bytes are needed
        Complete,   // Request() holds it; its bytes are taken off the buffer
        Refused,    // answer RefusalStatus() and close
        Overrun,    // more than both limits together arrived before the request was whole: drop
    };

    HttpRequestReader(int headerBytes, int bodyBytes) : m_headerBytes(headerBytes), m_bodyBytes(bodyBytes) {}

    // Reads from the front of buffer. A buffer holding part of a request is read again from where
    // the last call stopped looking.
    Result Read(QByteArray& buffer);
    const HttpRequest& Request() const { return m_request; }
    int RefusalStatus() const { return m_refusal; }
    // Some bytes of the next request have arrived.
    bool Started(const QByteArray& buffer) const;

private:
    Result Refuse(int status);
    bool ParseHead(const QByteArray& head);

    int m_headerBytes;
    int m_bodyBytes;
    qsizetype m_scanned = 0;  // bytes of the buffer looked at for the end of the head
    qsizetype m_headEnd = -1; // where the body starts, once known
    qint64 m_bodyLength = 0;
    HttpRequest m_request;
    int m_refusal = 0;
};

// The reason phrase of a status code.
QByteArray HttpReason(int status);
