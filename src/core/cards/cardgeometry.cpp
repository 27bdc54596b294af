#include "core/cards/cardgeometry.h"

#include "core/common/numeric.h"

#include <cmath>

MmUnits ToUnits(double millimetres) {
    return static_cast<MmUnits>(RoundHalfEven(millimetres * kUnitsPerMm));
}

MmUnits DivideUnits(qint64 numerator, qint64 denominator) {
    qint64 q = numerator / denominator;
    qint64 r = numerator % denominator;
    if (r != 0) {
        if ((r < 0) != (denominator < 0)) {
            --q; // floor
            r += denominator;
        }
        // Now numerator = q * denominator + r with r between 0 and denominator (same sign).
        const qint64 twice = 2 * (r < 0 ? -r : r);
        const qint64 den = denominator < 0 ? -denominator : denominator;
        if (twice > den || (twice == den && (q % 2 != 0))) {
            ++q;
        }
    }
    return static_cast<MmUnits>(q);
}

MmPoint PageSize(const PaperLayout& layout) {
    MmPoint size{2100000, 2970000};
    if (layout.Paper == QStringLiteral("B5")) {
        size = {1820000, 2570000};
    } else if (layout.Paper == QStringLiteral("はがき")) {
        size = {1000000, 1480000};
    }
    if (layout.Orientation == 2) {
        std::swap(size.X, size.Y);
    }
    return size;
}

std::vector<MmPoint> CardOrigins(const PaperLayout& layout) {
    const MmPoint page = PageSize(layout);
    const MmUnits s = layout.CardSide;
    const MmUnits halfW = DivideUnits(page.X, 2);
    const MmUnits halfH = DivideUnits(page.Y, 2);
    switch (layout.CardsPerSheet) {
    case 2:
        if (layout.Orientation == 1) {
            const MmPoint first{DivideUnits(page.X - s, 2), DivideUnits(halfH - s, 2)};
            return {first, {first.X, first.Y + halfH}};
        } else {
            const MmPoint first{DivideUnits(halfW - s, 2), DivideUnits(page.Y - s, 2)};
            return {first, {first.X + halfW, first.Y}};
        }
    case 4: {
        const MmPoint first{DivideUnits(halfW - s, 2), DivideUnits(halfH - s, 2)};
        return {first,
                {first.X + halfW, first.Y},
                {first.X, first.Y + halfH},
                {first.X + halfW, first.Y + halfH}};
    }
    default:
        return {{DivideUnits(page.X - s, 2), DivideUnits(page.Y - s, 2)}};
    }
}

MmRect PlacePhoto(MmUnits x, MmUnits y, MmUnits cellSide, double w, double h) {
    const MmUnits boxHeight = PhotoBoxHeight(cellSide);
    const double rh = static_cast<double>(boxHeight) / h;
    const double rw = static_cast<double>(cellSide) / w;
    if (rh >= rw) {
        const double drawnHeight = h * rw;
        return {x, y + static_cast<MmUnits>(RoundHalfEven((boxHeight - drawnHeight) / 2)), cellSide,
                static_cast<MmUnits>(RoundHalfEven(drawnHeight))};
    }
    const double drawnWidth = w * rh;
    return {x + static_cast<MmUnits>(RoundHalfEven((cellSide - drawnWidth) / 2)), y,
            static_cast<MmUnits>(RoundHalfEven(drawnWidth)), boxHeight};
}

CardGrid GridLines(MmPoint origin, MmUnits cardSide, int n) {
    CardGrid grid;
    grid.Outline = {origin.X, origin.Y, cardSide, cardSide};
    const MmUnits c = CellSide(cardSide, n);
    for (int i = 1; i <= n - 1; ++i) {
        const MmUnits vx = origin.X + i * c;
        grid.Lines.push_back({{vx, origin.Y}, {vx, origin.Y + cardSide}});
        const MmUnits hy = origin.Y + i * c;
        grid.Lines.push_back({{origin.X, hy}, {origin.X + cardSide, hy}});
    }
    return grid;
}
