#include "ui/draw/teloplabel.h"

#include "ui/draw/drawcanvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QtMath>

namespace {

// A kept image at most this wide (device pixels): 16,384 × 100 pixels are 6.5 MB.
constexpr int kMaxKeptWidth = 16384;

} // namespace

bool TelopLabel::KeepImage() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(qCeil(width() * ratio), qCeil(height() * ratio));
    if (pixels.isEmpty() || pixels.width() > kMaxKeptWidth) {
        m_image = QImage();
        return false;
    }
    const QColor colour = palette().color(foregroundRole());
    if (m_image.size() == pixels && m_image.devicePixelRatio() == ratio && m_drawn == text() &&
        m_colour == colour && m_font == font()) {
        return true;
    }
    m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(Qt::transparent);
    QPainter painter(&m_image);
    painter.setFont(font());
    style()->drawItemText(&painter, contentsRect(), alignment(), palette(), isEnabled(), text(),
                          foregroundRole());
    painter.end();
    m_drawn = text();
    m_colour = colour;
    m_font = font();
    return true;
}

void TelopLabel::paintEvent(QPaintEvent* event) {
    if (!KeepImage()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    DrawKeptPart(painter, event->rect(), m_image);
}
