#include "core/common/timing.h"

#include <QDateTime>
#include <QTimer>
#include <algorithm>

namespace {

class QtTimer : public Timer {
public:
    QtTimer() {
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
