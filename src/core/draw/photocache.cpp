#include "core/draw/photocache.h"

#include "core/common/photo.h"

namespace {
constexpr qsizetype kKeepBytes = 2 * 1024 * 1024; // decodes larger than this are kept one at a time

quint64 sizeKey(QSize size) {
    return (static_cast<quint64>(static_cast<quint32>(size.width())) << 32) |
           static_cast<quint32>(size.height());
}
} // namespace

PhotoCache::Entry& PhotoCache::Find(const QString& path) {
    auto found = m_entries.find(path);
    if (found != m_entries.end()) {
        return *found;
    }
    Entry e;
    e.Oriented = PhotoSize(path);
    return *m_entries.insert(path, e);
}

QSize PhotoCache::SourceSize(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    return Find(path).Oriented;
}

QImage PhotoCache::Scaled(const QString& path, QSize size) {
    if (path.isEmpty() || size.isEmpty()) {
        return {};
    }
    Entry& e = Find(path);
    if (e.Oriented.isEmpty()) {
        return {};
    }
    const quint64 key = sizeKey(size);
    const auto found = e.Images.constFind(key);
    if (found != e.Images.constEnd()) {
        return *found;
    }
    QImage image = LoadPhoto(path, size);
    ++m_decodes;
    if (image.isNull()) {
        return {};
    }
    if (image.size() != size) {
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (image.sizeInBytes() > kKeepBytes) {
        if (!m_largePath.isEmpty()) {
            auto previous = m_entries.find(m_largePath);
            if (previous != m_entries.end()) {
                previous->Images.remove(m_largeKey);
            }
        }
        m_largePath = path;
        m_largeKey = key;
    }
    e.Images.insert(key, image);
    return image;
}
