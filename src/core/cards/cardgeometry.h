#pragma once

#include "core/cards/cardsettings.h"

#include <vector>

// Page geometry of the cards, in fixed-point millimetres (MmUnits, 0.0001 mm).

struct MmPoint {
    MmUnits X = 0;
    MmUnits Y = 0;
    bool operator==(const MmPoint&) const = default;
};

struct MmRect {
    MmUnits X = 0;
    MmUnits Y = 0;
    MmUnits Width = 0;
    MmUnits Height = 0;
    bool operator==(const MmRect&) const = default;
};

struct MmLine {
    MmPoint From;
    MmPoint To;
    bool operator==(const MmLine&) const = default;
};

// A length in millimetres rounded to the unit (halves to even), and back.
MmUnits ToUnits(double millimetres);
inline double ToMillimetres(MmUnits units) {
    return static_cast<double>(units) / kUnitsPerMm;
}

// numerator / denominator rounded to the unit, halves to even.
MmUnits DivideUnits(qint64 numerator, qint64 denominator);

// Width and height of the page of a layout (orientation applied).
MmPoint PageSize(const PaperLayout& layout);

// Top-left corners of the cards of a sheet, in print order (top before bottom, left before right).
std::vector<MmPoint> CardOrigins(const PaperLayout& layout);

// Side of a cell of an n × n card of side S.
inline MmUnits CellSide(MmUnits cardSide, int n) {
    return DivideUnits(cardSide, n);
}

// Top-left corner of cell (i, j), both from 1, of the card at origin.
inline MmPoint CellOrigin(MmPoint origin, MmUnits cellSide, int i, int j) {
    return {origin.X + (j - 1) * cellSide, origin.Y + (i - 1) * cellSide};
}

// The top of the text strip under a photo: three quarters of the cell.
inline MmUnits PhotoBoxHeight(MmUnits cellSide) {
    return DivideUnits(3LL * cellSide, 4);
}

// Where a photo of width w and height h (any unit) is drawn in the cell at (x, y): inside the box
// c wide and 3c/4 high at the cell's corner, as large as fits, centred on the axis it does not fill.
MmRect PlacePhoto(MmUnits x, MmUnits y, MmUnits cellSide, double w, double h);

// The grid of a card: its outline first, then for each inner division the vertical and the
// horizontal line.
struct CardGrid {
    MmRect Outline;
    std::vector<MmLine> Lines;
};
CardGrid GridLines(MmPoint origin, MmUnits cardSide, int n);
