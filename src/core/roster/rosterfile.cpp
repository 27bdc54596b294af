#include "core/roster/rosterfile.h"

#include "core/common/messages.h"
#include "core/common/textfile.h"
#include "core/programstate.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>

void ReadRoster(QIODevice& device, RosterTable& roster, TextEncoding& encoding) {
    roster.Parse(DecodeText(device.readAll(), &encoding));
}

QString UnencodableCellMessage(const RosterTable& roster, TextEncoding encoding) {
    const auto [row, column] = roster.FirstUnencodableCell(encoding);
    if (row < 0) {
        return QString();
    }
    const QString where = row == 0 ? QStringLiteral("見出し行") : QStringLiteral("行番号 %1").arg(row);
    return QStringLiteral("名簿ファイルに保存できない文字があります。\r\n%1 の「%2」\r\n"
                          "この文字を直してから保存してください。")
        .arg(where, roster.Cell(column, 0));
}

bool WriteRoster(QIODevice& device, const RosterTable& roster, TextEncoding encoding, QString& error) {
    error = UnencodableCellMessage(roster, encoding);
    if (!error.isEmpty()) {
        return false;
    }
    QByteArray bytes;
    if (!EncodeText(roster.Serialize(), encoding, bytes)) {
        error = QStringLiteral("名簿ファイルに保存できない文字があります。");
        return false;
    }
    if (device.write(bytes) != bytes.size()) {
        error = device.errorString();
        return false;
    }
    return true;
}

void ClearRoster(ProgramState& state) {
    state.Roster.Clear();
}

void LoadRoster(ProgramState& state, MessageSink& messages) {
    state.RosterModified = false;
    ClearRoster(state);
    const QString& path = state.Settings.RosterFilePath;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int code = LastFileErrorCode(file.error());
        messages.ShowMessage(QStringLiteral("error no = %1\r\n%2 が読めません。").arg(code).arg(path));
        return;
    }
    ReadRoster(file, state.Roster, state.RosterEncoding);
}

bool SaveRoster(ProgramState& state, MessageSink& messages) {
    const QString& path = state.Settings.RosterFilePath;
    const auto fail = [&](const QString& detail) {
        state.RosterModified = true;
        messages.ShowMessage(
            QStringLiteral("名簿ファイルを保存できませんでした。\r\n%1\r\n%2").arg(path, detail));
        return false;
    };
    // Refuse characters the file cannot hold before anything touches the disk.
    const QString unencodable = UnencodableCellMessage(state.Roster, state.RosterEncoding);
    if (!unencodable.isEmpty()) {
        state.RosterModified = true;
        messages.ShowMessage(unencodable);
        return false;
    }
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(QStringLiteral("エラー番号=%1").arg(LastFileErrorCode(file.error())));
    }
    QString error;
    if (!WriteRoster(file, state.Roster, state.RosterEncoding, error)) {
        file.cancelWriting();
        return fail(error);
    }
    errno = 0;
    if (!file.commit()) {
        return fail(QStringLiteral("エラー番号=%1").arg(LastFileErrorCode(file.error())));
    }
    state.RosterModified = false;
    return true;
}
