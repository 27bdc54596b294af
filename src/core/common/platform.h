#pragma once

#include <QString>

// The few places where Windows, the target, and other systems differ.

// The platform's path separator ("\" on Windows, "/" elsewhere).
QString PathSeparator();

// Joins a folder and a name with the platform's separator.
QString JoinPath(const QString& folder, const QString& name);

// True where the file system ignores letter case (Windows).
bool FileSystemIgnoresCase();

// Compares two folder paths as the file system would: ignoring case only where it does.
bool SameFolder(const QString& a, const QString& b);

// Upper-cases a path where that names the same file (Windows); elsewhere returns it unchanged.
QString UpperCasePathIfHarmless(const QString& path);

// The user's documents folder: on Windows HOMEDRIVE + HOMEPATH + "\My Documents"; elsewhere the
// platform's documents folder.
QString DefaultDocumentsFolder();
