#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

template <typename T> class QFutureWatcher;

// Photos of the draw screen, decoded off the user-interface thread so that no photo, however
// large or broken, holds the screen up. A photo is asked for fitted whole inside a box (the
// screen, a panel's photo box); the first asking starts its decoding, and Ready follows when it
// is done. Decoded photos are kept for the next paint; large ones (full-screen photos) one at a
// time, to bound the memory.
class PhotoCache : public QObject {
    Q_OBJECT
public:
    explicit PhotoCache(QObject* parent = nullptr);
    ~PhotoCache() override;

    // Starts decoding when not yet asked for.
    void Prepare(const QString& path, QSize box);
    // The photo fitted inside the box; a null image while it is decoding (Prepare is implied) and
    // when the file cannot be read.
    QImage Fitted(const QString& path, QSize box);
    bool IsDecoding(const QString& path, QSize box) const;

    int DecodeCount() const { return m_decodes; }

signals:
    void Ready(const QString& path);

private:
    struct Key {
        QString Path;
        QSize Box;
        bool operator==(const Key& other) const { return Path == other.Path && Box == other.Box; }
    };
    friend size_t qHash(const Key& key, size_t seed) {
        return qHashMulti(seed, key.Path, key.Box.width(), key.Box.height());
    }
    struct Entry {
        QImage Image;
        QFutureWatcher<QImage>* Decoding = nullptr;
    };
    void Finished(const Key& key);

    QHash<Key, Entry> m_entries;
    Key m_large;
    bool m_hasLarge = false;
    int m_decodes = 0;
};
