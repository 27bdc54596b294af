#pragma once

#include <QString>

// Text-to-number and formatting helpers shared by every screen.

// Reads the longest leading number of a text the way users type numbers into the program:
// every "," is dropped, spaces, tabs and line feeds anywhere are ignored, "." is the decimal
// point, an optional sign and exponent are accepted, and the prefixes &H and &O read hexadecimal
// and octal digits. A text without a leading number gives 0.
double NumericValue(const QString& text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// Rounds half away from zero (2.5 -> 3, -2.5 -> -3).
double RoundHalfAway(double value);

// Converts a double to a 16-bit or 32-bit integer after rounding halves to even. Returns false
// when the rounded value does not fit.
bool ToInt16(double value, qint16& out);
bool ToInt32(double value, qint32& out);

// Parses a strict decimal number text (optional sign, digits, optional fraction, surrounding
// spaces allowed) into a 32-bit integer, rounding halves to even. Returns false for anything
// else, including an empty text or a value out of range.
bool ParseInt32(const QString& text, qint32& out);

// Splits a path at its separators: returns the last component and puts everything before it
// (without a trailing separator) into folder. A path without separator is returned whole and
// is also its own folder.
QString SplitPath(const QString& path, QString& folder);

// Formats a value with a picture: "yyyy/mm/dd" and "hh:nn:ss" insert separators into digit
// strings; a numeric picture made of "0" and "#" formats the rounded number and right-aligns it
// in a field as wide as the picture, or gives that many spaces when it does not fit.
QString FormatField(const QString& value, const QString& picture);
QString FormatField(double value, const QString& picture);

// Formats a number with a picture made of "0" (digit, leading zeros kept) and "#" (digit only
// where needed), rounding halves away from zero, without padding. "#####" gives "" for 0.
QString FormatNumber(double value, const QString& picture);
