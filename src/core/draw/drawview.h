#pragma once

#include "core/draw/effects.h"
#include "core/draw/textfit.h"

#include <QColor>
#include <QSizeF>
#include <QString>

// What the draw sequence asks of the draw screen: to show and paint, never to decide. Positions
// and sizes are in the screen's own units (logical pixels), the same units ScreenSize gives.
class DrawView {
public:
    virtual ~DrawView() = default;

    // The screen's full size, which the effects and the scrolling line fill.
    virtual QSizeF ScreenSize() const = 0;
    // The colour the screen's background shows (the system's own when none was chosen).
    virtual QColor BackgroundColour() const = 0;

    // A message with an OK button. Returns false when the screen went away while it was shown:
    // the caller must then stop at once, touching nothing.
    virtual bool ShowMessage(const QString& text) = 0;

    // The draw and background buttons.
    virtual void ShowButtons(bool shown) = 0;
    // The song box: playing position and length.
    virtual void ShowPlayInfo(const QString& text) = 0;

    // The panel grid, all panels at once.
    virtual void ShowGrid(bool shown) = 0;
    // Panel k opened for a row (photo path empty: none), or closed.
    virtual void OpenPanel(int k, qint16 row, const QString& name, const QString& photoPath) = 0;
    virtual void ClosePanel(int k) = 0;

    // The scrolling line: shown with its text in a colour with its left edge at x; gives its width.
    virtual double ShowTelop(const QString& text, double x, double top, const QColor& colour) = 0;
    virtual void MoveTelop(double x, double top) = 0;
    virtual void HideTelop() = 0;

    // The typed lines on the screen's surface: cleared (back to the top left), one character
    // typed at the drawing position (wrapping at the screen's width), the end of a line.
    virtual void ClearSurface() = 0;
    virtual void TypeCharacter(const QString& character, const QColor& colour) = 0;
    virtual void EndTypedLine() = 0;

    // A photo the draw will show full screen, and on its panel when onPanel: its decoding may
    // start now, once for each size it is shown at.
    virtual void PreparePhoto(const QString& path, bool onPanel) = 0;
    // The full-screen effect area: cleared and shown with a photo (as large as the screen
    // allows), shown as it is, hidden (keeping what it shows), cleared.
    virtual void ShowPhoto(const QString& path) = 0;
    virtual void ShowEffects() = 0;
    virtual void HideEffects() = 0;
    virtual void ClearEffects() = 0;
    // The animated name: measured in a face at a point size, and one copy printed.
    virtual TextSize MeasureName(const QString& face, double pointSize, const QString& name) = 0;
    virtual void PrintName(const QString& face, const NameFrame& frame, const QString& name) = 0;

    // A frame of the effects fell due (microseconds of the clock's steady time): what the draw
    // shows next belongs to it. For measuring the pacing only.
    virtual void FrameDue(qint64 dueUs) = 0;
    // The frame's changes are all made: the view may show them at once rather than when its
    // event loop comes round to painting.
    virtual void PresentFrame() {}
};
