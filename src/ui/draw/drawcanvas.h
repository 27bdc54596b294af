#pragma once

#include "core/draw/textfit.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSize>

class QPainter;
class QPaintDevice;
class QWidget;

// Painting helpers of the draw screen. Everything drawn on a panel or on the effect area goes
// onto a kept image whose resolution matches the widget's screen, so point sizes look the same
// as in the widget and the widget only copies the image.

// An image of the widget's logical size (scaled by its device pixel ratio) filled with a colour.
QImage MakeCanvas(const QWidget* widget, QSize logicalSize, const QColor& fill,
                  QImage::Format format = QImage::Format_RGB32);

// Paints the part of a kept image (at its own device pixel ratio) that lies under a logical area.
void DrawKeptPart(QPainter& painter, const QRect& area, const QImage& kept);

// Pixels of a logical size at a device pixel ratio, at least 1 × 1.
QSize ScaledPixelSize(QSizeF logical, qreal ratio);

// Measures text in font (its size replaced by each size asked) as painted on device: advance
// width and line height, in the device's logical units.
TextMeasure TextMeasureFor(const QFont& font, const QString& text, const QPaintDevice* device);

// Prints text with its top left corner at the point (the drawing position of the screen).
void PrintAt(QPainter& painter, QPointF topLeft, const QString& text);
