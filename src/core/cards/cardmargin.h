#pragma once

#include "core/cards/cardgeometry.h"

#include <QString>

// What a numbered card carries in its own margin, beside the cells, never over them: its number
// ("No.0001") at the right above the card, and, for phones, a QR code in the wider of its margins
// — at the left above the card, or at the top left of it — as large as that margin allows within
// the part of the paper every printer prints. Every layout leaves at least 12.5 mm above each
// card and more than 34 mm above or beside it.

// How far above the card's top edge the number ends.
constexpr double kMarginGapMm = 1.5;
// The side of the QR code: at most, and at the least where a margin is narrow.
constexpr double kCardQrLargestMm = 20.0;
constexpr double kCardQrSmallestMm = 10.0;
// Between the code and the card: the code's quiet zone, which the blank paper also gives on its
// other sides.
constexpr double kCardQrGapMm = 3.0;
// Printers leave this much of the paper's edge blank; the code stays that far inside its card's
// share of the sheet.
constexpr double kPrintableEdgeMm = 5.0;

QString CardNumberText(int number);

// Where the number of height and width (text extent) goes above the card at origin of side S.
MmRect CardNumberPlace(MmPoint origin, MmUnits side, MmUnits textWidth, MmUnits textHeight);
// Where the QR code goes beside the card at origin on a sheet of the layout.
MmRect CardQrPlace(const PaperLayout& layout, MmPoint origin);
