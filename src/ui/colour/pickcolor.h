#pragma once

#include <QColor>
#include <QString>

class Dialogs;
class QWidget;

// Asks for a colour without a preselected one. Chosen: text := the decimal value of the colour
// as 0x00BBGGRR (red in the low byte), returns true. Cancelled: text := empty, returns false.
bool PickColor(Dialogs& dialogs, QWidget* parent, QString& text);

// 0x00BBGGRR value of a colour, and back.
qint32 ColourNumber(const QColor& colour);
QColor ColourFromNumber(qint32 number);

// Converts a colour text as stored in the settings ("8421504") to a colour; false when the text is
// not a 32-bit integer.
bool ColourFromText(const QString& text, QColor& colour);
