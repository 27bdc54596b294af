#include "ui/draw/qrcodeview.h"

#include "core/phones/qrcode.h"

#include <QPainter>
#include <algorithm>

namespace {

// The fewest pixels a module is drawn with.
constexpr int kLeastScale = 2;

} // namespace

QrCodeView::QrCodeView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

bool QrCodeView::SetText(const QString& text) {
    m_code = text.isEmpty() ? QImage() : QrCode(text, 1);
    updateGeometry();
    update();
    return text.isEmpty() || !m_code.isNull();
}

int QrCodeView::Scale() const {
    return m_code.isNull() ? 0 : std::max(1, std::min(width(), height()) / m_code.width());
}

QImage QrCodeView::Shown() const {
    const int scale = Scale();
    return scale == 0 ? QImage()
                      : m_code.scaled(m_code.width() * scale, m_code.height() * scale, Qt::IgnoreAspectRatio,
                                      Qt::FastTransformation);
}

QSize QrCodeView::sizeHint() const {
    const int side = std::max(1, m_code.width()) * kLeastScale * 4;
    return {side, side};
}

QSize QrCodeView::minimumSizeHint() const {
    const int side = std::max(1, m_code.width()) * kLeastScale;
    return {side, side};
}

void QrCodeView::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    const QImage shown = Shown();
    if (shown.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}
