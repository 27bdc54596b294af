#pragma once

// What a fuzz target prints when one of its properties does not hold. The target then aborts,
// so that libFuzzer keeps the input as a reproducer and the run fails.

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// Text as printable ASCII: CR, LF and TAB as \r \n \t, any other character outside the printable
// ASCII range as \uXXXX; at most limit characters.
inline std::string Escaped(const QString& text, qsizetype limit = 160) {
    std::string out;
    const qsizetype n = std::min(text.size(), limit);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        char buffer[8];
        if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c == u'\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    if (n < text.size()) {
        out += "...";
    }
    return out;
}

// Bytes in hexadecimal, at most limit of them from offset from.
inline std::string Hex(const QByteArray& bytes, qsizetype from = 0, qsizetype limit = 48) {
    std::string out;
    const qsizetype end = std::min(bytes.size(), from + limit);
    for (qsizetype i = from; i < end; ++i) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned char>(bytes.at(i)));
        if (i > from) {
            out += ' ';
        }
        out += buffer;
    }
    if (end < bytes.size()) {
        out += " ...";
    }
    return out;
}

// The index of the first element in which a and b differ; the shorter size when one is a prefix
// of the other, and the size when they are equal.
template <typename Sequence> qsizetype FirstDifference(const Sequence& a, const Sequence& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a.at(i) != b.at(i)) {
            return i;
        }
    }
    return n;
}

// The line of text that holds position at. Lines end at CR or CR LF as in the program's files;
// a lone line feed is part of the line (and shown as \n).
inline QString LineAt(const QString& text, qsizetype at) {
    qsizetype start = at;
    while (start > 0 && text.at(start - 1) != u'\r') {
        --start;
    }
    if (start > 0 && start < at && text.at(start) == u'\n') {
        ++start;
    }
    qsizetype end = at;
    while (end < text.size() && text.at(end) != u'\r') {
        ++end;
    }
    return text.mid(start, end - start);
}

// Reports a finding and stops the run. Every line starts with "mirda-fuzz:" so that scripts/fuzz
// can show it without libFuzzer's own output.
[[noreturn]] inline void Fail(const std::string& what, const std::string& details) {
    std::fprintf(stderr, "mirda-fuzz: FINDING: %s\n", what.c_str());
    std::string::size_type start = 0;
    while (start < details.size()) {
        std::string::size_type end = details.find('\n', start);
        if (end == std::string::npos) {
            end = details.size();
        }
        std::fprintf(stderr, "mirda-fuzz:   %s\n", details.substr(start, end - start).c_str());
        start = end + 1;
    }
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzz
