#pragma once

#include <QFile>
#include <QString>
#include <optional>

// The frames of the draw's effects as they were paced and shown, for measuring: one line per
// frame, tab-separated, "due", "painted" (both microseconds from the first frame: when the frame
// reached the window system) and "paint" (microseconds from the start of the window's update,
// painting and flushing, to its end). A frame is the first update that ends after a tick of the
// effect timer fell due. Written only when asked for (MIRDA_FRAME_LOG).
class FrameLog {
public:
    // Appends to the file; a file that cannot be opened logs nothing.
    explicit FrameLog(const QString& path);

    void Due(qint64 dueUs);
    void Painted(qint64 beganUs, qint64 endedUs);
    // The frame due changes no pixel (a typed space has no ink): no paint follows, and the next
    // paint belongs to a later frame.
    void NothingToPaint() { m_due.reset(); }

private:
    QFile m_file;
    std::optional<qint64> m_due;
    std::optional<qint64> m_origin;
};
