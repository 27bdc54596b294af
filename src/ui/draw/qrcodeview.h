#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// A QR code drawn as large as the widget allows, in whole pixels a module (a scaled code with
// blurred edges scans badly), centred, with its quiet zone of four modules always white and
// always inside the widget: nothing laid out around it can cover any of it.
class QrCodeView : public QWidget {
public:
    explicit QrCodeView(QWidget* parent = nullptr);

    // The code of the text; an empty text shows nothing. False when the text makes no code.
    bool SetText(const QString& text);
    // The code as shown now: quiet zone included, each module as many pixels as on the screen.
    QImage Shown() const;
    // Modules across, the quiet zone included; 0 without a code.
    int Modules() const { return m_code.width(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int Scale() const;

    QImage m_code; // one pixel a module
};
