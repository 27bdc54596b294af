#pragma once

#include <QImage>
#include <QString>

// Modules of white around a QR code, as readers expect.
constexpr int kQrQuietModules = 4;

// The QR code of a text (its UTF-8 bytes, each run in the most compact mode that holds it; error
// correction level M), black modules on white with the quiet zone, each module moduleScale ×
// moduleScale pixels. A null image when the text does not fit a QR code or the scale is below 1.
QImage QrCode(const QString& text, int moduleScale);
