#include "ui/cards/postcardpaper.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace {

bool Between(double value, double low, double high) {
    return value >= low && value <= high;
}

// Whether a paper size is one the printer offers: the same size within half a millimetre.
bool Offered(const QPageSize& size, const QList<QPageSize>& supported) {
    if (supported.isEmpty()) {
        return true;
    }
    const QSizeF wanted = size.size(QPageSize::Millimeter);
    for (const QPageSize& s : supported) {
        const QSizeF have = s.size(QPageSize::Millimeter);
        if (std::abs(have.width() - wanted.width()) <= 0.5 &&
            std::abs(have.height() - wanted.height()) <= 0.5) {
            return true;
        }
    }
    return false;
}

} // namespace

QList<QPageSize> PrinterPaperSizes(const QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::NativeFormat) {
        return {};
    }
    return QPrinterInfo(printer).supportedPageSizes();
}

bool SetPaperByCode(QPrinter& printer, int code) {
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id == QPageSize::Custom) {
        return false;
    }
    return printer.setPageSize(QPageSize(id));
}

qint16 SelectPostcardPaper(QPrinter& printer, const QList<QPageSize>& supported) {
    const QPageSize rememberedSize = printer.pageLayout().pageSize();
    const QPageLayout::Orientation rememberedOrientation = printer.pageLayout().orientation();
    printer.setPageOrientation(QPageLayout::Portrait);
    for (int code = 42; code <= 320; ++code) {
        // A refusal leaves the previous size in force.
        const QPageSize::PageSizeId id = QPageSize::id(code);
        if (id != QPageSize::Custom && Offered(QPageSize(id), supported)) {
            SetPaperByCode(printer, code);
        }
        const QRectF page = printer.pageLayout().fullRect(QPageLayout::Millimeter);
        if (!Between(page.width(), 99, 101)) {
            continue;
        }
        if (Between(page.height(), 147, 149)) {
            printer.setPageOrientation(rememberedOrientation);
            return static_cast<qint16>(code);
        }
    }
    printer.setPageOrientation(rememberedOrientation);
    printer.setPageSize(rememberedSize);
    return 0;
}
