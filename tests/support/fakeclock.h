#pragma once

#include "core/common/timing.h"

#include <memory>
#include <vector>

// Virtual time for tests. Timers fire only inside Advance, in time order.
class FakeClock : public Clock {
public:
    FakeClock();
    ~FakeClock() override;
    std::unique_ptr<Timer> CreateTimer() override;
    qint64 NowMs() const override { return m_now; }

    // Moves time forward by ms, firing every timer that falls due, in order. A callback may
    // start, stop or destroy timers (its own included) and may call Advance again.
    void Advance(qint64 ms);
    // Advances to the next due timer and fires it; returns false when no timer is active.
    bool AdvanceToNext();
    int ActiveTimerCount() const;

private:
    friend class FakeTimer;
    std::shared_ptr<std::vector<class FakeTimer*>> m_timers;
    qint64 m_now = 0;
    qint64 m_sequence = 0;
};
