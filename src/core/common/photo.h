#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Photos are read the same way everywhere (the draw, the cards, the registration preview):
// turned upright as their EXIF data says, decoded no larger than they are shown, and never
// beyond the allocation limit that the program sets once at start-up.

// Most megabytes one photo may take when decoded.
constexpr int kPhotoAllocationLimitMb = 512;

// Sets the process-wide limit on a decode. Called once by the program before any photo is read.
void SetPhotoAllocationLimit(int megabytes = kPhotoAllocationLimitMb);

// The photo's size as shown (after the EXIF turn); an empty size when the file cannot be read.
QSize PhotoSize(const QString& path);

// The largest size of a photo's proportions that fits whole inside a box (at least 1 × 1).
QSize FitInside(QSize photo, QSize box);

// The photo decoded upright at the largest size that fits whole inside a box. Safe to call on any
// thread. A null image when the file cannot be read or would exceed the limit.
QImage LoadPhotoToFit(const QString& path, QSize box);

// The photo decoded upright and no larger than size (as shown, in the photo's proportions): a
// larger photo is scaled down while it is decoded, where the format allows; a smaller one is left
// at its own size, and the caller paints it into its place. An empty size decodes the photo at its own size.
// A null image when the file cannot be read or would exceed the limit.
QImage LoadPhoto(const QString& path, QSize size);
