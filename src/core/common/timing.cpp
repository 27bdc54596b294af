#include "core/common/timing.h"

#include <QDateTime>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace {

class QtTimer : public Timer {
public:
    QtTimer() {
        // The draw paces its frames with these: a coarse timer would let them wander by 5 %.
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Fire(); });
    }
    void SetInterval(int ms) override { m_timer.setInterval(ms); }
    int Interval() const override { return m_timer.interval(); }
    void Start() override { m_timer.start(); }
    void Stop() override { m_timer.stop(); }
    bool IsActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<Timer> QtClock::CreateTimer() {
    return std::make_unique<QtTimer>();
}

qint64 QtClock::NowMs() const {
    return QDateTime::currentMSecsSinceEpoch();
}

qint64 QtClock::NowUs() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
