#pragma once

#include "core/draw/effects.h"
#include "core/draw/textfit.h"

#include <QColor>
#include <QObject>
#include <QRegion>
#include <QSize>
#include <QString>
#include <memory>

class Clock;
class EffectArea;
class FrameLog;
class PhotoCache;
class QLabel;
class QWidget;

// What the draw shows across the whole draw screen: the scrolling line, and the effect area with
// the photo and the animated name. When asked for, it also logs the effects' frames as the window
// system gets them (after the flush of the window the screen is in).
class EffectStage : public QObject {
public:
    EffectStage(QWidget& screen, PhotoCache& photos, const Clock& clock, const QString& frameLogPath);
    ~EffectStage() override;

    // The scrolling line; gives its width.
    double ShowTelop(const QString& text, double x, double top, const QColor& colour);
    void MoveTelop(double x, double top);
    void HideTelop();

    // The photo, fitted to the whole screen: decoded ahead, shown as soon as it is ready.
    void PreparePhoto(const QString& path);
    void ShowPhoto(const QString& path);
    void ShowEffects();
    void HideEffects();
    void ClearEffects();
    TextSize MeasureName(const QString& face, double pointSize, const QString& name);
    void PrintName(const QString& face, const NameFrame& frame, const QString& name);
    // The screen changed its size.
    void Resized();

    // The frame log: a frame fell due; it changes no pixel; the screen's own surface painted.
    void FrameDue(qint64 dueUs);
    void NothingToPaint();
    // Paints what the frame changed and hands it to the window system now, from the frame's own
    // tick: a frame waits for no turn of the event loop.
    void Present();
    // The screen painted its own surface (in its own coordinates).
    void SurfacePainted(const QRegion& region);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Painted(const QWidget& widget, const QRegion& region);
    void WaitForWindowSystem(QWidget& window);
    void SetTelopColour(const QColor& colour);
    QSize EffectBox() const;
    void PaintPhoto(const QString& path);

    QWidget& m_screen;
    PhotoCache& m_photos;
    const Clock& m_clock;
    EffectArea* m_effect = nullptr; // children of the screen
    QLabel* m_telop = nullptr;
    bool m_telopSmall = false; // the scrolling line, once made smaller, stays so
    QString m_effectPhoto;     // the photo the effect area shows, or waits for
    std::unique_ptr<FrameLog> m_frameLog;
    bool m_framePainted = false; // a part of the draw painted during the window's update
    QRegion m_shown;             // what the draw painted since the last frame, in the window
};
