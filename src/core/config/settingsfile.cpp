#include "core/config/settingsfile.h"

#include "core/common/messages.h"
#include "core/common/platform.h"
#include "core/common/textfile.h"
#include "core/programstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>

Locations Locations::OfThisProgram() {
    return Locations{QCoreApplication::applicationDirPath(), DefaultDocumentsFolder()};
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

QString DecodeSettingsText(const QByteArray& bytes) {
    return DecodeText(bytes);
}

QByteArray EncodeSettingsText(const QString& text) {
    QByteArray bytes;
    // CP932 as a rule; a folder name that CP932 cannot hold makes the file UTF-8, which the reader
    // recognises.
    if (!EncodeText(text, TextEncoding::Cp932, bytes)) {
        EncodeText(text, TextEncoding::Utf8, bytes);
    }
    return bytes;
}

void LoadSettings(ProgramState& state, const Locations& locations, MessageSink& messages) {
    state.ProgramFolder = ComputeProgramFolder(locations.ExecutableFolder);
    const QString path = state.ProgramFolder + SettingsFileName();
    QFile file(path);
    if (!file.exists()) {
        SetUpWorkingFolder(state, locations.DocumentsFolder, messages);
        return;
    }
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int code = LastFileErrorCode(file.error());
        messages.ShowMessage(
            QStringLiteral("動作環境ファイルが開けません。\r\n%1\r\nエラー番号%2\r\n処理を中止します。")
                .arg(path)
                .arg(code));
        state.Settings.RosterFilePath.clear();
        state.Settings.Pictures.clear();
        state.Settings.Musics.clear();
        state.Settings.ApplyDefaults();
        return;
    }
    state.Settings.ParseIni(DecodeSettingsText(file.readAll()));
}

bool SaveSettings(const ProgramState& state, MessageSink& messages) {
    const QString path = state.ProgramFolder + SettingsFileName();
    const QByteArray bytes = EncodeSettingsText(state.Settings.ToIni());
    QSaveFile file(path);
    errno = 0;
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        ok = file.write(bytes) == bytes.size();
        if (ok) {
            errno = 0;
            ok = file.commit();
        } else {
            file.cancelWriting();
        }
    }
    if (!ok) {
        const int code = LastFileErrorCode(file.error());
        messages.ShowMessage(QStringLiteral("%1が開けません\r\nエラー番号=%2").arg(path).arg(code));
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

void copyReplacing(const QString& from, const QString& to) {
    if (QFile::exists(to)) {
        QFile::remove(to);
    }
    QFile::copy(from, to);
}

} // namespace

void CopySampleRosters(const ProgramState& state, const QString& workingFolder) {
    const QDir program(state.ProgramFolder);
    const QStringList names =
        program.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString& name : names) {
        copyReplacing(program.filePath(name), JoinPath(workingFolder, name));
    }
}

void CopySampleMedia(const ProgramState& state, const QString& workingFolder) {
    for (const QString& sub : {QStringLiteral("Pictures"), QStringLiteral("Musics")}) {
        const QDir from(JoinPath(state.ProgramFolder, sub));
        const QString to = JoinPath(workingFolder, sub);
        for (const QString& name : from.entryList(QDir::Files, QDir::Name)) {
            const QString target = JoinPath(to, name);
            if (!QFile::exists(target)) {
                QFile::copy(from.filePath(name), target);
            }
        }
    }
}
