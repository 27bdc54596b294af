#pragma once

#include <QString>

// How a spreadsheet number cell is shown, reduced to what a roster cell can use.
struct XlsxNumberFormat {
    enum class Kind {
        General,  // as many digits as needed, integers without a fraction
        Fixed,    // a fixed number of decimals, perhaps as a percentage
        Date,     // yyyy/MM/dd
        Time,     // H:mm or H:mm:ss
        DateTime, // yyyy/MM/dd H:mm or yyyy/MM/dd H:mm:ss
    };
    Kind kind = Kind::General;
    int decimals = 0;     // Fixed
    bool percent = false; // Fixed
    bool seconds = false; // Time, DateTime

    bool operator==(const XlsxNumberFormat&) const = default;
};

// The format of a cell from its number format id and, for ids the workbook defines itself, the
// format code. Built-in ids 14-22 and the Japanese built-in date ids are dates and times; a custom
// code is a date when, outside quoted text and brackets, it holds y, d, g (era) or m without h or s
// beside it. Thousands separators are not shown: roster cells hold plain numbers.
XlsxNumberFormat ClassifyNumberFormat(int id, const QString& code);

// The text of a number as shown with the format. Dates count days from 1900-01-01 (1) with the
// fictitious 1900-02-29 (60), or from 1904-01-01 (0) in the 1904 date system.
QString FormatXlsxNumber(double value, const XlsxNumberFormat& format, bool date1904);

// The text of a date cell stored as ISO 8601 text (cell type "d").
QString FormatXlsxIsoDate(const QString& iso, const XlsxNumberFormat& format);
