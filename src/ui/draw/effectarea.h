#pragma once

#include <QImage>
#include <QWidget>

// The full-screen effect area (`Pic効果用`): black, it keeps everything drawn on it until it is
// cleared. Each copy of the animated name is drawn once onto the kept image, and only the part
// it covers is repainted. The image is made when the area takes its size, not during a draw.
class EffectArea : public QWidget {
public:
    explicit EffectArea(QWidget* parent);

    // The kept image at the widget's size (made, or grown keeping what it shows).
    void EnsureCanvas();
    // Black again, at the widget's size.
    void Clear();
    // Paints a picture into the given logical rectangle.
    void DrawPicture(const QRectF& place, const QImage& picture);
    // Prints text with its top left corner at the point; returns the logical area touched.
    QRect Print(const QFont& font, QPointF topLeft, const QString& text, const QColor& colour);

    // The kept image (device pixels), e.g. to measure text as it will be painted.
    const QImage& Canvas();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage m_canvas;
};
