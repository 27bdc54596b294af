#pragma once

#include <QString>
#include <cstdio>

class QFileDevice;

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

// The system's error number of the last failed call (errno; GetLastError on Windows), and a way
// to clear it before a call whose failure is to be read.
int LastSystemError();
void ClearSystemError();
// The system's text for an error number.
QString SystemErrorText(int code);
// The error number the system gives for writing to a folder as if it were a file, and for an
// input or output failure that came with no number of its own.
int FolderInTheWayErrorCode();
int GenericIoErrorCode();

// Opens a file with the C library (binary mode: reading, or appending to its end), so that
// failures carry the system's number.
enum class CFileMode { Read, Append };
std::FILE* OpenCFile(const QString& path, CFileMode mode);
// Makes what was written to a C library file durable. False with the system's error number.
bool SyncCFile(std::FILE* file, int& code);

// Makes the bytes written to an open file durable. False with the system's error number.
bool SyncFileToDisk(QFileDevice& file, int& code);
