#pragma once

#include <QDialog>

class Dialogs;
class QPushButton;

// The panel action box (`KapMenuBox`): three stacked buttons, "パネルを開く" (1), "パネルを閉じる"
// (2) and "何もしない" (0). Closing it any other way gives 0.
class KapMenuBox : public QDialog {
public:
    explicit KapMenuBox(QWidget* parent = nullptr);

    qint16 MenuResult() const { return m_result; }

    // Shows the box modally with its top left corner at the global point. Mode switch 0: only
    // opening is offered; 1: only closing. Returns the result.
    // The box is kept whole on the screen: a corner beyond the available area moves in.
    static qint16 X_MenuBox(Dialogs& dialogs, QWidget* parent, QPoint topLeft, int modeSwitch);

    // Where a box of the size goes for the wished top left corner within the available area.
    static QPoint PlaceOnScreen(QPoint topLeft, QSize size, const QRect& available);

private:
    void Choose(qint16 result);
    qint16 m_result = 0;
    QPushButton* m_open;
    QPushButton* m_close;
    QPushButton* m_exit;
};
