#include "ui/draw/drawscreen.h"

DrawScreen::DrawScreen(ProgramState&, Services&, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frm抽選"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 480);
}
