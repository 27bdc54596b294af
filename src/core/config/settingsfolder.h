#pragma once

#include <QString>

struct ProgramState;

// A file of this name beside the program says that a package manager owns the program folder.
// Such a folder is read-only for every user, root included, even where permissions would let root
// write, so the settings go to the user's configuration folder.
inline QString PackageMarkerName() {
    return QStringLiteral("mirda.installed");
}

// True when Mrda.ini belongs beside the program: the program folder carries no package marker
// and this user may write to it (a folder on a read-only mount counts as not writable).
bool SettingsBesideProgram(const QString& programFolder);

// The folder for Mrda.ini, ending with the separator: empty while the settings stay beside the
// program, else configFolder, created when missing. An empty configFolder keeps them beside it.
QString ChooseSettingsFolder(const QString& programFolder, const QString& configFolder);

// Full path of Mrda.ini for this run.
QString SettingsFilePath(const ProgramState& state);
