#include "core/config/workingfolder.h"

#include "core/common/platform.h"
#include "core/programstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString withoutTrailingSeparator(QString folder) {
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\'))) {
        folder.chop(1);
    }
    return folder;
}
} // namespace

QString WorkingFolderOf(const ProgramState& state) {
    if (!state.Settings.Pictures.isEmpty()) {
        const QFileInfo pictures(QDir::cleanPath(QDir::fromNativeSeparators(state.Settings.Pictures)));
        const QString working = pictures.absolutePath();
        if (QFileInfo(working).isDir()) {
            return QDir::toNativeSeparators(working);
        }
    }
    if (!state.SettingsFolder.isEmpty()) {
        // Installed: the program folder is not the user's to write.
        const QString documents = DefaultDocumentsFolder();
        const QString mrda = JoinPath(documents, QStringLiteral("Mrda"));
        return QFileInfo(mrda).isDir() ? mrda : withoutTrailingSeparator(documents);
    }
    QString program = state.ProgramFolder;
    if (program.isEmpty()) {
        program = QCoreApplication::applicationDirPath();
    }
    return withoutTrailingSeparator(program);
}
