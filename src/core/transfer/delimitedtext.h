#pragma once

#include "core/transfer/texttable.h"

#include <QChar>
#include <QString>
#include <QStringView>
#include <memory>

// What a DelimitedParser finds: fields in order, each record's end.
class DelimitedSink {
public:
    virtual ~DelimitedSink() = default;
    virtual void Field(qsizetype column, QStringView text) = 0;
    virtual void EndRecord() = 0;
};

// Splits delimited text (CSV, TSV) into records of fields, as RFC 4180 describes it and as
// spreadsheets write it: a field in double quotes may hold the separator, line breaks and doubled
// quotes; records end at CR LF, LF or CR. Text after a closing quote up to the next separator is
// kept, and a quote inside an unquoted field is an ordinary character. An empty line gives a
// record of one empty field; a line end at the very end gives no further record. The text comes
// in pieces, split anywhere; a field is handed on with at most kMaxCellLength + 2 characters (a
// longer one is cut by the table).
class DelimitedParser {
public:
    DelimitedParser(QChar separator, DelimitedSink& sink) : m_separator(separator), m_sink(sink) {}

    void Feed(QStringView text);
    void Finish();

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted, AfterQuote };
    void append(QStringView text);
    void endField(QStringView whole);
    void endRecord(QStringView whole);

    QChar m_separator;
    DelimitedSink& m_sink;
    State m_state = State::FieldStart;
    bool m_pendingCr = false; // a CR ended the last piece: an LF first in the next belongs to it
    QString m_field;          // a field gathered from pieces, or unquoted
    bool m_gathered = false;  // the field is in m_field
    qsizetype m_column = 0;
};

// A parser that builds a table (bounded as every import table is).
class DelimitedTableReader {
public:
    DelimitedTableReader(QChar separator, SourceTable& table);
    DelimitedTableReader(const DelimitedTableReader&) = delete;
    DelimitedTableReader& operator=(const DelimitedTableReader&) = delete;
    ~DelimitedTableReader();

    void Feed(QStringView text) { m_parser.Feed(text); }
    void Finish() { m_parser.Finish(); }

private:
    std::unique_ptr<DelimitedSink> m_sink;
    DelimitedParser m_parser;
};

// Splits the whole text into a table.
SourceTable ParseDelimited(QStringView text, QChar separator);

// The separators a file may use, in the order the import dialog offers them.
inline constexpr char16_t kDelimitedSeparators[] = {u',', u'\t', u';'};

// Guesses the separator from the start of delimited text: the candidate (comma, tab, semicolon)
// that splits the first 30 records, outside quotes, into the same number of columns most often,
// more than one column preferred. When none splits anything, fallback. A sample that is not the
// whole text leaves its last, perhaps cut, record out.
QChar DetectSeparator(QStringView sample, QChar fallback, bool wholeText = true);
