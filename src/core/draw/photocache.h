#pragma once

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

// Photos of the draw screen, read once per screen: each file's header is read once, and each
// photo is decoded at the size it is shown (EXIF orientation applied) and kept for the next
// paint. Large decodes (full-screen photos) are kept one at a time to bound the memory.
class PhotoCache {
public:
    // The photo's size as shown (after orientation); an empty size when the file cannot be read.
    QSize SourceSize(const QString& path);
    // The photo decoded at size (as shown); a null image when the file cannot be read.
    QImage Scaled(const QString& path, QSize size);

    int DecodeCount() const { return m_decodes; }

private:
    struct Entry {
        QSize Oriented;
        QHash<quint64, QImage> Images; // by shown size
    };
    Entry& Find(const QString& path);

    QHash<QString, Entry> m_entries;
    QString m_largePath;
    quint64 m_largeKey = 0;
    int m_decodes = 0;
};
