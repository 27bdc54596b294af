#pragma once

class QWidget;

// Closes a working screen by its own means: the MDI child window that holds it (or the widget
// itself when it stands alone, as in tests). The screen's closeEvent may still refuse.
void CloseScreen(QWidget* screen);

// Converts twips (1/1440 inch) to device-independent pixels of the widget's screen.
int TwipsToPixels(const QWidget* widget, double twips);
double PixelsToTwips(const QWidget* widget, double pixels);
