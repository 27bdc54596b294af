#include "core/config/settingsfolder.h"

#include "core/common/platform.h"
#include "core/config/settings.h"
#include "core/programstate.h"

#include <QDir>
#include <QFileInfo>

bool SettingsBesideProgram(const QString& programFolder) {
    if (QFileInfo::exists(JoinPath(programFolder, PackageMarkerName()))) {
        return false;
    }
    // On Unix this asks access(2), which also refuses root on a read-only mount.
    const QFileInfo folder(programFolder);
    return folder.isDir() && folder.isWritable();
}

QString ChooseSettingsFolder(const QString& programFolder, const QString& configFolder) {
    if (configFolder.isEmpty() || SettingsBesideProgram(programFolder)) {
        return QString();
    }
    QString folder = QDir::toNativeSeparators(configFolder);
    if (!folder.endsWith(QDir::separator())) {
        folder += QDir::separator();
    }
    // A failure shows when the settings are written, with the path and the error number.
    QDir().mkpath(folder);
    return folder;
}

QString SettingsFilePath(const ProgramState& state) {
    const QString& folder = state.SettingsFolder.isEmpty() ? state.ProgramFolder : state.SettingsFolder;
    return folder + SettingsFileName();
}
