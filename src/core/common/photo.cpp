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
