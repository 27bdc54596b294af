#pragma once

#include <QWidget>
#include <array>

enum class RosterColumn : int;
struct ProgramState;
struct Services;
class QLabel;
class QLineEdit;
class QPushButton;

// The participant registration screen: edits one roster row at a time in 16 input fields.
// The user names a row by its number (or leaves the number empty for the first free row), the
// row's cells are copied into the fields, and applying copies the fields back into the roster.
// Keyboard-driven: Enter moves on and, past the last field, asks to apply the record.
class RegistrationScreen : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFieldCount = 16;

    RegistrationScreen(ProgramState& state, Services& services, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // The field being edited (-1 while the screen is being set up).
    int CurrentField() const { return m_currentField; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Building the form.
    void BuildFields();
    void BuildButtons();
    void BuildLabels();
    void PlaceTwips(QWidget* widget, double left, double top, double width, double height);

    // The record cycle.
    void ClearFields();
    void LoadRecord();
    void AssignFreeRow();
    void StoreRecord();
    void ApplyRecord();
    void RestoreField();
    void ConfirmAbort();
    bool CheckField(int index);
    void FocusField(int index);
    void FieldReceivedFocus(int index);
    QString FieldText(int index) const;
    void SetFieldText(int index, const QString& text);
    bool RowNumber(qint16& row) const; // false when it does not fit in 16 bits
    void ShowRowRangeMessage();

    // Keys and mouse in the fields.
    bool FieldKeyPressed(int index, int key, Qt::KeyboardModifiers modifiers);
    void MoveForward();
    void MoveBack();
    void FieldClicked(int index);

    // Buttons.
    void LabelButton_Click(int index);
    void StepButton_Click(int index);
    void Audition_Click();
    void RenameCaption(int index, RosterColumn column);
    // A character the roster file cannot hold was taken out of what the user typed or pasted.
    void RefuseCharacter(const QString& character);

    // Photos and songs.
    QString SelectMusicFile(const QString& text);
    QString SelectPhotoFile(const QString& text);
    QString SelectFile(const QString& text, const QString& folder, const QString& filters,
                       const QString& subject);
    void ShowPhotoPreview();
    void ImportDroppedFiles(int field, const QStringList& paths);
    void CopyRowIntoFields(int row);

    int FieldIndexOf(QObject* object) const;

    ProgramState& m_state;
    Services& m_services;
    std::array<QLineEdit*, kFieldCount> m_fields{};
    std::array<QPushButton*, kFieldCount> m_labelButtons{};
    std::array<QString, kFieldCount> m_savedFieldText;
    std::array<QPushButton*, 2> m_stepButtons{};
    QPushButton* m_applyButton = nullptr;
    QPushButton* m_auditionButton = nullptr;
    QLabel* m_image1 = nullptr;
    int m_currentField = -1;
    int m_lastField = 15;
    bool m_focusArrivedByMouse = false;
    bool m_closing = false;
    bool m_refusalPending = false;
};
