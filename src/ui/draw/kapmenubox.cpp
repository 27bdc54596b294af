#include "ui/draw/kapmenubox.h"

#include "ui/app/dialogs.h"

#include <QPushButton>
#include <QVBoxLayout>

KapMenuBox::KapMenuBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KapMenuBox"));
    setWindowTitle(QStringLiteral("パネル操作"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    const auto makeButton = [this, layout](const char* name, const QString& caption, qint16 result) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromUtf8(name));
        button->setAutoDefault(false);
        button->setMinimumHeight(32);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, result] { choose(result); });
        return button;
    };
    m_open = makeButton("Command1", QStringLiteral("パネルを開く"), 1);
    m_close = makeButton("Command2", QStringLiteral("パネルを閉じる"), 2);
    m_exit = makeButton("CmdExit", QStringLiteral("何もしない"), 0);
    setMinimumWidth(180);
}

void KapMenuBox::choose(qint16 result) {
    m_result = result;
    accept();
}

qint16 KapMenuBox::X_MenuBox(Dialogs& dialogs, QWidget* parent, QPoint topLeft, int modeSwitch) {
    KapMenuBox box(parent);
    box.m_result = 0;
    box.move(topLeft);
    box.m_open->setEnabled(modeSwitch == 0);
    box.m_close->setEnabled(modeSwitch == 1);
    box.m_exit->setEnabled(true);
    (modeSwitch == 0 ? box.m_open : box.m_close)->setFocus();
    dialogs.Exec(box);
    return box.m_result;
}
