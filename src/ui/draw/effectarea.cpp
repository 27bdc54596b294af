#include "ui/draw/effectarea.h"

#include "ui/draw/drawcanvas.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

EffectArea::EffectArea(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Pic効果用"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void EffectArea::EnsureCanvas() {
    const qreal ratio = devicePixelRatioF();
    if (!m_canvas.isNull() && m_canvas.size() == ScaledPixelSize(QSizeF(size()), ratio) &&
        m_canvas.devicePixelRatio() == ratio) {
        return;
    }
    QImage fresh = MakeCanvas(this, size(), Qt::black);
    if (!m_canvas.isNull()) {
        QPainter painter(&fresh);
        painter.drawImage(QPointF(0, 0), m_canvas);
    }
    m_canvas = fresh;
}

const QImage& EffectArea::Canvas() {
    EnsureCanvas();
    return m_canvas;
}

void EffectArea::Clear() {
    EnsureCanvas();
    m_canvas.fill(Qt::black);
    update();
}

void EffectArea::DrawPicture(const QRectF& place, const QImage& picture) {
    EnsureCanvas();
    QPainter painter(&m_canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(place, picture);
    painter.end();
    update(place.toAlignedRect());
}

QRect EffectArea::Print(const QFont& font, QPointF topLeft, const QString& text, const QColor& colour) {
    EnsureCanvas();
    QPainter painter(&m_canvas);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(colour);
    const QFontMetricsF metrics(font, &m_canvas);
    const QPointF baseline(topLeft.x(), topLeft.y() + metrics.ascent());
    painter.drawText(baseline, text);
    painter.end();
    // Glyphs may reach beyond their advance (italic overhangs, swashes): repaint with a margin.
    const QRectF bounds = metrics.boundingRect(text).translated(baseline);
    const qreal margin = metrics.height() / 4 + 2;
    const QRect touched = bounds.adjusted(-margin, -margin, margin, margin).toAlignedRect() & rect();
    update(touched);
    return touched;
}

void EffectArea::paintEvent(QPaintEvent* event) {
    EnsureCanvas();
    QPainter painter(this);
    DrawKeptPart(painter, event->rect(), m_canvas);
}

void EffectArea::resizeEvent(QResizeEvent*) {
    EnsureCanvas();
}
