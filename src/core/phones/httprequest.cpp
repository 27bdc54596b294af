#include "core/phones/httprequest.h"

#include <QList>
#include <algorithm>

namespace {

// The characters of a method or a header's name.
bool isTokenCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (char c : text) {
        if (!isTokenCharacter(c)) {
            return false;
        }
    }
    return true;
}

// A header's value: visible characters, spaces and tabs, and bytes beyond ASCII.
bool isFieldValue(QByteArrayView text) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7F) {
            return false;
        }
    }
    return true;
}

QByteArray trimmed(QByteArrayView text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && (text[from] == ' ' || text[from] == '\t')) {
        ++from;
    }
    while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t')) {
        --to;
    }
    return text.sliced(from, to - from).toByteArray();
}

// The most digits a length may have: more is no length this server could take.
constexpr int kLengthDigits = 9;

} // namespace

QByteArray HttpRequest::Header(const QByteArray& name) const {
    for (const auto& [key, value] : Headers) {
        if (key == name) {
            return value;
        }
    }
    return {};
}

int HttpRequest::Count(const QByteArray& name) const {
    int count = 0;
    for (const auto& header : Headers) {
        count += header.first == name ? 1 : 0;
    }
    return count;
}

bool HttpRequest::Lists(const QByteArray& name, const QByteArray& token) const {
    for (const auto& [key, value] : Headers) {
        if (key != name) {
            continue;
        }
        for (const QByteArray& item : value.split(',')) {
            if (trimmed(item).compare(token, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
    }
    return false;
}

bool HttpRequest::KeepAlive() const {
    return Minor >= 1 && !Lists("connection", "close");
}

bool HttpRequestReader::Started(const QByteArray& buffer) const {
    for (char c : buffer) {
        if (c != '\r' && c != '\n') {
            return true;
        }
    }
    return false;
}

HttpRequestReader::Result HttpRequestReader::Refuse(int status) {
    m_refusal = status;
    return Result::Refused;
}

HttpRequestReader::Result HttpRequestReader::Read(QByteArray& buffer) {
    if (m_headEnd < 0) {
        // Empty lines before a request are left over from the one before; they are no request.
        qsizetype blank = 0;
        while (blank < buffer.size() && (buffer[blank] == '\r' || buffer[blank] == '\n')) {
            ++blank;
        }
        if (blank > 0) {
            buffer.remove(0, blank);
            m_scanned = 0;
        }
        // The head ends with an empty line; only the bytes not yet looked at are searched.
        for (qsizetype i = std::max<qsizetype>(0, m_scanned - 2); i < buffer.size(); ++i) {
            if (buffer[i] != '\n') {
                continue;
            }
            if (i + 1 < buffer.size() && buffer[i + 1] == '\n') {
                m_headEnd = i + 2;
                break;
            }
            if (i + 2 < buffer.size() && buffer[i + 1] == '\r' && buffer[i + 2] == '\n') {
                m_headEnd = i + 3;
                break;
            }
        }
        if (m_headEnd < 0) {
            m_scanned = buffer.size();
            return buffer.size() > static_cast<qsizetype>(m_headerBytes) + m_bodyBytes ? Result::Overrun
                                                                                       : Result::Incomplete;
        }
        if (m_headEnd > m_headerBytes) {
            return Refuse(431);
        }
        if (!ParseHead(buffer.left(m_headEnd))) {
            return Refuse(m_refusal);
        }
    }
    if (buffer.size() - m_headEnd < m_bodyLength) {
        return Result::Incomplete;
    }
    m_request.Body = buffer.mid(m_headEnd, m_bodyLength);
    buffer.remove(0, m_headEnd + m_bodyLength);
    m_headEnd = -1;
    m_scanned = 0;
    m_bodyLength = 0;
    return Result::Complete;
}

bool HttpRequestReader::ParseHead(const QByteArray& head) {
    m_request = HttpRequest();
    m_refusal = 400;
    QList<QByteArray> lines = head.split('\n');
    // The head ends in an empty line: the last two parts of the split are empty.
    lines.removeLast();
    lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    if (lines.isEmpty()) {
        return false;
    }
    const QList<QByteArray> parts = lines.front().split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || !parts[1].startsWith('/')) {
        return false;
    }
    for (char c : parts[1]) {
        if (c <= ' ' || c == 0x7F) {
            return false;
        }
    }
    if (parts[2] == "HTTP/1.1") {
        m_request.Minor = 1;
    } else if (parts[2] == "HTTP/1.0") {
        m_request.Minor = 0;
    } else {
        return false;
    }
    m_request.Method = parts[0];
    m_request.Target = parts[1];
    for (qsizetype k = 1; k < lines.size(); ++k) {
        const QByteArray& line = lines[k];
        const qsizetype colon = line.indexOf(':');
        // No folded lines, no space before the colon.
        if (colon <= 0 || !isToken(QByteArrayView(line).first(colon))) {
            return false;
        }
        const QByteArray value = trimmed(QByteArrayView(line).sliced(colon + 1));
        if (!isFieldValue(value)) {
            return false;
        }
        m_request.Headers.emplace_back(line.left(colon).toLower(), value);
    }
    // A body only by a plain length: one that is not a plain number, lengths that disagree, or a
    // transfer coding (with or without a length) leave the end of the request in doubt.
    if (m_request.Count("transfer-encoding") > 0) {
        return false;
    }
    QByteArray length;
    for (const auto& [name, value] : m_request.Headers) {
        if (name != "content-length") {
            continue;
        }
        if (value.isEmpty() || value.size() > kLengthDigits ||
            !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            (!length.isEmpty() && value != length)) {
            return false;
        }
        length = value;
    }
    m_bodyLength = length.isEmpty() ? 0 : length.toLongLong();
    if (m_bodyLength > m_bodyBytes) {
        m_refusal = 413;
        return false;
    }
    return true;
}

QByteArray HttpReason(int status) {
    switch (status) {
    case 101:
        return "Switching Protocols";
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 303:
        return "See Other";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 413:
        return "Payload Too Large";
    case 421:
        return "Misdirected Request";
    case 426:
        return "Upgrade Required";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}
