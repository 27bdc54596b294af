#include "core/transfer/xmlscanner.h"

#include <algorithm>
#include <limits>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

QByteArrayView localName(QByteArrayView name) {
    const qsizetype colon = name.lastIndexOf(':');
    return colon < 0 ? name : name.sliced(colon + 1);
}

// The characters of a character reference or a predefined entity (without & and ;).
bool entity(QByteArrayView name, QString& out) {
    if (name == "lt") {
        out += u'<';
    } else if (name == "gt") {
        out += u'>';
    } else if (name == "amp") {
        out += u'&';
    } else if (name == "quot") {
        out += u'"';
    } else if (name == "apos") {
        out += u'\'';
    } else if (name.size() > 1 && name[0] == '#') {
        bool ok = false;
        const uint code = name[1] == 'x' ? name.sliced(2).toUInt(&ok, 16) : name.sliced(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        const char32_t c = code;
        out += QString::fromUcs4(&c, 1);
    } else {
        return false;
    }
    return true;
}

} // namespace

XmlScanner::XmlScanner(QByteArrayView xml) : m_xml(xml) {
    if (m_xml.startsWith("\xEF\xBB\xBF")) {
        m_position = 3;
    }
}

XmlScanner::Token XmlScanner::fail(Problem problem) {
    if (m_problem == Problem::None) {
        m_problem = problem;
    }
    m_token = Token::Invalid;
    return m_token;
}

XmlScanner::Token XmlScanner::Next() {
    if (m_problem != Problem::None) {
        return fail(m_problem);
    }
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_open.pop_back();
        m_token = Token::EndElement;
        return m_token;
    }
    const qsizetype n = m_xml.size();
    while (m_position < n) {
        const QByteArrayView rest = m_xml.sliced(m_position);
        if (rest[0] != '<') {
            const qsizetype lt = rest.indexOf('<');
            m_text = lt < 0 ? rest : rest.first(lt);
            m_position += m_text.size();
            m_cdata = false;
            if (m_open.empty()) {
                if (!TextIsBlank()) {
                    return fail(Problem::Broken); // text outside the root element
                }
                continue;
            }
            m_token = Token::Text;
            return m_token;
        }
        const char second = rest.size() > 1 ? rest[1] : '\0';
        if (second == '?' || rest.startsWith("<!--")) {
            const bool comment = second == '!';
            const qsizetype end = rest.indexOf(comment ? QByteArrayView("-->") : QByteArrayView("?>"));
            if (end < 0) {
                return fail(Problem::Broken);
            }
            m_position += end + (comment ? 3 : 2);
            continue;
        }
        if (second == '!') {
            if (!rest.startsWith("<![CDATA[")) {
                return fail(Problem::DocumentType);
            }
            const qsizetype end = rest.indexOf("]]>");
            if (end < 0 || m_open.empty()) {
                return fail(Problem::Broken);
            }
            m_text = rest.sliced(9, end - 9);
            m_position += end + 3;
            m_cdata = true;
            m_token = Token::Text;
            return m_token;
        }
        if (second == '/') {
            qsizetype i = 2;
            while (i < rest.size() && !isSpace(rest[i]) && rest[i] != '>') {
                ++i;
            }
            const QByteArrayView name = rest.sliced(2, i - 2);
            while (i < rest.size() && isSpace(rest[i])) {
                ++i;
            }
            if (i == rest.size() || rest[i] != '>' || m_open.empty() || m_open.back() != name) {
                return fail(Problem::Broken);
            }
            m_open.pop_back();
            m_position += i + 1;
            m_name = localName(name);
            m_token = Token::EndElement;
            return m_token;
        }
        if (!readStartTag()) {
            return fail(Problem::Broken);
        }
        m_token = Token::StartElement;
        return m_token;
    }
    if (!m_open.empty() || !m_sawRoot) {
        return fail(Problem::Broken); // cut short, or no element at all
    }
    m_token = Token::End;
    return m_token;
}

