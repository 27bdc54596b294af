#include "ui/cards/cardissuescreen.h"

CardIssueScreen::CardIssueScreen(ProgramState&, Services&, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Frm印刷設定"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 480);
}
