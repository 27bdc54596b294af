#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>
#include <vector>

// The one seam through which every timer and wait of the program is paced. The program uses
// Qt timers on the event loop; tests use a clock in virtual time, which they advance at will,
// so that a whole draw runs in a fraction of a second of real time.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void SetInterval(int ms) = 0;
    virtual int Interval() const = 0;
    virtual void Start() = 0; // (re)starts counting a full interval from now
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    void SetCallback(std::function<void()> callback) { m_callback = std::move(callback); }

protected:
    void Fire() {
        if (m_callback) {
            m_callback();
        }
    }

private:
    std::function<void()> m_callback;
};

class Clock {
public:
    virtual ~Clock() = default;
    // A repeating timer, stopped. Its callback runs on the event loop thread.
    virtual std::unique_ptr<Timer> CreateTimer() = 0;
    // Milliseconds since an arbitrary epoch.
    virtual qint64 NowMs() const = 0;
    // Microseconds of a steady clock, for measuring how long things take.
    virtual qint64 NowUs() const { return NowMs() * 1000; }
};

// Clock of the running program: QTimer and the system clock.
class QtClock : public Clock {
public:
    std::unique_ptr<Timer> CreateTimer() override;
    qint64 NowMs() const override;
    qint64 NowUs() const override;
};
