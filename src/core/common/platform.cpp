#include "core/common/platform.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QStandardPaths>

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
