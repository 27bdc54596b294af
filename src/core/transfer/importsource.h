#pragma once

#include "core/common/textfile.h"
#include "core/transfer/texttable.h"

#include <QByteArray>
#include <QString>

// A file to import participants from: a delimited text file (CSV, TSV, TXT) or an XLSX workbook,
// read into a table of text cells. The separator of a text file is guessed and can be changed.
class ImportSource {
public:
    enum class Kind { Delimited, Workbook };

    // The largest file read at all.
    static constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;

    // Reads a file. Returns false with a message for the user (without the path) on failure.
    bool Load(const QString& path, QString& error);
    // The same from the file's bytes; the name decides only what its extension says.
    bool LoadBytes(const QByteArray& bytes, const QString& fileName, QString& error);

    Kind SourceKind() const { return m_kind; }
    const TextTable& Table() const { return m_table; }

    // Text files only: how they were decoded (as files from elsewhere are: UTF-8 when they carry a
    // byte-order mark or plainly are Japanese UTF-8, CP932 otherwise) and the separator in use.
    TextEncoding Encoding() const { return m_encoding; }
    QChar Separator() const { return m_separator; }
    void SetSeparator(QChar separator);

private:
    Kind m_kind = Kind::Delimited;
    TextTable m_table;
    QString m_text; // decoded text of a delimited file
    TextEncoding m_encoding = TextEncoding::Cp932;
    QChar m_separator = u',';
};
