#include "ui/transfer/transfercommands.h"

#include "core/common/blank.h"
#include "core/common/platform.h"
#include "core/common/safefile.h"
#include "core/programstate.h"
#include "core/transfer/importsource.h"
#include "core/transfer/rostercsv.h"
#include "ui/app/dialogs.h"
#include "ui/transfer/importdialog.h"

#include <QDir>
#include <QFileInfo>

QString TransferFolder(const ProgramState& state) {
    const QString& roster = state.Settings.RosterFilePath;
    if (!IsBlank(roster)) {
        return QDir::toNativeSeparators(QFileInfo(roster).absolutePath());
    }
    return DefaultDocumentsFolder();
}

std::optional<ImportPlan> PrepareImport(QWidget* parent, const ProgramState& state, Dialogs& dialogs) {
    const QString path = dialogs.OpenFileName(
        parent, QStringLiteral("インポート"), TransferFolder(state),
        QStringLiteral("表のファイル (*.csv;*.tsv;*.txt;*.xlsx);;すべてのファイル(*.*)"), 1);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    ImportSource source;
    QString error;
    if (!source.Load(path, error)) {
        dialogs.ShowMessage(QStringLiteral("%1 を取り込めません。\r\n%2").arg(path, error));
        return std::nullopt;
    }
    if (source.Table().isEmpty()) {
        dialogs.ShowMessage(QStringLiteral("%1 には取り込めるデータがありません。").arg(path));
        return std::nullopt;
    }
    ImportDialog dialog(source, path, state.Roster, state.RosterEncoding, parent);
    if (dialogs.Exec(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    // The dialog only offers its button for a plan that can be applied; a script may press it anyway.
    ImportPlan plan(source.Table(), dialog.Options(), state.Roster, state.RosterEncoding);
    if (!plan.CanApply()) {
        return std::nullopt;
    }
    return plan;
}

void ExportRosterCommand(QWidget* parent, const ProgramState& state, Dialogs& dialogs) {
    const QString path = dialogs.SaveFileName(
        parent, QStringLiteral("エクスポート"), JoinPath(TransferFolder(state), QStringLiteral("名簿.csv")),
        QStringLiteral("CSVファイル (*.csv);;すべてのファイル(*.*)"), 1);
    if (path.isEmpty()) {
        return;
    }
    FileError error;
    if (!ExportRosterCsv(path, state.Roster, error)) {
        dialogs.ShowMessage(QStringLiteral("エクスポートできませんでした。\r\n%1\r\n").arg(path) +
                            error.Lines(QStringLiteral("エラー番号=")));
    }
}