bool XmlScanner::readStartTag() {
    const QByteArrayView rest = m_xml.sliced(m_position);
    const qsizetype n = rest.size();
    qsizetype i = 1;
    while (i < n && !isSpace(rest[i]) && rest[i] != '/' && rest[i] != '>') {
        ++i;
    }
    const QByteArrayView name = rest.sliced(1, i - 1);
    if (name.isEmpty() || (m_open.empty() && m_sawRoot)) {
        return false;
    }
    m_attributes.clear();
    for (;;) {
        while (i < n && isSpace(rest[i])) {
            ++i;
        }
        if (i == n) {
            return false;
        }
        if (rest[i] == '>' || (rest[i] == '/' && i + 1 < n && rest[i + 1] == '>')) {
            m_pendingEnd = rest[i] == '/';
            i += m_pendingEnd ? 2 : 1;
            break;
        }
        const qsizetype start = i;
        while (i < n && !isSpace(rest[i]) && rest[i] != '=' && rest[i] != '>' && rest[i] != '/') {
            ++i;
        }
        const QByteArrayView attributeName = rest.sliced(start, i - start);
        while (i < n && isSpace(rest[i])) {
            ++i;
        }
        if (attributeName.isEmpty() || i + 1 >= n || rest[i] != '=') {
            return false;
        }
        ++i;
        while (i < n && isSpace(rest[i])) {
            ++i;
        }
        if (i == n || (rest[i] != '"' && rest[i] != '\'')) {
            return false;
        }
        const qsizetype close = rest.indexOf(rest[i], i + 1);
        if (close < 0) {
            return false;
        }
        m_attributes.push_back({localName(attributeName), rest.sliced(i + 1, close - i - 1)});
        i = close + 1;
    }
    m_sawRoot = true;
    m_open.push_back(name);
    m_name = localName(name);
    m_position += i;
    return true;
}

QByteArrayView XmlScanner::RawAttribute(QByteArrayView name) const {
    for (const AttributeSpan& a : m_attributes) {
        if (a.name == name) {
            return a.value;
        }
    }
    return {};
}

QString XmlScanner::Attribute(QByteArrayView name) const {
    QString out;
    decode(RawAttribute(name), out, std::numeric_limits<qsizetype>::max(), &m_badEntity);
    return out;
}

void XmlScanner::decode(QByteArrayView raw, QString& out, qsizetype cap, bool* invalid) {
    while (!raw.isEmpty() && out.size() < cap) {
        const qsizetype amp = raw.indexOf('&');
        QByteArrayView plain = amp < 0 ? raw : raw.first(amp);
        // At most what the cap leaves room for (a character is at most four bytes), not cut
        // inside a character.
        const qsizetype left = cap - out.size();
        const qsizetype room = left > plain.size() / 4 ? plain.size() : left * 4;
        if (plain.size() > room) {
            qsizetype end = room;
            while (end > 0 && (static_cast<quint8>(plain[end]) & 0xC0) == 0x80) {
                --end;
            }
            plain = plain.first(end);
        }
        out += QString::fromUtf8(plain);
        if (amp < 0 || plain.size() < amp) {
            break;
        }
        const qsizetype semicolon = raw.indexOf(';', amp);
        if (semicolon < 0 || semicolon - amp > 10 || !entity(raw.sliced(amp + 1, semicolon - amp - 1), out)) {
            *invalid = true;
            return;
        }
        raw = raw.sliced(semicolon + 1);
    }
    if (out.size() > cap) {
        out.truncate(out.at(cap - 1).isHighSurrogate() ? cap - 1 : cap);
    }
}

bool XmlScanner::DecodeText(QByteArrayView raw, QString& out) {
    bool invalid = false;
    decode(raw, out, std::numeric_limits<qsizetype>::max(), &invalid);
    return !invalid;
}

void XmlScanner::AppendText(QString& out, qsizetype cap) const {
    if (m_cdata) {
        if (out.size() < cap) {
            const qsizetype left = cap - out.size();
            out += QString::fromUtf8(left > m_text.size() / 4 ? m_text : m_text.first(left * 4));
            out.truncate(std::min(out.size(), cap));
        }
        return;
    }
    decode(m_text, out, cap, &m_badEntity);
}

bool XmlScanner::TextIsBlank() const {
    return std::all_of(m_text.begin(), m_text.end(), isSpace);
}

QString XmlScanner::ElementText(qsizetype cap, QByteArrayView skip) {
    QString out;
    for (int depth = 1; depth > 0;) {
        switch (Next()) {
        case Token::StartElement:
            if (!skip.isEmpty() && m_name == skip) {
                SkipElement();
            } else {
                ++depth;
            }
            break;
        case Token::EndElement:
            --depth;
            break;
        case Token::Text:
            AppendText(out, cap);
            break;
        default:
            return out;
        }
    }
    return out;
}

void XmlScanner::SkipElement() {
    for (int depth = 1; depth > 0;) {
        const Token t = Next();
        if (t == Token::StartElement) {
            ++depth;
        } else if (t == Token::EndElement) {
            --depth;
        } else if (t != Token::Text) {
            return;
        }
    }
}

XmlScanner::Problem XmlScanner::Error() const {
    return m_problem == Problem::None && m_badEntity ? Problem::Broken : m_problem;
}

qsizetype XmlScanner::Line() const {
    return m_xml.first(std::min(m_position, m_xml.size())).count('\n') + 1;
}
