#pragma once

#include "core/common/textfile.h"
#include "core/transfer/importplan.h"

#include <QDialog>
#include <array>
#include <memory>

class ImportSource;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The import dialog: shows the first rows of the file, lets the user choose the separator (text
// files), whether row 1 is a header, the source column of each roster column (guessed), append or
// replace, and whether characters the roster file cannot hold are replaced; a summary says what
// the import will do before anything changes.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // Rows of the file shown in the preview.
    static constexpr int kPreviewRows = 20;

    ImportDialog(ImportSource& source, const QString& fileName, const RosterTable& roster,
                 TextEncoding rosterEncoding, QWidget* parent = nullptr);
    ~ImportDialog() override;

    ImportOptions Options() const;
    // The plan for the choices shown.
    const ImportPlan& Plan() const { return *m_plan; }
    // The summary as shown.
    QString SummaryText() const;

private:
    void BuildLayout(const QString& fileName);
    void SourceChanged(); // separator or header: new preview, new guesses
    void FillPreview();
    void FillColumnChoices();
    void UpdatePlan();
    QString UnstorableText() const;
    QString Caption(RosterColumn column) const; // the roster's caption, renamed ones included

    ImportSource& m_source;
    const RosterTable& m_roster;
    TextEncoding m_rosterEncoding;
    std::unique_ptr<ImportPlan> m_plan;
    bool m_filling = false; // the widgets are being filled: no plan per change

    QComboBox* m_separator = nullptr;
    QCheckBox* m_header = nullptr;
    QTableWidget* m_preview = nullptr;
    std::array<QComboBox*, RosterTable::kColumns> m_columns{};
    QRadioButton* m_append = nullptr;
    QRadioButton* m_replace = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_unstorable = nullptr;
    QCheckBox* m_replaceCharacters = nullptr;
    QPushButton* m_import = nullptr;
};
