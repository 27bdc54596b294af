#include "ui/registration/registrationscreen.h"

RegistrationScreen::RegistrationScreen(ProgramState&, Services&, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Frm参加者登録"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 480);
}
