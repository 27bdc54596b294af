#pragma once

#include <QString>
#include <optional>

// A birth date as the roster keeps it: year, month and day in three cells, without leading zeros.
struct BirthDate {
    int Year = 0; // 0 when the text gives only month and day
    int Month = 0;
    int Day = 0;
};

// Reads a date as people and spreadsheets write it: 1990/4/1, 1990-04-01, 1990.4.1, 1990年4月1日,
// 19900401, an era date (平成2年4月1日, H2.4.1, 昭和元年…), or 4月1日 without a year; full-width
// digits too, and a time after the date is ignored. Nothing for any other text.
std::optional<BirthDate> ParseBirthDate(const QString& text);

// The first four-digit year (1800–2200, not part of a longer number) in text, or empty text:
// what a birth year keeps of a date that cannot be read.
QString FourDigitYear(const QString& text);

// True when the text is a year and nothing else (1990, １９９０年).
bool IsYearOnly(const QString& text);
