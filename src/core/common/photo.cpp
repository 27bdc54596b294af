#include "core/common/photo.h"

#include <QImageReader>

void SetPhotoAllocationLimit(int megabytes) {
    QImageReader::setAllocationLimit(megabytes);
}

QSize PhotoSize(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty()) {
        return {};
    }
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed()
                                                                                     : stored;
}

QSize FitInside(QSize photo, QSize box) {
    if (photo.isEmpty() || box.isEmpty()) {
        return {};
    }
    return photo.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage LoadPhotoToFit(const QString& path, QSize box) {
    const QSize fitted = FitInside(PhotoSize(path), box);
    if (fitted.isEmpty()) {
        return {};
    }
    QImage image = LoadPhoto(path, fitted);
    if (!image.isNull() && image.size() != fitted) {
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

QImage LoadPhoto(const QString& path, QSize size) {
    if (path.isEmpty()) {
        return {};
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize stored = reader.size();
    if (stored.isValid() && !size.isEmpty()) {
        const QSize shown = turned ? stored.transposed() : stored;
        if (size.width() < shown.width() || size.height() < shown.height()) {
            // The scaled size is that of the image as stored, before the turn.
            reader.setScaledSize(turned ? size.transposed() : size);
        }
    }
    return reader.read();
}
