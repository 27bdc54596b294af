#include "core/draw/photocache.h"

#include "core/common/photo.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr qsizetype kKeepBytes = 2 * 1024 * 1024; // decodes larger than this are kept one at a time
} // namespace

PhotoCache::PhotoCache(QObject* parent) : QObject(parent) {}

PhotoCache::~PhotoCache() {
    // Decodings still running finish on their own; their results are dropped with the watchers.
    for (Entry& entry : m_entries) {
        delete entry.Decoding;
    }
}

void PhotoCache::Prepare(const QString& path, QSize box) {
    if (path.isEmpty() || box.isEmpty()) {
        return;
    }
    const Key key{path, box};
    if (m_entries.contains(key)) {
        return;
    }
    Entry& entry = m_entries[key];
    entry.Decoding = new QFutureWatcher<QImage>(this);
    connect(entry.Decoding, &QFutureWatcher<QImage>::finished, this, [this, key] { Finished(key); });
    entry.Decoding->setFuture(QtConcurrent::run(&LoadPhotoToFit, path, box));
    ++m_decodes;
}

void PhotoCache::Finished(const Key& key) {
    auto found = m_entries.find(key);
    if (found == m_entries.end() || !found->Decoding) {
        return;
    }
    found->Image = found->Decoding->result();
    found->Decoding->deleteLater();
    found->Decoding = nullptr;
    if (found->Image.sizeInBytes() > kKeepBytes) {
        if (m_hasLarge && !(m_large == key)) {
            m_entries.remove(m_large);
        }
        m_large = key;
        m_hasLarge = true;
    }
    emit Ready(key.Path);
}

QImage PhotoCache::Fitted(const QString& path, QSize box) {
    Prepare(path, box);
    const auto found = m_entries.constFind(Key{path, box});
    return found == m_entries.constEnd() ? QImage() : found->Image;
}

bool PhotoCache::IsDecoding(const QString& path, QSize box) const {
    const auto found = m_entries.constFind(Key{path, box});
    return found != m_entries.constEnd() && found->Decoding;
}
