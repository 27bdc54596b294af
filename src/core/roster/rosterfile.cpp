#include "core/roster/rosterfile.h"

#include "core/common/messages.h"
#include "core/common/safefile.h"
#include "core/common/textfile.h"
#include "core/programstate.h"

#include <QIODevice>

namespace {

qsizetype CountNonAscii(const QByteArray& bytes) {
    qsizetype n = 0;
    for (const char c : bytes) {
        n += static_cast<unsigned char>(c) >= 0x80 ? 1 : 0;
    }
    return n;
}

QString CellPlace(const RosterTable& roster, const RosterTable::UnencodableCell& cell) {
    const QString where =
        cell.Row == 0 ? QStringLiteral("見出し行") : QStringLiteral("行番号 %1").arg(cell.Row);
    return QStringLiteral("%1 の「%2」: %3").arg(where, roster.Cell(cell.Column, 0), cell.Character);
}

QString SaveFailure(const QString& path, const QString& detail) {
    return QStringLiteral("名簿ファイルを保存できませんでした。\r\n%1\r\n%2").arg(path, detail);
}

} // namespace

RosterFileReport ReadRoster(const QByteArray& bytes, RosterTable& roster) {
    RosterFileReport report;
    DecodeReport decoded;
    const QString text = DecodeForeignText(bytes, &decoded);
    report.Encoding = decoded.Encoding;
    report.Undecodable = decoded.Undecodable;
    report.HasNul = decoded.HasNul;
    report.NonAscii = CountNonAscii(bytes);
    report.RowsNotRead = roster.Parse(text);
    return report;
}

void ReadRoster(QIODevice& device, RosterTable& roster, TextEncoding& encoding) {
    encoding = ReadRoster(device.readAll(), roster).Encoding;
}

std::vector<RosterTable::UnencodableCell> UnencodableCells(const RosterTable& roster, TextEncoding encoding) {
    return roster.UnencodableCells(encoding);
}

QString ReplaceUnencodableQuestion(const RosterTable& roster,
                                   const std::vector<RosterTable::UnencodableCell>& cells) {
    constexpr size_t kListed = 5;
    QString list;
    for (size_t i = 0; i < cells.size() && i < kListed; ++i) {
        list += CellPlace(roster, cells[i]) + QStringLiteral("\r\n");
    }
    if (cells.size() > kListed) {
        list += QStringLiteral("ほか %1 か所\r\n").arg(cells.size() - kListed);
    }
    return QStringLiteral("名簿ファイルに保存できない文字があります。\r\n") + list +
           QStringLiteral("\r\nこれらの文字を「%1」に置き換えて保存しますか？").arg(UnencodableReplacement());
}

bool WriteRoster(QIODevice& device, const RosterTable& roster, TextEncoding encoding, QString& error) {
    const auto cells = roster.UnencodableCells(encoding);
    if (!cells.empty()) {
        error = QStringLiteral("名簿ファイルに保存できない文字があるため、保存しませんでした。\r\n") +
                CellPlace(roster, cells.front());
        return false;
    }
    QByteArray bytes;
    if (!EncodeText(roster.Serialize(), encoding, bytes)) {
        error = QStringLiteral("名簿ファイルに保存できない文字があるため、保存しませんでした。");
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
    QByteArray bytes;
    FileError error;
    if (!ReadFileBytes(path, bytes, error)) {
        messages.ShowMessage(
            QStringLiteral("error no = %1\r\n%2 が読めません。\r\n%3").arg(error.Code).arg(path, error.Text));
        return;
    }
    const RosterFileReport report = ReadRoster(bytes, state.Roster);
    state.RosterEncoding = report.Encoding;
    if (report.RowsNotRead > 0) {
        messages.ShowMessage(
            QStringLiteral(
                "名簿に登録できるのは %1 人までです。\r\n%2\r\nの %1 人目より後の %3 人は読み込んでいません。"
                "\r\n上書き保存すると、その %3 人はこのファイルから消えます。")
                .arg(RosterTable::kCapacity)
                .arg(path)
                .arg(report.RowsNotRead));
    }
}

bool SaveRoster(ProgramState& state, MessageSink& messages) {
    const QString& path = state.Settings.RosterFilePath;
    SafeFile file(path);
    QString problem;
    bool ok = false;
    const auto cells = state.Roster.UnencodableCells(state.RosterEncoding);
    if (!cells.empty()) {
        problem = QStringLiteral("保存できない文字があります。\r\n") + CellPlace(state.Roster, cells.front());
    } else if (!file.Open()) {
        problem = file.Error().Lines(QStringLiteral("エラー番号="));
    } else if (QString error;
               !WriteRoster(file, state.Roster, state.RosterEncoding, error) || !file.Commit()) {
        problem = file.Failed() ? file.Error().Lines(QStringLiteral("エラー番号=")) : error;
    } else {
        ok = true;
    }
    state.RosterModified = !ok;
    if (!ok) {
        messages.ShowMessage(SaveFailure(path, problem));
    }
    return ok;
}
