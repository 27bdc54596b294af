#include "ui/registration/fieldvalidator.h"

#include <QLineEdit>

FieldValidator::FieldValidator(QLineEdit* edit, Field field, const TextEncoding& encoding,
                               std::function<void(const QString&)> refused)
    : QValidator(edit), m_field(field), m_encoding(encoding), m_refused(std::move(refused)) {
    QObject::connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_accepted = text; });
}

QValidator::State FieldValidator::validate(QString& input, int& pos) const {
    if (m_programmatic) {
        input = WithoutLineBreaks(input);
        return Acceptable;
    }
    QString refused;
    const bool fits = FitTypedText(m_field, input, pos, m_accepted.size(), m_encoding, refused);
    if (!refused.isEmpty() && m_refused) {
        m_refused(refused);
    }
    return fits ? Acceptable : Invalid;
}
