#include "support/fakeclock.h"

#include <algorithm>

class FakeTimer : public Timer {
public:
    FakeTimer(FakeClock& clock, std::shared_ptr<std::vector<FakeTimer*>> registry)
        : m_clock(clock), m_registry(std::move(registry)) {
        m_registry->push_back(this);
    }
    ~FakeTimer() override {
        auto& r = *m_registry;
        r.erase(std::remove(r.begin(), r.end(), this), r.end());
    }
    void SetInterval(int ms) override {
        m_interval = ms;
        if (m_active) {
            Start();
        }
    }
    int Interval() const override { return m_interval; }
    void Start() override {
        m_active = true;
        m_due = m_clock.m_now + std::max(m_interval, 1);
        m_order = ++m_clock.m_sequence;
    }
    void Stop() override { m_active = false; }
    bool IsActive() const override { return m_active; }

    void FireNow() {
        // Repeat like a QTimer: the next tick is one interval after this one.
        m_due += std::max(m_interval, 1);
        m_order = ++m_clock.m_sequence;
        Fire();
    }

    FakeClock& m_clock;
    std::shared_ptr<std::vector<FakeTimer*>> m_registry;
    int m_interval = 0;
    bool m_active = false;
    qint64 m_due = 0;
    qint64 m_order = 0;
};

FakeClock::FakeClock() : m_timers(std::make_shared<std::vector<FakeTimer*>>()) {}

FakeClock::~FakeClock() = default;

std::unique_ptr<Timer> FakeClock::CreateTimer() {
    return std::make_unique<FakeTimer>(*this, m_timers);
}

namespace {
FakeTimer* nextDue(const std::vector<FakeTimer*>& timers) {
    FakeTimer* best = nullptr;
    for (FakeTimer* t : timers) {
        if (!t->m_active) {
            continue;
        }
        if (!best || t->m_due < best->m_due || (t->m_due == best->m_due && t->m_order < best->m_order)) {
            best = t;
        }
    }
    return best;
}
} // namespace

void FakeClock::Advance(qint64 ms) {
    const qint64 target = m_now + ms;
    for (;;) {
        FakeTimer* t = nextDue(*m_timers);
        if (!t || t->m_due > target) {
            break;
        }
        m_now = std::max(m_now, t->m_due);
        t->FireNow();
    }
    m_now = std::max(m_now, target);
}

bool FakeClock::AdvanceToNext() {
    FakeTimer* t = nextDue(*m_timers);
    if (!t) {
        return false;
    }
    m_now = std::max(m_now, t->m_due);
    t->FireNow();
    return true;
}

int FakeClock::ActiveTimerCount() const {
    return static_cast<int>(
        std::count_if(m_timers->begin(), m_timers->end(), [](FakeTimer* t) { return t->m_active; }));
}
