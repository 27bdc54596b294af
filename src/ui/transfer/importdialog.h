#pragma once

#include "core/common/textfile.h"
#include "core/transfer/importplan.h"
#include "core/transfer/sourcetext.h"

#include <QDialog>
#include <QFutureWatcher>
#include <array>
#include <memory>

class Clock;
class ImportRead;
class ImportSource;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QCheckBox;
class QTableWidget;
class Timer;

// The import dialog. While the file is read (on a worker thread) it says so, and from half a
// second on shows the progress with 中止. Then it shows the first rows of the file and lets the
// user choose the encoding and separator (text files), the row that holds the column names
// (found by default), the source column of each roster column (guessed), append or replace, and
// whether characters the roster file cannot hold are replaced; a summary says what the import
// will do before anything changes, and what it cannot take as it is.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // Rows of the file shown in the preview, and offered as the header row.
    static constexpr int kPreviewRows = 30;
    // A read shows its progress once it has taken this long.
    static constexpr int kProgressDelayMs = 500;

    ImportDialog(std::shared_ptr<ImportRead> read, const QString& path, const RosterTable& roster,
                 TextEncoding rosterEncoding, Clock& clock, QWidget* parent = nullptr);
    ~ImportDialog() override;

    bool IsReading() const { return m_read != nullptr; }
    // The file is read and the choices are shown.
    bool IsReady() const { return !m_read && m_source != nullptr; }
    // When the dialog closed itself because the file cannot be imported: the message for the
    // user (naming the file, saying what to do). Empty otherwise.
    const QString& Failure() const { return m_failure; }

    ImportOptions Options() const;
    // The file as read, and the plan for the choices shown (only once the first read is done).
    const ImportSource& Source() const { return *m_source; }
    const ImportPlan& Plan() const { return *m_plan; }
    // The summary as shown.
    QString SummaryText() const;

public slots:
    void reject() override; // stops a read

private:
    void BuildLayout();
    void StartRead(std::shared_ptr<ImportRead> read);
    void StopRead();
    void ReadFinished();
    void ShowProgress();
    void ReadAgain();     // encoding or separator changed
    void BackToTable();   // a read again stopped
    void SourceChanged(); // a new read: choices, preview, guesses
    void HeaderChanged(); // new preview, new guesses
    void FillPreview();
    void FillColumnChoices();
    void UpdatePlan();
    QString NotesText() const;
    QString UnstorableText() const;
    QString Caption(RosterColumn column) const; // the roster's caption, renamed ones included

    QString m_path;
    const RosterTable& m_roster;
    TextEncoding m_rosterEncoding;
    Clock& m_clock;
    std::unique_ptr<Timer> m_tick;
    qint64 m_readStarted = 0;
    std::shared_ptr<ImportRead> m_read; // the read under way
    QFutureWatcher<void> m_watcher;
    std::shared_ptr<ImportSource> m_source; // the last read that succeeded
    std::unique_ptr<ImportPlan> m_plan;
    QString m_failure;
    bool m_filling = false;         // the widgets are being filled: no plan per change
    bool m_separatorChosen = false; // by the user: kept when the encoding changes
    int m_sourceEncoding = 0;       // the encoding choice the shown table was read with

    QLabel* m_file = nullptr;
    QComboBox* m_encoding = nullptr;
    QLabel* m_encodingLabel = nullptr;
    QComboBox* m_separator = nullptr;
    QLabel* m_separatorLabel = nullptr;
    QComboBox* m_header = nullptr;
    QLabel* m_headerLabel = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_reading = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_stop = nullptr;
    QTableWidget* m_preview = nullptr;
    std::array<QComboBox*, RosterTable::kColumns> m_columns{};
    QRadioButton* m_append = nullptr;
    QRadioButton* m_replace = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_notes = nullptr;
    QLabel* m_unstorable = nullptr;
    QCheckBox* m_replaceCharacters = nullptr;
    QPushButton* m_import = nullptr;
};

// The message for a file whose read is done but gave nothing to import: why, naming the file, and
// what to do.
QString ImportFailureMessage(const QString& path, const ImportRead& read);
