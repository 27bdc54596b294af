#include "core/config/settingsfile.h"

#include "core/common/messages.h"
#include "core/common/platform.h"
#include "core/common/safefile.h"
#include "core/common/textfile.h"
#include "core/config/settingsfolder.h"
#include "core/programstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

Locations Locations::OfThisProgram() {
    return Locations{QCoreApplication::applicationDirPath(), DefaultDocumentsFolder(),
                     QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
}

QString ComputeProgramFolder(const QString& executableFolder) {
    QString folder = QDir::toNativeSeparators(executableFolder);
    while (folder.size() > 1 && folder.endsWith(QDir::separator())) {
        folder.chop(1);
    }
    folder = UpperCasePathIfHarmless(folder);
    const QString vbp = PathSeparator() + QStringLiteral("VBP");
    if (folder.endsWith(vbp, Qt::CaseInsensitive)) {
        folder.chop(vbp.size());
    }
    return folder + PathSeparator();
}

void LoadSettings(ProgramState& state, const Locations& locations, MessageSink& messages) {
    state.ProgramFolder = ComputeProgramFolder(locations.ExecutableFolder);
    state.SettingsFolder = ChooseSettingsFolder(state.ProgramFolder, locations.ConfigFolder);
    const QString path = SettingsFilePath(state);
    if (!QFileInfo::exists(path)) {
        SetUpWorkingFolder(state, locations.DocumentsFolder, messages);
        return;
    }
    QByteArray bytes;
    FileError error;
    if (!ReadFileBytes(path, bytes, error)) {
        messages.ShowMessage(
            QStringLiteral("動作環境ファイルが開けません。\r\n%1\r\n%2\r\n処理を中止します。")
                .arg(path, error.Lines(QStringLiteral("エラー番号"))));
        state.Settings.RosterFilePath.clear();
        state.Settings.Pictures.clear();
        state.Settings.Musics.clear();
        state.Settings.ApplyDefaults();
        return;
    }
    state.Settings.ParseIni(DecodeSettingsText(bytes));
}

QString DecodeSettingsText(const QByteArray& bytes) {
    return DecodeOwnText(bytes);
}

QByteArray EncodeSettingsText(const QString& text) {
    // CP932 as a rule; a folder name that CP932 cannot hold makes the file UTF-8, with the mark
    // by which the reader knows it.
    QByteArray bytes;
    if (!EncodeText(text, TextEncoding::Cp932, bytes)) {
        EncodeText(text, TextEncoding::Utf8Bom, bytes);
    }
    return bytes;
}

bool SaveSettings(const ProgramState& state, MessageSink& messages) {
    const QString path = SettingsFilePath(state);
    FileError error;
    if (!WriteFileSafely(path, EncodeSettingsText(state.Settings.ToIni()), error)) {
        messages.ShowMessage(path + QStringLiteral("が開けません\r\n") +
                             error.Lines(QStringLiteral("エラー番号=")));
        return false;
    }
    return true;
}

void SetUpWorkingFolder(ProgramState& state, const QString& documentsFolder, MessageSink& messages) {
    state.Settings.ApplyDefaults();
    QString documents = QDir::toNativeSeparators(documentsFolder);
    if (!FileSystemIgnoresCase() && !documents.isEmpty()) {
        // The platform's documents folder may not exist yet on a fresh account.
        QDir().mkpath(documents);
    }
    const QString working = JoinPath(documents, QStringLiteral("Mrda"));
    const QString pictures = JoinPath(working, QStringLiteral("Pictures"));
    const QString musics = JoinPath(working, QStringLiteral("Musics"));
    QDir dir;
    dir.mkdir(working);
    dir.mkdir(pictures);
    dir.mkdir(musics);
    CopySampleRosters(state, working);
    CopySampleMedia(state, working);
    state.Settings.RosterFilePath = JoinPath(working, QStringLiteral("Sample01.txt"));
    // Where the file system ignores case the settings have always said "pictures"; elsewhere
    // they must name the folder actually created.
    state.Settings.Pictures =
        FileSystemIgnoresCase() ? JoinPath(working, QStringLiteral("pictures")) : pictures;
    state.Settings.Musics = musics;
    SaveSettings(state, messages);
}

namespace {

// First-run copies fail silently, but never leave half a file.
void CopyReplacing(const QString& from, const QString& to) {
    FileError ignored;
    CopyFileSafely(from, to, ignored);
}

} // namespace

void CopySampleRosters(const ProgramState& state, const QString& workingFolder) {
    const QDir program(state.ProgramFolder);
    const QStringList names =
        program.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString& name : names) {
        CopyReplacing(program.filePath(name), JoinPath(workingFolder, name));
    }
}

void CopySampleMedia(const ProgramState& state, const QString& workingFolder) {
    for (const QString& sub : {QStringLiteral("Pictures"), QStringLiteral("Musics")}) {
        const QDir from(JoinPath(state.ProgramFolder, sub));
        const QString to = JoinPath(workingFolder, sub);
        for (const QString& name : from.entryList(QDir::Files, QDir::Name)) {
            const QString target = JoinPath(to, name);
            if (!QFile::exists(target)) {
                CopyReplacing(from.filePath(name), target);
            }
        }
    }
}
