#pragma once

#include "core/transfer/importplan.h"

#include <QString>
#include <optional>

class Dialogs;
class QWidget;
struct ProgramState;
struct Services;

// ﾌｧｲﾙ → インポート up to the user's choice: asks for a file, reads it (on a worker thread; the
// import dialog shows the progress of a long read) and runs the import dialog. Returns the plan
// the user accepted, or nothing (cancelled, or the file could not be read, which has been
// reported). Nothing has changed yet.
std::optional<ImportPlan> PrepareImport(QWidget* parent, const ProgramState& state, const Services& services);

// ﾌｧｲﾙ → エクスポート: asks for a file name ("名簿.csv" in the roster's folder) and writes the
// roster there as CSV; a failure is reported with the path and the system's error number.
void ExportRosterCommand(QWidget* parent, const ProgramState& state, Dialogs& dialogs);

// The folder the two file dialogs start in: the roster file's, else the documents folder.
QString TransferFolder(const ProgramState& state);
