#include "ui/draw/typedsurface.h"

#include "ui/draw/drawcanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>

void TypedSurface::Clear(double top) {
    if (!m_inked.isEmpty()) {
        QPainter painter(&m_image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(m_inked, Qt::transparent);
    }
    m_inked = QRect();
    m_cursor = QPointF(0, top);
}

QRect TypedSurface::Type(const QString& character, const QFont& font, const QColor& colour) {
    Grow();
    const QFontMetricsF metrics(font, &m_image);
    const double w = metrics.horizontalAdvance(character);
    if (m_cursor.x() + w > m_screen.width()) {
        m_cursor = QPointF(0, m_cursor.y() + metrics.height());
    }
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(colour);
    PrintAt(painter, m_cursor, character);
    painter.end();
    const QRect touched =
        QRectF(m_cursor, QSizeF(w, metrics.height())).toAlignedRect().adjusted(-4, -4, 4, 4);
    m_inked |= touched;
    m_cursor.rx() += w;
    return touched;
}

void TypedSurface::NewLine(const QFont& font) {
    m_cursor = QPointF(0, m_cursor.y() + QFontMetricsF(font, &m_image).height());
}

void TypedSurface::Grow() {
    if (m_image.isNull()) {
        m_image =
            MakeCanvas(&m_screen, m_screen.size(), Qt::transparent, QImage::Format_ARGB32_Premultiplied);
        return;
    }
    const qreal ratio = m_image.devicePixelRatio();
    const QSize needed = ScaledPixelSize(QSizeF(m_screen.size()), ratio).expandedTo(m_image.size());
    if (needed == m_image.size()) {
        return;
    }
    QImage grown(needed, QImage::Format_ARGB32_Premultiplied);
    grown.setDevicePixelRatio(ratio);
    grown.setDotsPerMeterX(m_image.dotsPerMeterX());
    grown.setDotsPerMeterY(m_image.dotsPerMeterY());
    grown.fill(Qt::transparent);
    QPainter painter(&grown);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), m_image);
    painter.end();
    m_image = grown;
}

void TypedSurface::Paint(QPainter& painter) const {
    // Only where characters are: the rest of the image is clear and costs a blend for nothing.
    const qreal ratio = m_image.devicePixelRatio();
    const QRect inked = m_inked & QRect(QPoint(0, 0), (QSizeF(m_image.size()) / ratio).toSize());
    if (!inked.isEmpty()) {
        DrawKeptPart(painter, inked, m_image);
    }
}
