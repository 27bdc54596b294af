#pragma once

#include <QRectF>
#include <QSize>
#include <vector>

// Geometry of the draw screen's panel grid, in twips.

// Most columns (and most rows) a grid has. The settings screen offers far fewer; a settings
// file edited by hand may say anything, and every panel is a widget numbered in 16 bits.
constexpr int kMaxGridSide = 100;

// Most panels a grid has: the size of the list of closed panels. (A settings file edited by hand
// may ask for far more, and every panel costs the screen memory.)
constexpr int kMaxPanels = 500;

// Columns and rows of the grid: values below 1 count as 5, values above kMaxGridSide count as
// kMaxGridSide.
int EffectiveGridSide(int value);

struct GridSize {
    int Cols = 5;
    int Rows = 5;
    bool operator==(const GridSize&) const = default;
};
// The grid the draw screen builds for the settings: each side as EffectiveGridSide gives it, and
// no more than kMaxPanels panels: a larger grid keeps its rows (its panels' size) and loses
// columns.
GridSize EffectiveGrid(int cols, int rows);

// A panel's place, in twips.
struct PanelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const PanelRect&) const = default;
};

// Panel k stands in column k / rows and row k % rows: the panels are numbered down each column.
inline int PanelColumn(int k, int rows) {
    return k / rows;
}
inline int PanelRow(int k, int rows) {
    return k % rows;
}

// Lays the grid out for a client size and the height of the draw button (all in twips): square
// panels of side g = (a - 50 * rows) / rows (a = client height - button height, halves to even)
// separated by gaps of 50, the first 10 from the left and 5 below the button band. A grid that
// would run off the right edge at that side gets the side that fits its columns into the width
// instead, 10 from either edge, so that every panel is seen whole.
// Gives false and leaves out untouched when the window is too small for panels of side 1.
bool LayoutPanelGrid(double clientWidth, double clientHeight, double buttonHeight, int cols, int rows,
                     std::vector<PanelRect>& out);

// How far to move a laid-out grid to the right so that it stands centred across a client width
// (twips); 0 when it is as wide as the client or wider.
double GridCentringShift(const std::vector<PanelRect>& rects, double clientWidth);

// Where a photo of the given size goes in the photo box of a panel of width pw (pw wide, 3pw/4
// high, at the panel's top left): it fills the box in one direction and is centred in the other.
QRectF PanelPhotoPlacement(double pw, double photoWidth, double photoHeight);

// Where a photo goes on the full-screen effect area pw × ph: the whole photo, as large as the
// area allows, centred.
QRectF EffectPhotoPlacement(double pw, double ph, double photoWidth, double photoHeight);
