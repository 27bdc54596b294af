#pragma once

#include "core/common/textfile.h"

#include <QByteArrayView>
#include <QString>

// How the text of a delimited file is decoded: guessed, or as the user says.
enum class EncodingChoice { Auto, Utf8, Cp932 };

struct EncodingGuess {
    TextEncoding Encoding = TextEncoding::Cp932;
    bool HasNul = false; // a NUL byte: not a text file
};

// Guesses the encoding of a text file from elsewhere. UTF-8 when it starts with a byte-order
// mark, or when all of it is valid UTF-8 and some multi-byte sequence in it cannot be Shift-JIS
// half-width katakana: those read as UTF-8 only in pairs (a byte C2–DF, then A1–BF), so a file of
// such pairs alone, set apart from Latin letters, stays Shift-JIS (ﾕｷ is D5 B7), while "José"
// (é right after a letter), "Ōsaka" (C5 8C) and any kana or kanji in UTF-8 (three bytes) are
// UTF-8. Shift-JIS (CP932) otherwise, plain ASCII included.
EncodingGuess GuessSourceEncoding(QByteArrayView bytes);

// The encoding the choice comes to for these bytes: a forced UTF-8 keeps the byte-order mark
// apart when there is one.
TextEncoding ChosenEncoding(EncodingChoice choice, QByteArrayView bytes, const EncodingGuess& guess);

// Decodes bytes piece by piece, each piece ending between characters, so that a large file is
// never held as text all at once. Invalid UTF-8 reads as U+FFFD; CP932 as DecodeCp932 reads it.
class ChunkDecoder {
public:
    ChunkDecoder(QByteArrayView bytes, TextEncoding encoding);

    bool AtEnd() const { return m_position >= m_bytes.size(); }
    qsizetype Position() const { return m_position; } // bytes decoded so far
    // The text of about the next maxBytes bytes (more when a character would be cut).
    QString Next(qsizetype maxBytes);

private:
    QByteArrayView m_bytes;
    TextEncoding m_encoding;
    qsizetype m_position = 0;
};
