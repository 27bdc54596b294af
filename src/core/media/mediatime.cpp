#include "core/media/mediatime.h"

#include <cmath>
#include <limits>

qint32 RoundHalfUp(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double r = std::floor(value + 0.5);
    if (r >= static_cast<double>(std::numeric_limits<qint32>::max())) {
        return std::numeric_limits<qint32>::max();
    }
    if (r <= static_cast<double>(std::numeric_limits<qint32>::min())) {
        return std::numeric_limits<qint32>::min();
    }
    return static_cast<qint32>(r);
}

bool IsFrameTimedFile(const QString& path) {
    return path.right(4).toUpper() == QStringLiteral(".AVI");
}

qint32 ReportedTime(qint64 milliseconds, const QString& path, double framesPerSecond) {
    const double seconds = static_cast<double>(milliseconds) / 1000.0;
    if (IsFrameTimedFile(path) && framesPerSecond > 0) {
        return RoundHalfUp(seconds * framesPerSecond / 10.0);
    }
    return RoundHalfUp(seconds);
}
