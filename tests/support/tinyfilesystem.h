#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A real, small file system that can be filled: a tmpfs mounted on a temporary folder. Mounting
// needs root (the tests run as root in CI); elsewhere Mount says why it could not.
class TinyFileSystem {
public:
    TinyFileSystem() = default;
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;
    ~TinyFileSystem() {
        if (m_mounted) {
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
        }
    }

    // Mounts a tmpfs of about kibibytes KiB. Returns false with the reason when that is refused.
    bool Mount(int kibibytes, QString& reason) {
        if (!m_dir.isValid()) {
            reason = QStringLiteral("no temporary folder");
            return false;
        }
        const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k";
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) !=
            0) {
            reason = QStringLiteral("cannot mount a small tmpfs to fill (needs root): ") +
                     QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        m_mounted = true;
        return true;
    }

    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

    // Fills every free block with a filler file, then gives back free bytes (whole pages).
    bool FillLeaving(qint64 free) {
        const QByteArray filler = QFile::encodeName(FilePath(QStringLiteral(".filler")));
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0) {
            return false;
        }
        const QByteArray block(4096, 'x');
        qint64 size = 0;
        for (;;) {
            const ssize_t n = ::write(fd, block.constData(), static_cast<size_t>(block.size()));
            if (n <= 0) {
                break;
            }
            size += n;
        }
        const bool ok = errno == ENOSPC && ::ftruncate(fd, std::max<qint64>(0, size - free)) == 0;
        ::close(fd);
        return ok;
    }

    // The names in the folder besides the filler: a failed save must leave no temporary file.
    QStringList Entries() const {
        QStringList names = QDir(Path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral(".filler"));
        return names;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
