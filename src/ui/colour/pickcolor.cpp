#include "ui/colour/pickcolor.h"

#include "core/common/numeric.h"
#include "ui/app/dialogs.h"

bool PickColor(Dialogs& dialogs, QWidget* parent, QString& text) {
    const std::optional<QColor> chosen = dialogs.Colour(parent);
    if (!chosen) {
        text.clear();
        return false;
    }
    text = QString::number(ColourNumber(*chosen));
    return true;
}

qint32 ColourNumber(const QColor& colour) {
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

QColor ColourFromNumber(qint32 number) {
    const quint32 n = static_cast<quint32>(number);
    return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF),
                  static_cast<int>((n >> 16) & 0xFF));
}

bool ColourFromText(const QString& text, QColor& colour) {
    qint32 n = 0;
    if (!ParseInt32(text, n)) {
        return false;
    }
    colour = ColourFromNumber(n);
    return true;
}
