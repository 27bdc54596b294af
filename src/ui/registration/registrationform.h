#pragma once

#include "core/roster/recordfield.h"

#include <QRectF>
#include <QSize>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

// The registration screen's controls as designed: which there are, where they stand (in twips),
// their fonts, colours and object names. The screen gives them their behaviour.
struct RegistrationForm {
    std::array<QLineEdit*, kFieldCount> Fields{};
    std::array<QPushButton*, kFieldCount> LabelButtons{}; // none for fields 4, 5, 12 and 13
    std::array<QPushButton*, 2> StepButtons{};            // ↑ and ↓
    QPushButton* Apply = nullptr;
    QPushButton* Audition = nullptr;
    QLabel* Image1 = nullptr;

    // Builds every control as a child of screen, and the screen's own font and colour.
    void SetUp(QWidget* screen);
};

// The screen's client size in pixels.
QSize RegistrationClientSize(const QWidget* screen);

// Places a widget at a rectangle given in twips.
void PlaceTwips(QWidget* widget, const QRectF& twips);

// Shows a caption on a label button exactly as entered ("&" is not an accelerator here), in the
// buttons' font, made smaller where a long caption would not fit.
void SetLabelCaption(QPushButton* button, const QString& caption);
