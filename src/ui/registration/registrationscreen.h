#pragma once

#include "core/roster/recordeditor.h"
#include "ui/registration/registrationform.h"

#include <QWidget>

struct ProgramState;
struct Services;
class QLineEdit;

// The participant registration screen: edits one roster row at a time in 16 input fields.
// The user names a row by its number (or leaves the number empty for the first free row), the
// row's cells are copied into the fields, and applying copies the fields back into the roster.
// Keyboard-driven: Enter moves on and, past the last field, asks to apply the record. The record
// cycle and its rules are the RecordEditor's; the screen lays out, takes input and shows boxes.
class RegistrationScreen : public QWidget, private FieldTexts {
    Q_OBJECT
public:
    static constexpr int kFieldCount = ::kFieldCount;

    RegistrationScreen(ProgramState& state, Services& services, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // The field being edited.
    int CurrentField() const { return static_cast<int>(m_editor.CurrentField()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString FieldText(Field field) const override;
    void SetFieldText(Field field, const QString& text) override;

    // Shows what a step of the editor leaves to tell; false when the screen went under a box.
    bool Tell(const EditStep& step);
    bool Tell(const QString& message);
    void FocusField(Field field);
    void FieldReceivedFocus(Field field);
    bool FieldKeyPressed(Field field, int key, Qt::KeyboardModifiers modifiers);
    void Move(const EditStep& step);
    void FieldClicked(Field field);
    void ApplyRecord();
    void ConfirmAbort();
    void ShowPhotoPreview();
    void ImportDroppedFiles(Field field, const QStringList& paths);

    void cmdラベル_Click(Field field);
    void Cmdデータ参照_Click(int index);
    void cmd試聴_Click();
    void RenameCaption(Field field);
    // A character the roster file cannot hold was taken out of what the user typed or pasted.
    void RefuseCharacter(const QString& character);

    QLineEdit* Edit(Field field) const { return m_form.Fields[static_cast<int>(field)]; }
    int FieldIndexOf(QObject* object) const;

    ProgramState& m_state;
    Services& m_services;
    RecordEditor m_editor;
    RegistrationForm m_form;
    bool m_focusArrivedByMouse = false;
    bool m_closing = false;
    bool m_refusalPending = false;
};
