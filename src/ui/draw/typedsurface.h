#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

// The draw screen's own surface on which the introduction's lines are typed: a transparent image
// over the screen's background with a drawing position that starts below the button band and
// wraps at the screen's width. The image is made once, at the screen's size, and kept: a frame
// of typing only draws a character, it never waits for a screen-sized image to be made.
class TypedSurface {
public:
    explicit TypedSurface(const QWidget& screen) : m_screen(screen) {}

    // Empty again (only what was typed is wiped), the drawing position back at the left edge at top.
    void Clear(double top);
    // Types a character at the drawing position in the font; returns the area to repaint.
    QRect Type(const QString& character, const QFont& font, const QColor& colour);
    // Moves the drawing position to the start of the next line.
    void NewLine(const QFont& font);
    // Makes the image at the screen's size, or grows it with the screen keeping what is typed:
    // lines wrap at the new width.
    void Grow();
    void Paint(QPainter& painter) const;

private:
    const QWidget& m_screen;
    QImage m_image;
    QRect m_inked; // what the typed characters cover, in logical pixels
    QPointF m_cursor;
};
