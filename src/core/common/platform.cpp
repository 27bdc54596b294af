#include "core/common/platform.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

QString PathSeparator() {
    return QString(QDir::separator());
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QDir::separator())) {
        return folder + name;
    }
    return folder + QDir::separator() + name;
}

bool FileSystemIgnoresCase() {
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

bool SameFolder(const QString& a, const QString& b) {
    return a.compare(b, FileSystemIgnoresCase() ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

QString UpperCasePathIfHarmless(const QString& path) {
    return FileSystemIgnoresCase() ? path.toUpper() : path;
}

QString DefaultDocumentsFolder() {
#ifdef Q_OS_WIN
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    return env.value(QStringLiteral("HOMEDRIVE")) + env.value(QStringLiteral("HOMEPATH")) +
           QStringLiteral("\\My Documents");
#else
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#endif
}

int LastSystemError() {
#ifdef Q_OS_WIN
    const DWORD code = GetLastError();
    return code != 0 ? static_cast<int>(code) : errno;
#else
    return errno;
#endif
}

void ClearSystemError() {
#ifdef Q_OS_WIN
    SetLastError(0);
#endif
    errno = 0;
}

QString SystemErrorText(int code) {
#ifdef Q_OS_WIN
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    QString text = n > 0 ? QString::fromWCharArray(buffer, static_cast<qsizetype>(n)).trimmed() : QString();
    LocalFree(buffer);
    return text;
#else
    return QString::fromLocal8Bit(std::strerror(code));
#endif
}

int FolderInTheWayErrorCode() {
#ifdef Q_OS_WIN
    return ERROR_ACCESS_DENIED;
#else
    return EISDIR;
#endif
}

int GenericIoErrorCode() {
#ifdef Q_OS_WIN
    return ERROR_WRITE_FAULT;
#else
    return EIO;
#endif
}

std::FILE* OpenCFile(const QString& path, CFileMode mode) {
#ifdef Q_OS_WIN
    return _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), mode == CFileMode::Append ? L"ab" : L"rb");
#else
    return std::fopen(QFile::encodeName(path).constData(), mode == CFileMode::Append ? "ab" : "rb");
#endif
}

bool SyncCFile(std::FILE* file, int& code) {
    code = 0;
    if (std::fflush(file) != 0) {
        code = errno;
        return false;
    }
#ifdef Q_OS_WIN
    if (_commit(_fileno(file)) != 0) {
        code = errno;
        return false;
    }
#else
    while (::fsync(fileno(file)) != 0) {
        if (errno != EINTR) {
            code = errno;
            return false;
        }
    }
#endif
    return true;
}

bool SyncFileToDisk(QFileDevice& file, int& code) {
    code = 0;
    const int fd = file.handle();
    if (fd < 0) {
        return true; // no descriptor of the C library: the commit's own sync has to do
    }
#ifdef Q_OS_WIN
    if (_commit(fd) != 0) {
        code = errno;
        return false;
    }
    return true;
#else
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            code = errno;
            return false;
        }
    }
    return true;
#endif
}
