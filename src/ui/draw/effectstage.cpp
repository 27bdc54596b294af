#include "ui/draw/effectstage.h"

#include "core/common/designfonts.h"
#include "core/common/timing.h"
#include "core/draw/framelog.h"
#include "core/draw/panelgrid.h"
#include "core/draw/photocache.h"
#include "ui/app/childscreen.h"
#include "ui/draw/drawcanvas.h"
#include "ui/draw/effectarea.h"
#include "ui/draw/teloplabel.h"

#include <QApplication>
#include <QBackingStore>
#include <QLabel>
#include <QPaintEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

// A screen this narrow (twips) or narrower scrolls in a smaller size.
constexpr double kNarrowScreenTwips = 10000;

} // namespace

EffectStage::EffectStage(QWidget& screen, PhotoCache& photos, const Clock& clock, const QString& frameLogPath)
    : m_screen(screen), m_photos(photos), m_clock(clock) {
    m_effect = new EffectArea(&screen);
    m_telop = new TelopLabel(QStringLiteral("テロップ用"), &screen);
    m_telop->setObjectName(QStringLiteral("Lblテロップ用"));
    m_telop->setFont(DesignFont(DesignFace::PMincho, 60, true));
    // Coloured by its palette, not a style sheet: it repaints every frame while it scrolls, and a
    // style sheet is looked up on every paint. It fills no background of its own.
    m_telop->setAutoFillBackground(false);
    SetTelopColour(Qt::white);
    m_telop->hide();
    connect(&m_photos, &PhotoCache::Ready, this, [this](const QString& path) { PaintPhoto(path); });
    m_effect->installEventFilter(this);
    m_telop->installEventFilter(this);
    if (!frameLogPath.isEmpty()) {
        m_frameLog = std::make_unique<FrameLog>(frameLogPath);
        qApp->installEventFilter(this);
    }
}

EffectStage::~EffectStage() = default;

double EffectStage::ShowTelop(const QString& text, double x, double top, const QColor& colour) {
    if (PixelsToTwips(&m_screen, m_screen.width()) <= kNarrowScreenTwips && !m_telopSmall) {
        m_telopSmall = true;
        QFont font = m_telop->font();
        font.setPointSizeF(40);
        m_telop->setFont(font);
    }
    SetTelopColour(colour);
    m_telop->setText(text);
    m_telop->adjustSize();
    m_telop->move(static_cast<int>(x), static_cast<int>(top));
    m_telop->show();
    m_telop->raise();
    return m_telop->width();
}

void EffectStage::SetTelopColour(const QColor& colour) {
    QPalette palette = m_telop->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_telop->setPalette(palette);
}

void EffectStage::MoveTelop(double x, double top) {
    m_telop->move(static_cast<int>(std::floor(x)), static_cast<int>(top));
}

void EffectStage::HideTelop() {
    m_telop->hide();
}

QSize EffectStage::EffectBox() const {
    return ScaledPixelSize(QSizeF(m_screen.size()), m_screen.devicePixelRatioF());
}

void EffectStage::PreparePhoto(const QString& path) {
    m_photos.Prepare(path, EffectBox());
}

void EffectStage::ShowPhoto(const QString& path) {
    ShowEffects();
    m_effect->Clear();
    m_effectPhoto = path;
    PaintPhoto(path);
}

void EffectStage::PaintPhoto(const QString& path) {
    // Not yet decoded: the area stays black until it is, or for the photo's whole time when the
    // file cannot be read.
    if (path != m_effectPhoto || !m_effect->isVisible()) {
        return;
    }
    const QImage photo = m_photos.Fitted(path, EffectBox());
    if (!photo.isNull()) {
        m_effect->DrawPicture(
            EffectPhotoPlacement(m_screen.width(), m_screen.height(), photo.width(), photo.height()), photo);
    }
}

void EffectStage::ShowEffects() {
    m_effect->setGeometry(m_screen.rect());
    m_effect->show();
    m_effect->raise();
}

void EffectStage::HideEffects() {
    m_effect->hide();
    m_effectPhoto.clear();
}

void EffectStage::ClearEffects() {
    m_effect->Clear();
}

void EffectStage::Resized() {
    // The area takes the screen's size and makes its image now, shown or not: the first frame of
    // a draw's effects finds it ready.
    m_effect->setGeometry(m_screen.rect());
    m_effect->EnsureCanvas();
}

TextSize EffectStage::MeasureName(const QString& face, double pointSize, const QString& name) {
    return TextMeasureFor(UnhintedFont(face, false), name, &m_effect->Canvas())(pointSize);
}

void EffectStage::PrintName(const QString& face, const NameFrame& frame, const QString& name) {
    QFont font = UnhintedFont(face, false);
    font.setPointSizeF(std::max(0.5, frame.Size));
    m_effect->Print(font, QPointF(frame.X, frame.Y), name, frame.Colour);
}

void EffectStage::FrameDue(qint64 dueUs) {
    if (m_frameLog) {
        m_frameLog->Due(dueUs);
    }
}

void EffectStage::NothingToPaint() {
    if (m_frameLog) {
        m_frameLog->NothingToPaint();
    }
}

void EffectStage::Present() {
    if (QWidget* window = m_screen.window(); window->isVisible()) {
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(window, &request);
        WaitForWindowSystem(*window);
    }
}

void EffectStage::SurfacePainted(const QRegion& region) {
    Painted(m_screen, region);
}

void EffectStage::Painted(const QWidget& widget, const QRegion& region) {
    m_framePainted = true;
    m_shown += region.translated(widget.mapTo(widget.window(), QPoint(0, 0)));
}

void EffectStage::WaitForWindowSystem(QWidget& window) {
    // On X11 the window system reads a frame from memory it shares with the program, and a paint
    // over what it may still be reading first waits for it to finish: a round trip to the X server,
    // which takes milliseconds when the server's processor sleeps. Taken here, just after a frame
    // was handed over and while no frame is due, the wait is not taken at the start of the next
    // frame. A translucent window would be cleared by this, so only opaque ones take it.
    const QRegion shown = std::exchange(m_shown, QRegion());
    QBackingStore* store = window.backingStore();
    if (shown.isEmpty() || !store || QGuiApplication::platformName() != QStringLiteral("xcb") ||
        !window.windowHandle() || window.windowHandle()->format().hasAlpha()) {
        return;
    }
    store->beginPaint(shown);
    store->endPaint();
}

bool EffectStage::eventFilter(QObject* watched, QEvent* event) {
    // The effect area, the scrolling line and the typed surface paint into the window's buffer;
    // the window's update request paints and then flushes the buffer to the window system, and
    // only then the room sees the frame. The update requests are watched while frames are logged.
    if (event->type() == QEvent::Paint && (watched == m_effect || watched == m_telop)) {
        Painted(*static_cast<QWidget*>(watched), static_cast<QPaintEvent*>(event)->region());
    } else if (m_frameLog && event->type() == QEvent::UpdateRequest && watched == m_screen.window()) {
        const qint64 began = m_clock.NowUs();
        m_framePainted = false;
        watched->event(event); // the window paints and flushes here
        if (m_framePainted) {
            m_frameLog->Painted(began, m_clock.NowUs());
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}
