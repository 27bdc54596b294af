#include "core/common/safefile.h"

#include "core/common/platform.h"

#include <QFileInfo>
#include <cstdio>

namespace {

constexpr qint64 kBlock = 1 << 16; // bytes handed to the system at a time

// A folder in a file's place: what the system reports when that file is opened for writing.
FileError FolderInTheWay() {
    return FileError::Of(FolderInTheWayErrorCode());
}

} // namespace

FileError FileError::Last(int fallback) {
    const int code = LastSystemError();
    return Of(code != 0 ? code : fallback);
}

FileError FileError::Of(int code) {
    return FileError{code, SystemErrorText(code)};
}

QString FileError::Lines(const QString& numberPrefix) const {
    return numberPrefix + QString::number(Code) + QStringLiteral("\r\n") + Text;
}

bool ReadFileBytes(const QString& path, QByteArray& bytes, FileError& error) {
    bytes.clear();
    ClearSystemError();
    std::FILE* file = OpenCFile(path, CFileMode::Read);
    if (!file) {
        error = FileError::Last(GenericIoErrorCode());
        return false;
    }
    char block[kBlock];
    for (;;) {
        ClearSystemError();
        const size_t n = std::fread(block, 1, sizeof block, file);
        bytes.append(block, static_cast<qsizetype>(n));
        if (n < sizeof block) {
            if (std::ferror(file)) {
                error = FileError::Last(GenericIoErrorCode());
                std::fclose(file);
                bytes.clear();
                return false;
            }
            break;
        }
    }
    std::fclose(file);
    return true;
}

SafeFile::SafeFile(const QString& path) : m_file(path) {}

SafeFile::~SafeFile() {
    Cancel();
}

bool SafeFile::Open() {
    m_error = FileError{};
    if (QFileInfo(m_file.fileName()).isDir()) {
        // Qt refuses this itself, without asking the system.
        Fail(FolderInTheWay());
        return false;
    }
    ClearSystemError();
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Fail(FileError::Last(GenericIoErrorCode()));
        return false;
    }
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 SafeFile::readData(char*, qint64) {
    return -1;
}

qint64 SafeFile::writeData(const char* data, qint64 size) {
    if (Failed() || !m_file.isOpen()) {
        return -1;
    }
    m_buffer.append(data, static_cast<qsizetype>(size));
    if (m_buffer.size() >= kBlock && !Flush()) {
        return -1;
    }
    return size;
}

bool SafeFile::Flush() {
    if (m_buffer.isEmpty()) {
        return true;
    }
    ClearSystemError();
    const qint64 written = m_file.write(m_buffer);
    if (written != m_buffer.size()) {
        Fail(FileError::Last(GenericIoErrorCode()));
        return false;
    }
    m_buffer.clear();
    ClearSystemError();
    if (!m_file.flush()) {
        Fail(FileError::Last(GenericIoErrorCode()));
        return false;
    }
    return true;
}

void SafeFile::Fail(const FileError& error) {
    if (!Failed()) {
        m_error = error;
        setErrorString(error.Text);
    }
}

bool SafeFile::Commit() {
    if (!m_file.isOpen() || Failed() || !Flush()) {
        Cancel();
        return false;
    }
    int code = 0;
    if (!SyncFileToDisk(m_file, code)) {
        Fail(FileError::Of(code));
        Cancel();
        return false;
    }
    ClearSystemError();
    if (!m_file.commit()) {
        Fail(FileError::Last(GenericIoErrorCode()));
        QIODevice::close();
        return false;
    }
    QIODevice::close();
    return true;
}

void SafeFile::Cancel() {
    m_buffer.clear();
    if (m_file.isOpen()) {
        m_file.cancelWriting();
        m_file.commit(); // only removes the temporary file once writing is cancelled
    }
    if (isOpen()) {
        QIODevice::close();
    }
}

bool WriteFileSafely(const QString& path, const QByteArray& bytes, FileError& error) {
    SafeFile file(path);
    if (!file.Open() || file.write(bytes) != bytes.size() || !file.Commit()) {
        error = file.Error();
        return false;
    }
    return true;
}

bool CopyFileSafely(const QString& source, const QString& target, FileError& error) {
    if (QFileInfo(source).isDir()) {
        error = FileError::Of(FolderInTheWayErrorCode());
        return false;
    }
    ClearSystemError();
    std::FILE* in = OpenCFile(source, CFileMode::Read);
    if (!in) {
        error = FileError::Last(GenericIoErrorCode());
        return false;
    }
    SafeFile out(target);
    if (!out.Open()) {
        std::fclose(in);
        error = out.Error();
        return false;
    }
    char block[kBlock];
    for (;;) {
        ClearSystemError();
        const size_t n = std::fread(block, 1, sizeof block, in);
        if (n > 0 && out.write(block, static_cast<qint64>(n)) != static_cast<qint64>(n)) {
            break;
        }
        if (n < sizeof block) {
            if (std::ferror(in)) {
                error = FileError::Last(GenericIoErrorCode());
                std::fclose(in);
                return false; // out cancels itself
            }
            break;
        }
    }
    std::fclose(in);
    if (!out.Commit()) {
        error = out.Error();
        return false;
    }
    return true;
}
