#pragma once

#include <QByteArray>
#include <QString>

class MessageSink;
struct ProgramState;

// Where the program and the user's documents live. The program takes the executable's folder
// and the platform's documents folder; tests point both at temporary folders.
struct Locations {
    QString ExecutableFolder;
    QString DocumentsFolder;
    static Locations OfThisProgram(); // needs a QCoreApplication
};

// The program's folder: the executable's folder, its parent when the last component is "VBP"
// (any case), ending with the separator; upper-cased where the file system ignores case.
QString ComputeProgramFolder(const QString& executableFolder);

// The text of Mrda.ini's bytes, decoded the way the program reads the file.
QString DecodeSettingsText(const QByteArray& bytes);

// The bytes of Mrda.ini for a settings text: CP932 as a rule, UTF-8 when a value (a folder name)
// cannot be held in CP932.
QByteArray EncodeSettingsText(const QString& text);

// Computes ProgramFolder and reads Mrda.ini. A missing file runs the first-run set-up; a file that
// cannot be opened is reported and the defaults apply.
void LoadSettings(ProgramState& state, const Locations& locations, MessageSink& messages);

// Rewrites Mrda.ini with the nine lines. A failure is reported; the old file stays whole.
bool SaveSettings(const ProgramState& state, MessageSink& messages);

// First run: creates documents/Mrda with Pictures and Musics, copies the text files beside the
// program and the sample photos and songs into it, points the settings at them and saves them.
void SetUpWorkingFolder(ProgramState& state, const QString& documentsFolder, MessageSink& messages);

// Copies every *.txt beside the program into the working folder, replacing same-named files;
// failures are silent.
void CopySampleRosters(const ProgramState& state, const QString& workingFolder);

// Copies the files of the program's Pictures and Musics folders into the working folder's, leaving
// files that are already there alone; failures are silent.
void CopySampleMedia(const ProgramState& state, const QString& workingFolder);
