#pragma once

#include <QImage>
#include <QLabel>

// The scrolling line: a label whose text is drawn once into a kept image, so that each frame of
// the scroll only copies pixels. Large type is drawn glyph by glyph from outlines, which costs
// milliseconds a frame; a line too long for a kept image is drawn as any label draws it.
class TelopLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool KeepImage();

    QImage m_image;  // the whole line as shown, transparent around the glyphs
    QString m_drawn; // the text, colour and size the image was drawn with
    QColor m_colour;
    QFont m_font;
};
