#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

// How a text file is stored. Files are written back the way they were read.
enum class TextEncoding {
    Cp932,   // Windows-31J, the normal case
    Utf8,    // valid UTF-8 that is not plain ASCII, no byte-order mark
    Utf8Bom, // UTF-8 with a byte-order mark
};

// Decodes file bytes: a UTF-8 byte-order mark, or valid UTF-8 that is not plain ASCII, is read
// as UTF-8; everything else as CP932.
QString DecodeText(const QByteArray& bytes, TextEncoding* encoding = nullptr);

// Encodes text in the given encoding. Returns false (and leaves out empty) when a character
// cannot be represented.
bool EncodeText(const QString& text, TextEncoding encoding, QByteArray& out);

// True when every character of text can be stored in CP932.
bool FitsCp932(const QString& text);

// Splits text into lines the way the program's files are read: a line ends at CR or CR LF, a
// lone LF stays inside the line; the last line need not be terminated, and nothing follows the
// final line end.
QStringList SplitLines(const QString& text);

// The platform's error code of the last failed file operation (errno where the C library set
// it), never 0.
int LastFileErrorCode(int qtFileError);
