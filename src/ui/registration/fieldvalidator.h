#pragma once

#include "core/roster/recordfield.h"

#include <QValidator>
#include <functional>

class QLineEdit;

// Lets a field take of what the user types or pastes only what it can hold (FitTypedText),
// telling refused which character the roster file could not; a text the program puts there
// itself is only kept free of TAB, CR and LF.
class FieldValidator : public QValidator {
public:
    FieldValidator(QLineEdit* edit, Field field, const TextEncoding& encoding,
                   std::function<void(const QString&)> refused);

    // Set while the program itself puts a text into the field.
    void SetProgrammatic(bool on) { m_programmatic = on; }

    State validate(QString& input, int& pos) const override;

private:
    Field m_field;
    const TextEncoding& m_encoding; // the roster's, which a save may change
    std::function<void(const QString&)> m_refused;
    QString m_accepted; // the field's text before the edit being checked
    bool m_programmatic = false;
};
