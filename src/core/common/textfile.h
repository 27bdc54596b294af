#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// How a text file is stored. Files are written back the way they were read.
enum class TextEncoding {
    Cp932,   // Windows-31J, the normal case
    Utf8,    // UTF-8 without a byte-order mark (a file made elsewhere)
    Utf8Bom, // UTF-8 with a byte-order mark
};

// What a decoding found besides the text.
struct DecodeReport {
    TextEncoding Encoding = TextEncoding::Cp932;
    qsizetype Undecodable = 0; // CP932 bytes that were not part of a character
    bool HasNul = false;       // a NUL byte: not a text file
};

// Decodes a file the program writes itself (the settings file): UTF-8 when it starts with a
// byte-order mark, CP932 otherwise. Never guessed: a short CP932 text of half-width katakana is
// valid UTF-8 too.
QString DecodeOwnText(const QByteArray& bytes, DecodeReport* report = nullptr);

// Decodes a file that may come from elsewhere (a roster made in another editor): UTF-8 when it
// starts with a byte-order mark, or when it is valid UTF-8 that plainly is Japanese text (kana,
// kanji or full-width forms, and nothing from the alphabets that CP932 half-width katakana turn
// into when read as UTF-8); CP932 otherwise.
QString DecodeForeignText(const QByteArray& bytes, DecodeReport* report = nullptr);

// Encodes text in the given encoding. Returns false (and leaves out empty) when a character
// cannot be represented.
bool EncodeText(const QString& text, TextEncoding encoding, QByteArray& out);

// True when every character of text can be stored in CP932.
bool FitsCp932(const QString& text);

// Takes the characters the encoding cannot hold out of text (a lone surrogate included) and
// returns the first of them (empty when none). cursor, when given, is moved with the text.
QString TakeOutUnencodable(QString& text, TextEncoding encoding, int* cursor = nullptr);

// Splits text into lines the way the program's files are read: a line ends at CR or CR LF, a
// lone LF stays inside the line; the last line need not be terminated, and nothing follows the
// final line end.
QStringList SplitLines(const QString& text);
