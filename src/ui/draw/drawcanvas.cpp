#include "ui/draw/drawcanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

QImage MakeCanvas(const QWidget* widget, QSize logicalSize, const QColor& fill, QImage::Format format) {
    const qreal ratio = widget ? widget->devicePixelRatioF() : 1.0;
    QImage image(ScaledPixelSize(QSizeF(logicalSize), ratio), format);
    image.setDevicePixelRatio(ratio);
    const QScreen* screen = widget ? widget->screen() : nullptr;
    const double dpi = screen && screen->logicalDotsPerInchY() > 0 ? screen->logicalDotsPerInchY() : 96.0;
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(fill);
    return image;
}

void DrawKeptPart(QPainter& painter, const QRect& area, const QImage& kept) {
    const qreal ratio = kept.devicePixelRatio();
    painter.drawImage(
        QRectF(area), kept,
        QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

QSize ScaledPixelSize(QSizeF logical, qreal ratio) {
    return QSize(std::max(1, static_cast<int>(std::lround(logical.width() * ratio))),
                 std::max(1, static_cast<int>(std::lround(logical.height() * ratio))));
}

TextMeasure TextMeasureFor(const QFont& font, const QString& text, const QPaintDevice* device) {
    return [font, text, device](double pointSize) {
        QFont sized = font;
        sized.setPointSizeF(pointSize);
        const QFontMetricsF metrics(sized, device);
        return TextSize{metrics.horizontalAdvance(text), metrics.height()};
    };
}

void PrintAt(QPainter& painter, QPointF topLeft, const QString& text) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}
