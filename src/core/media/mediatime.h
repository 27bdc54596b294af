#pragma once

#include <QString>
#include <QtGlobal>

// Turning the media layer's times into the whole numbers the screens show and compare.

// Rounds half up to a whole number (125.4 -> 125, 125.5 -> 126, -0.5 -> 0), clamped to the
// 32-bit range; 0 for a value that is not a number.
qint32 RoundHalfUp(double value);

// True for the files that report their times in frames / 10 (a name ending in ".AVI", any case).
bool IsFrameTimedFile(const QString& path);

// The time a query reports for a media time in milliseconds: whole seconds, or for a
// frame-timed file the number of frames divided by 10. framesPerSecond is the video's frame rate
// when the media layer knows it; without one (0 or less) the time is reported in seconds.
qint32 ReportedTime(qint64 milliseconds, const QString& path, double framesPerSecond);
