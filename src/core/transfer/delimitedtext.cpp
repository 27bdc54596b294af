#include "core/transfer/delimitedtext.h"

#include <map>
#include <vector>

namespace {

constexpr qsizetype kFieldCap = kMaxCellLength + 2;

class TableSink : public DelimitedSink {
public:
    explicit TableSink(SourceTable& table) : m_builder(table) {}
    void Field(qsizetype column, QStringView text) override { m_builder.AddCell(column, text); }
    void EndRecord() override { m_builder.EndRow(++m_records); }

private:
    TableBuilder m_builder;
    qsizetype m_records = 0;
};

// Counts the fields of the first records.
class CountingSink : public DelimitedSink {
public:
    void Field(qsizetype, QStringView text) override {
        ++m_fields;
        m_empty = m_fields == 1 && text.isEmpty();
    }
    void EndRecord() override {
        if (!m_empty || m_fields > 1) { // an empty line says nothing about the separator
            Records.push_back(m_fields);
        }
        m_fields = 0;
        m_empty = true;
    }
    std::vector<qsizetype> Records;

private:
    qsizetype m_fields = 0;
    bool m_empty = true;
};

} // namespace

void DelimitedParser::append(QStringView text) {
    m_gathered = true;
    const qsizetype room = kFieldCap - m_field.size();
    if (room > 0) {
        m_field.append(text.first(std::min(room, text.size())));
    }
}

void DelimitedParser::endField(QStringView whole) {
    // A field that lies whole in the piece goes on as it is; one gathered from pieces or quotes
    // from the buffer, which keeps its memory for the next.
    m_sink.Field(m_column++,
                 m_gathered ? QStringView(m_field) : whole.first(std::min(whole.size(), kFieldCap)));
    m_field.truncate(0);
    m_gathered = false;
    m_state = State::FieldStart;
}

void DelimitedParser::endRecord(QStringView whole) {
    endField(whole);
    m_sink.EndRecord();
    m_column = 0;
}

void DelimitedParser::Feed(QStringView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    if (m_pendingCr) {
        m_pendingCr = false;
        if (n > 0 && text[0] == u'\n') {
            i = 1;
        }
    }
    while (i < n) {
        switch (m_state) {
        case State::Quoted: {
            const qsizetype quote = text.indexOf(u'"', i);
            if (quote < 0) {
                append(text.sliced(i));
                i = n;
                break;
            }
            append(text.sliced(i, quote - i));
            i = quote + 1;
            m_state = State::QuoteInQuoted;
            break;
        }
        case State::QuoteInQuoted:
            // A doubled quote is a quote; any other character follows the closing quote.
            if (text[i] == u'"') {
                append(u"\"");
                ++i;
                m_state = State::Quoted;
            } else {
                m_state = State::AfterQuote;
            }
            break;
        case State::FieldStart:
            if (text[i] == u'"') {
                ++i;
                m_state = State::Quoted;
                break;
            }
            m_state = State::Unquoted;
            [[fallthrough]];
        case State::Unquoted:
        case State::AfterQuote: {
            qsizetype j = i;
            const char16_t separator = m_separator.unicode();
            const char16_t* data = text.utf16();
            while (j < n && data[j] != separator && data[j] != u'\r' && data[j] != u'\n') {
                ++j;
            }
            const QStringView part = text.sliced(i, j - i);
            if (j == n) {
                append(part);
                i = n;
                break;
            }
            if (m_gathered) {
                append(part);
            }
            if (text[j] == m_separator) {
                endField(part);
            } else {
                if (text[j] == u'\r') {
                    if (j + 1 < n && text[j + 1] == u'\n') {
                        ++j;
                    } else if (j + 1 == n) {
                        m_pendingCr = true;
                    }
                }
                endRecord(part);
            }
            i = j + 1;
            break;
        }
        }
    }
}

void DelimitedParser::Finish() {
    // The last record need not end in a line break; a line break at the very end adds nothing.
    if (m_column > 0 || m_state != State::FieldStart) {
        endRecord({});
    }
    m_pendingCr = false;
}

DelimitedTableReader::DelimitedTableReader(QChar separator, SourceTable& table)
    : m_sink(std::make_unique<TableSink>(table)), m_parser(separator, *m_sink) {}

DelimitedTableReader::~DelimitedTableReader() = default;

SourceTable ParseDelimited(QStringView text, QChar separator) {
    SourceTable table;
    DelimitedTableReader reader(separator, table);
    reader.Feed(text);
    reader.Finish();
    return table;
}

QChar DetectSeparator(QStringView sample, QChar fallback, bool wholeText) {
    constexpr size_t kSampleRecords = 30;
    QChar best = fallback;
    int bestFrequency = 0;
    qsizetype bestColumns = 1;
    for (const char16_t candidate : kDelimitedSeparators) {
        CountingSink counts;
        DelimitedParser parser(QChar(candidate), counts);
        parser.Feed(sample);
        if (wholeText) {
            parser.Finish();
        }
        std::map<qsizetype, int> frequency; // column count -> records with that count
        for (size_t r = 0; r < counts.Records.size() && r < kSampleRecords; ++r) {
            ++frequency[counts.Records[r]];
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
