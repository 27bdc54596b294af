#pragma once

#include <QtGlobal>

// What happens to the panels, told as it happens (the draw record, the phones).
class DrawListener {
public:
    virtual ~DrawListener() = default;
    // A panel opened for a row: by a draw, or by hand.
    virtual void PanelOpened(qint16 row, int panel, bool byHand) = 0;
    virtual void PanelClosed(qint16 row, int panel) = 0;
};
