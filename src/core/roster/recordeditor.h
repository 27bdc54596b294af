#pragma once

#include "core/roster/recordfield.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

struct ProgramState;

// Where the editor reads and writes the field texts: the registration screen's text boxes, so
// that no text is kept twice.
class FieldTexts {
public:
    virtual ~FieldTexts() = default;
    virtual QString FieldText(Field field) const = 0;
    virtual void SetFieldText(Field field, const QString& text) = 0;
};

// What a step of the record cycle leaves to the screen, in this order: tell the messages (each in
// an OK box), show the photo of the photo field again, then focus CurrentField — or, when Apply is
// set, ask to apply the record.
struct EditStep {
    bool Valid = true; // false: a field check refused; CurrentField is the refusing field
    QStringList Messages;
    bool ShowPhoto = false;
    bool Apply = false;
};

// A question the screen asks in an input box.
struct InputQuestion {
    QString Title;
    QString Prompt;
    QString DefaultAnswer;
};

// The song audition as the fields stand (edits not yet applied included).
struct AuditionRequest {
    QString Message; // nothing to play: tell this instead
    QString Path;
    qint32 Start = 0;   // seconds into the song
    qint32 Seconds = 0; // how long to play; 0 = to the end
    QString Prompt;
    QString Title;
};

// The record cycle of the registration screen: one roster row at a time is copied into the
// fields, checked field by field as the user leaves each, and copied back on apply. Which row the
// fields belong to is only the text of the row-number field. The editor owns the rules; the
// screen owns the widgets and shows what the editor asks it to tell.
class RecordEditor {
public:
    static constexpr Field kLastField = Field::Excluded; // the forward move stops here

    RecordEditor(ProgramState& state, FieldTexts& fields);

    // Opening the screen: the design texts become the saved copies, every field is emptied, and
    // the row number is the field being edited.
    void Open();

    Field CurrentField() const { return m_current; }
    void SetCurrentField(Field field) { m_current = field; }
    // The spare field is never visited.
    static bool IsHidden(Field field) { return field == Field::Spare; }

    // A field receives the focus: a blank one is filled with spaces, as many as it takes (10 when
    // unlimited), so that typing replaces them.
    void EnterField(Field field);

    // Every field's text becomes its saved copy; every field empty.
    void ClearFields();
    // The row named by the row number into the fields; a message when it is out of range.
    QString LoadRecord();
    // The first row without a name into the fields; a message when there is none.
    QString AssignFreeRow();
    // The fields, trimmed, into the row named by the row number, marking the roster unsaved (also
    // when the number is refused); a message when it is out of range.
    QString StoreRecord();
    // The current field gets its saved copy back (F5).
    void RestoreField();

    // The check of a field as it is left: the row number loads a record or picks a free row, the
    // blood type is upper-cased, the song times are formatted, the photo is to be shown again.
    EditStep CheckField(Field field);
    // Enter, Tab, Down: check, then on to the next visited field, or past the last to apply.
    EditStep MoveForward();
    // Up, Shift+Tab: check, then back to the previous visited field.
    EditStep MoveBack();
    // A click in a field: every field from the current one up to the one before the clicked one
    // is checked in order; the first refusal keeps the focus there.
    EditStep Click(Field clicked);
    // The ↑ (-1) and ↓ (+1) buttons: the next row number within the roster, loaded.
    EditStep StepRow(int step);

    // The question applying asks; nothing when the row number is blank (applying does nothing).
    std::optional<QString> ApplyQuestion() const;
    // Yes to the question: stores the record, empties the fields, back to the row number.
    EditStep ApplyConfirmed();
    static QString AbortQuestion();

    // The blood-type button: "A" → "O" → "B" → "AB" → "A"; anything else gives "A".
    void NextBloodType();
    // The birthplace button: the next prefecture; from the last one or any other text the first.
    // True when the focus is to move into the field (the cycle started over).
    bool NextPrefecture();

    // The caption a renamable field's label button shows (the column's caption).
    QString LabelCaption(Field field) const;
    // The rename of that caption: the question, and what the answer does. Answered with a
    // non-blank text, the trimmed answer becomes the caption, the roster is unsaved, and shown
    // is what the button is to show (the answer as entered).
    InputQuestion RenameQuestion(Field field) const;
    EditStep RenameCaption(Field field, const std::optional<QString>& answer, std::optional<QString>& shown);

    // The file picked in the song or photo field's open dialog (empty: cancelled) into the field.
    EditStep TakeChosenFile(Field field, const QString& chosen);

    AuditionRequest Audition() const;
    // The photo named in the photo field, empty when the field is blank.
    QString PhotoPath() const;

private:
    QString Text(Field field) const { return m_fields.FieldText(field); }
    void SetText(Field field, const QString& text) { m_fields.SetFieldText(field, text); }
    void CopyRowIntoFields(int row);
    bool RowNumber(qint16& row) const;

    ProgramState& m_state;
    FieldTexts& m_fields;
    Field m_current = Field::RowNumber;
    std::array<QString, kFieldCount> m_saved;
};
