#include "ui/transfer/transfercommands.h"

#include "core/common/blank.h"
#include "core/common/platform.h"
#include "core/common/safefile.h"
#include "core/programstate.h"
#include "core/transfer/importread.h"
#include "core/transfer/importsource.h"
#include "core/transfer/rostercsv.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/transfer/importdialog.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A read that ends within this time is done before the import dialog opens.
constexpr int kQuickReadMs = 50;

} // namespace

QString TransferFolder(const ProgramState& state) {
    const QString& roster = state.Settings.RosterFilePath;
    if (!IsBlank(roster)) {
        return QDir::toNativeSeparators(QFileInfo(roster).absolutePath());
    }
    return DefaultDocumentsFolder();
}

std::optional<ImportPlan> PrepareImport(QWidget* parent, const ProgramState& state,
                                        const Services& services) {
    Dialogs& dialogs = services.dialogs;
    const QString path = dialogs.OpenFileName(
        parent, QStringLiteral("インポート"), TransferFolder(state),
        QStringLiteral("表のファイル (*.csv;*.tsv;*.txt;*.xlsx);;すべてのファイル(*.*)"), 1);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    // Most files are read at once: then a file that cannot be imported is reported without the
    // dialog. A longer read goes on in the dialog, which shows its progress.
    const std::shared_ptr<ImportRead> read = ImportRead::File(path);
    if (read->WaitFor(kQuickReadMs) && (!read->Succeeded() || read->Source()->Table().Rows.isEmpty())) {
        dialogs.ShowMessage(ImportFailureMessage(path, *read));
        return std::nullopt;
    }
    ImportDialog dialog(read, path, state.Roster, state.RosterEncoding, services.clock, parent);
    const int result = dialogs.Exec(dialog);
    if (!dialog.Failure().isEmpty()) {
        dialogs.ShowMessage(dialog.Failure());
        return std::nullopt;
    }
    if (result != QDialog::Accepted || !dialog.IsReady()) {
        return std::nullopt;
    }
    // The dialog only offers its button for a plan that can be applied; a script may press it anyway.
    ImportPlan plan(dialog.Source().Table(), dialog.Options(), state.Roster, state.RosterEncoding);
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
