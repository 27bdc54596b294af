#include "core/phones/phonephotos.h"

#include "core/common/photo.h"

#include <QBuffer>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <cstring>

namespace {

constexpr int kJpegQuality = 80;

} // namespace

PhonePhotos::PhonePhotos(QSize box, QObject* parent) : QObject(parent), m_box(box) {
    m_pool.setMaxThreadCount(1);
}

PhonePhotos::~PhonePhotos() {
    m_pool.clear();
    m_pool.waitForDone();
}

QByteArray PhonePhotos::Encode(const QString& path, QSize box) {
    const QImage image = LoadPhotoToFit(path, box);
    if (image.isNull()) {
        return {};
    }
    // Only the pixels go out: an image read from a file carries its texts (a JPEG's comments, a
    // PNG's chunks), its resolution and colour profile, which the writer would pass on.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QImage pixels(rgb.size(), QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(pixels.scanLine(y), rgb.constScanLine(y), static_cast<size_t>(rgb.width()) * 4);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!pixels.save(&buffer, "JPEG", kJpegQuality)) {
        return {};
    }
    return jpeg;
}

void PhonePhotos::Fetch(const QString& path, Delivery deliver) {
    const auto done = m_done.constFind(path);
    if (done != m_done.constEnd()) {
        deliver(*done);
        return;
    }
    auto waiting = m_waiting.find(path);
    if (waiting != m_waiting.end()) {
        waiting->push_back(std::move(deliver));
        return;
    }
    m_waiting[path].push_back(std::move(deliver));
    auto* watcher = new QFutureWatcher<QByteArray>(this);
    connect(watcher, &QFutureWatcher<QByteArray>::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        Decoded(path, watcher->isCanceled() ? QByteArray() : watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(&m_pool, [path, box = m_box] { return Encode(path, box); }));
}

void PhonePhotos::Decoded(const QString& path, const QByteArray& jpeg) {
    m_done.insert(path, jpeg);
    const std::vector<Delivery> waiting = m_waiting.take(path);
    for (const Delivery& deliver : waiting) {
        deliver(jpeg);
    }
}
