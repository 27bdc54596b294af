#include "core/phones/qrcode.h"

#include <algorithm>
#include <memory>
#include <qrencode.h>

QImage QrCode(const QString& text, int moduleScale) {
    if (moduleScale < 1) {
        return {};
    }
    const QByteArray bytes = text.toUtf8();
    // Each run of the text in the most compact mode that holds it: digits, upper-case letters and
    // URL punctuation in the alphanumeric mode (5.5 bits a character), the rest as bytes. A text
    // with a zero byte would end early there: it makes no code.
    if (bytes.contains('\0')) {
        return {};
    }
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString(bytes.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    if (!code) {
        return {};
    }
    const int modules = code->width + 2 * kQrQuietModules;
    QImage image(modules * moduleScale, modules * moduleScale, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if ((code->data[y * code->width + x] & 1) == 0) {
                continue;
            }
            const int left = (x + kQrQuietModules) * moduleScale;
            const int top = (y + kQrQuietModules) * moduleScale;
            for (int dy = 0; dy < moduleScale; ++dy) {
                uchar* line = image.scanLine(top + dy);
                std::fill(line + left, line + left + moduleScale, uchar{0});
            }
        }
    }
    return image;
}
