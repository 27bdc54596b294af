#include "core/transfer/delimitedtext.h"

#include <map>

namespace {

// Parses at most maxRecords records (all when negative).
TextTable parseRecords(QStringView text, QChar separator, qsizetype maxRecords) {
    enum class State { FieldStart, Unquoted, Quoted, AfterQuote };
    TextTable rows;
    QStringList row;
    QString field;
    State state = State::FieldStart;
    const qsizetype n = text.size();
    const auto endField = [&] {
        row.append(field);
        field.clear();
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (state == State::Quoted) {
            if (c != u'"') {
                field.append(c);
            } else if (i + 1 < n && text[i + 1] == u'"') {
                field.append(c);
                ++i;
            } else {
                state = State::AfterQuote;
            }
            continue;
        }
        if (c == separator) {
            endField();
            state = State::FieldStart;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++i;
            }
            endField();
            rows.append(row);
            row.clear();
            state = State::FieldStart;
            if (maxRecords >= 0 && rows.size() >= maxRecords) {
                return rows;
            }
        } else if (c == u'"' && state == State::FieldStart) {
            state = State::Quoted;
        } else {
            field.append(c);
            if (state == State::FieldStart) {
                state = State::Unquoted;
            }
        }
    }
    // The last record need not end in a line break; a line break at the very end adds nothing.
    if (!row.isEmpty() || state != State::FieldStart) {
        endField();
        rows.append(row);
    }
    return rows;
}

} // namespace

TextTable ParseDelimited(QStringView text, QChar separator) {
    return parseRecords(text, separator, -1);
}

QChar DetectSeparator(QStringView text, QChar fallback) {
    constexpr qsizetype kSampleRecords = 30;
    QChar best = fallback;
    int bestFrequency = 0;
    qsizetype bestColumns = 1;
    for (const char16_t candidate : kDelimitedSeparators) {
        std::map<qsizetype, int> frequency; // column count -> records with that count
        for (const QStringList& record : parseRecords(text, QChar(candidate), kSampleRecords)) {
            if (record.size() == 1 && record.first().isEmpty()) {
                continue; // an empty line says nothing about the separator
            }
            ++frequency[record.size()];
        }
        for (const auto& [columns, count] : frequency) {
            if (columns < 2) {
                continue;
            }
            if (count > bestFrequency || (count == bestFrequency && columns > bestColumns)) {
                best = QChar(candidate);
                bestFrequency = count;
                bestColumns = columns;
            }
        }
    }
    return best;
}
