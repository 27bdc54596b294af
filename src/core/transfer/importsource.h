#pragma once

#include "core/common/textfile.h"
#include "core/transfer/readprogress.h"
#include "core/transfer/sourcetext.h"
#include "core/transfer/texttable.h"

#include <QByteArray>
#include <QString>

// How a text file is read: its encoding and separator, guessed unless chosen.
struct ReadChoices {
    EncodingChoice Encoding = EncodingChoice::Auto;
    QChar Separator; // null: guessed
};

// A file to import participants from: a delimited text file (CSV, TSV, TXT) or an XLSX workbook,
// read into a bounded table of text cells (see SourceTable).
class ImportSource {
public:
    enum class Kind { Delimited, Workbook };

    // The largest file read at all.
    static constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;

    // Reads a file. Returns false with a message for the user (what is wrong and what to do,
    // without the path) on failure, and false with no message when the progress was stopped.
    bool Load(const QString& path, QString& error, const ReadChoices& choices = {},
              ReadProgress* progress = nullptr);
    // The same from the file's bytes; the name decides only what its extension says.
    bool LoadBytes(const QByteArray& bytes, const QString& fileName, QString& error,
                   const ReadChoices& choices = {}, ReadProgress* progress = nullptr);

    Kind SourceKind() const { return m_kind; }
    const SourceTable& Table() const { return m_table; }

    // Text files only: their bytes (kept to read them again with other choices), how they were
    // decoded and the separator in use.
    const QByteArray& Bytes() const { return m_bytes; }
    TextEncoding Encoding() const { return m_encoding; }
    QChar Separator() const { return m_separator; }

private:
    bool readText(const QString& suffix, QString& error, const ReadChoices& choices, ProgressSpan progress);

    Kind m_kind = Kind::Delimited;
    SourceTable m_table;
    QByteArray m_bytes;
    TextEncoding m_encoding = TextEncoding::Cp932;
    QChar m_separator = u',';
};
