// The roster file commands of the ﾌｧｲﾙ menu: 新規作成, 開く, 上書き保存, 名前を付けて保存, and the
// import and export of participants.
#include "core/common/blank.h"
#include "core/common/safefile.h"
#include "core/config/settingsfile.h"
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "ui/app/dialogs.h"
#include "ui/app/mainwindow.h"
#include "ui/app/services.h"
#include "ui/transfer/transfercommands.h"

#include <QFileInfo>

namespace {

QString UnsavedQuestion(const QString& lastLine) {
    return QStringLiteral(
               "名簿ファイルは保存されていません。\r\n続行すると変更内容がキャンセルされます。\r\n") +
           lastLine + QStringLiteral("\r\n");
}

QString NotARosterQuestion(const QString& path) {
    return QStringLiteral("%1\r\nは名簿ファイルではないようです。\r\n開きますか？").arg(path);
}

} // namespace

bool MainWindow::ConfirmOpeningFile(const QString& path) {
    QByteArray bytes;
    FileError error;
    if (!ReadFileBytes(path, bytes, error)) {
        return true; // the load itself reports what the system says
    }
    RosterTable probe;
    if (!ReadRoster(bytes, probe).PlainlyNotText()) {
        return true;
    }
    return m_services.dialogs.AskYesNo(this, NotARosterQuestion(path), Dialogs::Answer::No) ==
           Dialogs::Answer::Yes;
}

bool MainWindow::SaveRosterAndSettings() {
    // Characters the file cannot hold: the user may have them replaced, or keep the roster
    // unsaved as it is.
    const auto cells = UnencodableCells(m_state.Roster, m_state.RosterEncoding);
    if (!cells.empty()) {
        if (m_services.dialogs.AskYesNo(this, ReplaceUnencodableQuestion(m_state.Roster, cells),
                                        Dialogs::Answer::No) == Dialogs::Answer::No) {
            return false;
        }
        m_state.Roster.ReplaceUnencodable(m_state.RosterEncoding, UnencodableReplacement());
        m_state.RosterModified = true;
    }
    // A roster that could not be written must not become the one the next start opens.
    if (!SaveRoster(m_state, m_services.dialogs)) {
        return false;
    }
    SaveSettings(m_state, m_services.dialogs);
    return true;
}

QString MainWindow::RosterFilters() const {
    return QStringLiteral("Tab区切りﾃｷｽﾄﾌｧｲﾙ (*.txt);;すべてのファイル(*.*)");
}

void MainWindow::mnuFileNew_Click() {
    if (CheckNoChildScreen()) {
        return;
    }
    if (m_state.RosterModified &&
        m_services.dialogs.AskYesNo(this, UnsavedQuestion(QStringLiteral("新規作成を作成しますか")),
                                    Dialogs::Answer::No) == Dialogs::Answer::No) {
        return;
    }
    ClearRoster(m_state);
    m_state.Settings.RosterFilePath.clear();
    m_state.RosterEncoding = TextEncoding::Cp932;
    OpenRegistrationScreen();
    if (QWidget* screen = ChildScreen()) {
        screen->setWindowTitle(m_state.Settings.RosterFilePath);
    }
}

void MainWindow::mnuFileOpen_Click() {
    if (CheckNoChildScreen()) {
        return;
    }
    if (m_state.RosterModified &&
        m_services.dialogs.AskYesNo(this, UnsavedQuestion(QStringLiteral("続行しますか")),
                                    Dialogs::Answer::No) == Dialogs::Answer::No) {
        return;
    }
    const QString name = m_services.dialogs.OpenFileName(this, QStringLiteral("開く"),
                                                         m_state.Settings.RosterFilePath, RosterFilters(), 1);
    if (name.isEmpty() || (!IsBlank(name) && !ConfirmOpeningFile(name))) {
        return;
    }
    m_state.Settings.RosterFilePath = name;
    if (!IsBlank(name)) {
        LoadRoster(m_state, m_services.dialogs);
        SaveSettings(m_state, m_services.dialogs);
    }
    if (!ChildScreen()) {
        OpenRegistrationScreen();
    }
    if (QWidget* screen = ChildScreen()) {
        screen->setWindowTitle(m_state.Settings.RosterFilePath);
    }
}

void MainWindow::mnuFileSave_Click() {
    if (CheckNoChildScreen()) {
        return;
    }
    if (IsBlank(m_state.Settings.RosterFilePath)) {
        m_services.dialogs.ShowMessage(QStringLiteral("名簿ファイル名が指定されていません。"));
        return;
    }
    SaveRosterAndSettings();
}

void MainWindow::mnuFileSaveAs_Click() {
    if (CheckNoChildScreen()) {
        return;
    }
    // The dialog starts in the current roster's folder with an empty name.
    const QString current = m_state.Settings.RosterFilePath;
    const QString start = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString name =
        m_services.dialogs.SaveFileName(this, QStringLiteral("名前を付けて保存"), start, RosterFilters(), 1);
    if (name.isEmpty()) {
        return;
    }
    m_state.Settings.RosterFilePath = name;
    if (!IsBlank(name)) {
        SaveRosterAndSettings();
    }
}

void MainWindow::mnuFileImport_Click() {
    if (CheckNoChildScreen()) {
        return;
    }
    const std::optional<ImportPlan> plan = PrepareImport(this, m_state, m_services);
    if (!plan) {
        return;
    }
    if (plan->Mode() == ImportMode::Replace && m_state.RosterModified &&
        m_services.dialogs.AskYesNo(this, UnsavedQuestion(QStringLiteral("名簿を置き換えますか")),
                                    Dialogs::Answer::No) == Dialogs::Answer::No) {
        return;
    }
    plan->Apply(m_state);
    // As after 開く: the registration screen opens on the roster, captioned with its file.
    if (!ChildScreen()) {
        OpenRegistrationScreen();
    }
    if (QWidget* screen = ChildScreen()) {
        screen->setWindowTitle(m_state.Settings.RosterFilePath);
    }
}

void MainWindow::mnuFileExport_Click() {
    if (CheckNoChildScreen()) {
        return;
    }
    ExportRosterCommand(this, m_state, m_services.dialogs);
}
