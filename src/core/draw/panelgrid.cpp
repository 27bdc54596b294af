#include "core/draw/panelgrid.h"

#include "core/common/numeric.h"

#include <algorithm>
#include <cmath>

int EffectiveGridSide(int value) {
    if (value < 1) {
        return 5;
    }
    return value > kMaxGridSide ? kMaxGridSide : value;
}

GridSize EffectiveGrid(int cols, int rows) {
    GridSize grid{EffectiveGridSide(cols), EffectiveGridSide(rows)};
    grid.Cols = std::min(grid.Cols, std::max(1, kMaxPanels / grid.Rows));
    return grid;
}

bool LayoutPanelGrid(double clientWidth, double clientHeight, double buttonHeight, int cols, int rows,
                     std::vector<PanelRect>& out) {
    if (cols < 1 || rows < 1) {
        return false;
    }
    const double b = RoundHalfEven(buttonHeight);
    const double a = RoundHalfEven(clientHeight - b);
    const double byWidth = std::floor((clientWidth - 2 * 10.0 - 50.0 * (cols - 1)) / cols);
    const double g = std::min(RoundHalfEven((a - 50.0 * rows) / rows), byWidth);
    if (g < 1 || RoundHalfEven(6.0 * g / 8.0) < 1 || b < 1 || a < 1) {
        return false;
    }
    const int side = static_cast<int>(g);
    out.assign(static_cast<size_t>(cols) * static_cast<size_t>(rows), PanelRect{});
    for (int i = 0; i < cols; ++i) {
        double y = b + 5;
        for (int j = 0; j < rows; ++j) {
            PanelRect& r = out[static_cast<size_t>(i) * static_cast<size_t>(rows) + static_cast<size_t>(j)];
            r.Left = i * (side + 50) + 10;
            r.Top = static_cast<int>(y);
            r.Width = side;
            r.Height = side;
            y += side + 50;
        }
    }
    return true;
}

double GridCentringShift(const std::vector<PanelRect>& rects, double clientWidth) {
    if (rects.empty()) {
        return 0;
    }
    int left = rects.front().Left;
    int right = rects.front().Left + rects.front().Width;
    for (const PanelRect& r : rects) {
        left = std::min(left, r.Left);
        right = std::max(right, r.Left + r.Width);
    }
    return std::max(0.0, (clientWidth - (right - left)) / 2.0 - left);
}

QRectF PanelPhotoPlacement(double pw, double photoWidth, double photoHeight) {
    if (pw <= 0 || photoWidth <= 0 || photoHeight <= 0) {
        return {};
    }
    const double boxHeight = 3.0 * pw / 4.0;
    const double rH = boxHeight / photoHeight;
    const double rW = pw / photoWidth;
    if (rH < rW) {
        const double w = photoWidth * rH;
        return {(pw - w) / 2.0, 0.0, w, photoHeight * rH};
    }
    const double h = photoHeight * rW;
    return {0.0, (boxHeight - h) / 2.0, photoWidth * rW, h};
}

QRectF EffectPhotoPlacement(double pw, double ph, double photoWidth, double photoHeight) {
    if (pw <= 0 || ph <= 0 || photoWidth <= 0 || photoHeight <= 0) {
        return {};
    }
    const double scale = std::min(pw / photoWidth, ph / photoHeight);
    const double w = photoWidth * scale;
    const double h = photoHeight * scale;
    return {(pw - w) / 2.0, (ph - h) / 2.0, w, h};
}
