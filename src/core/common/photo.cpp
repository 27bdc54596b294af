#include "core/common/photo.h"

#include <QImageReader>

void SetPhotoAllocationLimit(int megabytes) {
    QImageReader::setAllocationLimit(megabytes);
}

namespace {

bool Turned(const QImageReader& reader) {
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}

// The size of the reader's photo as shown (after the EXIF turn); empty when it cannot be read.
QSize ShownSize(const QImageReader& reader) {
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty()) {
        return {};
    }
    return Turned(reader) ? stored.transposed() : stored;
}

// Decodes the reader's photo no larger than size (as shown); see LoadPhoto.
QImage Decode(QImageReader& reader, QSize size) {
    const QSize shown = ShownSize(reader);
    if (shown.isValid() && !size.isEmpty() &&
        (size.width() < shown.width() || size.height() < shown.height())) {
        // The scaled size is that of the image as stored, before the turn.
        reader.setScaledSize(Turned(reader) ? size.transposed() : size);
    }
    return reader.read();
}

} // namespace

QSize PhotoSize(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return ShownSize(reader);
}

QSize FitInside(QSize photo, QSize box) {
    if (photo.isEmpty() || box.isEmpty()) {
        return {};
    }
    return photo.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage LoadPhotoToFit(const QString& path, QSize box) {
    if (path.isEmpty()) {
        return {};
    }
    // One reader for the size and the pixels: the file is opened once.
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize fitted = FitInside(ShownSize(reader), box);
    if (fitted.isEmpty()) {
        return {};
    }
    QImage image = Decode(reader, fitted);
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
    return Decode(reader, size);
}
