#include "ui/draw/panelwidget.h"

#include "core/common/designfonts.h"

#include "core/draw/panelgrid.h"
#include "core/draw/photocache.h"
#include "core/draw/textfit.h"
#include "ui/draw/drawcanvas.h"

#include <QMouseEvent>
#include <QPainter>

PanelWidget::PanelWidget(int index, PhotoCache& photos, QWidget* parent)
    : QWidget(parent), m_index(index), m_photos(photos) {
    setObjectName(QStringLiteral("Picパネル_%1").arg(index));
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
    // A photo still being decoded when the panel opened is painted as soon as it is ready.
    connect(&m_photos, &PhotoCache::Ready, this, [this](const QString& path) {
        if (m_open && path == m_photo) {
            Render();
            update();
        }
    });
}

QSize PanelWidget::PhotoBox(double width, qreal ratio) {
    return ScaledPixelSize(QSizeF(width, 3.0 * width / 4.0), ratio);
}

void PanelWidget::Open(const QString& name, const QString& photoPath) {
    m_open = true;
    m_name = name;
    m_photo = photoPath;
    Render();
    update();
}

void PanelWidget::Close() {
    m_open = false;
    m_name.clear();
    m_photo.clear();
    m_nameSize = 0;
    m_content = QImage();
    update();
}

void PanelWidget::Render() {
    m_content = QImage();
    m_nameSize = 0;
    if (!m_open || width() < 1 || height() < 1) {
        return;
    }
    QImage image = MakeCanvas(this, size(), Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double w = width();
    double a = w;
    if (!m_photo.isEmpty()) {
        a = 3.0 * w / 4.0;
        const QImage photo = m_photos.Fitted(m_photo, PhotoBox(w, image.devicePixelRatio()));
        if (!photo.isNull()) {
            painter.drawImage(PanelPhotoPlacement(w, photo.width(), photo.height()), photo);
        }
    }
    QFont font = UnhintedFont(FaceName(DesignFace::PGothic), true);
    const PanelTextFit fit = FitPanelText(m_name, w, a, TextMeasureFor(font, m_name, &image));
    if (!fit.Empty) {
        font.setPointSizeF(fit.Size);
        painter.setFont(font);
        painter.setPen(Qt::black);
        PrintAt(painter, QPointF(fit.X, fit.Y), m_name);
        m_nameSize = fit.Size;
    }
    painter.end();
    m_content = image;
}

void PanelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_open && !m_content.isNull()) {
        painter.drawImage(QPointF(0, 0), m_content);
    } else {
        painter.fillRect(rect(), m_open ? QColor(Qt::white) : QColor(64, 64, 64));
    }
}

void PanelWidget::resizeEvent(QResizeEvent*) {
    if (m_open) {
        Render();
    }
}

void PanelWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && RightReleased) {
        RightReleased(m_index);
    }
}
