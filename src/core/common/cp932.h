#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows code page 932 (Windows-31J), read and written the way Windows does, and without loss
// for any byte sequence, so that a file read and written back is the same file.
//
// - ASCII bytes are themselves (no control-code swapping), A1–DF the half-width katakana, and
//   every two-byte code Windows maps is its character. Of two codes for one character the one
//   Windows writes is written.
// - The single bytes Windows reads as private characters read as those: 80 ↔ U+0080,
//   A0 ↔ U+F8F0, FD–FF ↔ U+F8F1–U+F8F3.
// - Any other byte that is not part of a character (a lead byte before a byte that cannot follow
//   it, a lead byte at the very end, a two-byte code Windows leaves unassigned) reads as the
//   private character U+F700 + the byte, and is written back as that byte.

// Decodes bytes. undecodable, when given, receives the number of bytes that are no character of
// text (those read as private characters by the two rules above).
QString DecodeCp932(QByteArrayView bytes, qsizetype* undecodable = nullptr);

// Encodes text. Returns false when a character has no code; then badIndex, when given, receives
// the index of the first such character and out is left empty.
bool EncodeCp932(QStringView text, QByteArray& out, qsizetype* badIndex = nullptr);

// The index of the first character of text that has no code, or -1 when all have one.
qsizetype FirstNonCp932Character(QStringView text);
