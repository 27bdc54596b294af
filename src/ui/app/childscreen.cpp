#include "ui/app/childscreen.h"

#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>
#include <cmath>

void CloseScreen(QWidget* screen) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget())) {
        sub->close();
    } else {
        screen->close();
    }
}

namespace {
double LogicalDpi(const QWidget* widget) {
    const QScreen* s = widget ? widget->screen() : nullptr;
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}
} // namespace

int TwipsToPixels(const QWidget* widget, double twips) {
    return static_cast<int>(std::lround(twips * LogicalDpi(widget) / 1440.0));
}

double PixelsToTwips(const QWidget* widget, double pixels) {
    return pixels * 1440.0 / LogicalDpi(widget);
}
