#include "ui/draw/kapmenubox.h"

#include "ui/app/dialogs.h"

#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

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
        connect(button, &QPushButton::clicked, this, [this, result] { Choose(result); });
        return button;
    };
    m_open = makeButton("Command1", QStringLiteral("パネルを開く"), 1);
    m_close = makeButton("Command2", QStringLiteral("パネルを閉じる"), 2);
    m_exit = makeButton("CmdExit", QStringLiteral("何もしない"), 0);
    setMinimumWidth(180);
}

void KapMenuBox::Choose(qint16 result) {
    m_result = result;
    accept();
}

QPoint KapMenuBox::PlaceOnScreen(QPoint topLeft, QSize size, const QRect& available) {
    if (available.isEmpty()) {
        return topLeft;
    }
    // Room for the window frame and title bar, which the window system adds around the box.
    constexpr int kFrameWidth = 16;
    constexpr int kFrameHeight = 48;
    const int right = available.left() + available.width() - size.width() - kFrameWidth;
    const int bottom = available.top() + available.height() - size.height() - kFrameHeight;
    return QPoint(std::max(available.left(), std::min(topLeft.x(), right)),
                  std::max(available.top(), std::min(topLeft.y(), bottom)));
}

qint16 KapMenuBox::X_MenuBox(Dialogs& dialogs, QWidget* parent, QPoint topLeft, int modeSwitch) {
    // On the heap and watched: should the owner go away while the box is open (its modal loop
    // lets timers run), the box goes with it and the answer is "何もしない".
    const QPointer<KapMenuBox> box = new KapMenuBox(parent);
    box->m_result = 0;
    box->adjustSize();
    // The panel's centre may lie near or beyond the edge of the screen (columns that do not fit
    // run off the right): keep the whole box on the screen so that it can be answered.
    const QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen) {
        screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    }
    box->move(PlaceOnScreen(topLeft, box->size(), screen ? screen->availableGeometry() : QRect()));
    box->m_open->setEnabled(modeSwitch == 0);
    box->m_close->setEnabled(modeSwitch == 1);
    box->m_exit->setEnabled(true);
    // The offered button answers Enter.
    QPushButton* offered = modeSwitch == 0 ? box->m_open : box->m_close;
    offered->setDefault(true);
    offered->setFocus();
    dialogs.Exec(*box);
    if (!box) {
        return 0;
    }
    const qint16 result = box->m_result;
    delete box.data();
    return result;
}
