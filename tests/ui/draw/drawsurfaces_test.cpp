// The kept images the draw paints its frames from: what they show must be what a plain drawing
// would show, after every change and every clearing.
#include "core/common/designfonts.h"
#include "core/draw/panelgrid.h"
#include "ui/draw/effectarea.h"
#include "ui/draw/teloplabel.h"
#include "ui/draw/typedsurface.h"

#include <QLabel>
#include <QPainter>
#include <QtTest>

namespace {

// Pixels of image that differ from colour.
int inkedPixels(const QImage& image, const QColor& background) {
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            inked += image.pixelColor(x, y) != background ? 1 : 0;
        }
    }
    return inked;
}

} // namespace

class DrawSurfacesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    // The scrolling line looks exactly like a label with its text, font and colour, also after
    // its text and its colour change.
    void scrollingLineShowsWhatALabelShows() {
        QWidget screen;
        QLabel plain(&screen);
        TelopLabel kept(&screen);
        const struct {
            const char16_t* text;
            QColor colour;
        } steps[] = {{u"1988.3.20生 大阪府 出身  O型 の うお座", Qt::white},
                     {u"1988.3.20生 大阪府 出身  O型 の うお座", Qt::black},
                     {u"東京 出身  ", Qt::black}};
        for (const auto& step : steps) {
            for (QLabel* label : {&plain, static_cast<QLabel*>(&kept)}) {
                label->setFont(DesignFont(DesignFace::PMincho, 60, true));
                label->setText(QString::fromUtf16(step.text));
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, step.colour);
                label->setPalette(palette);
                label->adjustSize();
            }
            const QImage expected = plain.grab().toImage();
            QVERIFY(inkedPixels(expected, Qt::transparent) > 1000);
            QCOMPARE(kept.grab().toImage(), expected);
        }
    }

    // Typed lines are wiped by a clearing, and only the new ones show after it.
    void typedLinesGoWithTheClearing() {
        QWidget screen;
        screen.resize(400, 300);
        TypedSurface surface(screen), fresh(screen);
        const QFont font = DesignFont(DesignFace::PGothic, 30, true);
        const auto shown = [](const TypedSurface& typed) {
            QImage image(400, 300, QImage::Format_RGB32);
            image.fill(Qt::gray);
            QPainter painter(&image);
            typed.Paint(painter);
            return image;
        };
        for (const QChar c : QStringLiteral("総務部所属")) {
            surface.Type(c, font, Qt::red);
        }
        QVERIFY(inkedPixels(shown(surface), Qt::gray) > 200);
        surface.Clear(0);
        QCOMPARE(inkedPixels(shown(surface), Qt::gray), 0);
        // Typed again where the cleared lines were, it shows what a fresh surface shows.
        surface.Type(QStringLiteral("一"), font, Qt::blue);
        fresh.Type(QStringLiteral("一"), font, Qt::blue);
        QCOMPARE(shown(surface), shown(fresh));
    }

    // The effect area's kept image is black again after a clearing (the photo's place included).
    void effectAreaClearsToBlack() {
        QWidget screen;
        EffectArea area(&screen);
        area.resize(400, 300);
        QImage photo(300, 300, QImage::Format_RGB32);
        photo.fill(Qt::white);
        area.DrawPicture(EffectPhotoPlacement(400, 300, 300, 300), photo);
        QVERIFY(inkedPixels(area.Canvas(), Qt::black) > 0);
        area.Clear();
        QCOMPARE(inkedPixels(area.Canvas(), Qt::black), 0);
    }
};

QTEST_MAIN(DrawSurfacesTest)
#include "drawsurfaces_test.moc"
