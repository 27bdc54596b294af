#include "ui/cards/postcardpaper.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

namespace {

bool between(double value, double low, double high) {
    return value >= low && value <= high;
}

} // namespace

bool SetPaperByCode(QPrinter& printer, int code) {
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id == QPageSize::Custom) {
        return false;
    }
    return printer.setPageSize(QPageSize(id));
}

qint16 SelectPostcardPaper(QPrinter& printer) {
    const QPageSize rememberedSize = printer.pageLayout().pageSize();
    const QPageLayout::Orientation rememberedOrientation = printer.pageLayout().orientation();
    printer.setPageOrientation(QPageLayout::Portrait);
    for (int code = 42; code <= 320; ++code) {
        SetPaperByCode(printer, code); // a refusal leaves the previous size in force
        const QRectF page = printer.pageLayout().fullRect(QPageLayout::Millimeter);
        if (!between(page.width(), 99, 101)) {
            continue;
        }
        if (between(page.height(), 147, 149)) {
            printer.setPageOrientation(rememberedOrientation);
            return static_cast<qint16>(code);
        }
    }
    printer.setPageOrientation(rememberedOrientation);
    printer.setPageSize(rememberedSize);
    return 0;
}
