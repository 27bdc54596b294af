#pragma once

#include "core/cards/cardgeometry.h"

#include <QString>

// What a numbered card carries in its own margin, beside the cells, never over them: its number
// ("No.0001") at the right above the card, and, for phones, a small QR code at the left above it.
// Every layout leaves at least 12.5 mm above each card, so both fit.

// How far above the card's top edge the margin's marks end.
constexpr double kMarginGapMm = 1.5;
// The side of the QR code.
constexpr double kCardQrSideMm = 10.0;

QString CardNumberText(int number);

// Where the number of height and width (text extent) goes above the card at origin of side S.
MmRect CardNumberPlace(MmPoint origin, MmUnits side, MmUnits textWidth, MmUnits textHeight);
// Where the QR code goes above the card.
MmRect CardQrPlace(MmPoint origin);
