#pragma once

#include <algorithm>
#include <atomic>

// How far a read on a worker thread has come, and whether the user has stopped it. The reader
// writes the progress and reads the stop; the screen does the opposite.
class ReadProgress {
public:
    // fraction of the whole read, 0 to 1; the progress never goes back (one thread reports)
    void Report(double fraction) {
        const int permille = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 1000);
        if (permille > m_permille.load(std::memory_order_relaxed)) {
            m_permille.store(permille, std::memory_order_relaxed);
        }
    }
    int Permille() const { return m_permille.load(std::memory_order_relaxed); }

    void Stop() { m_stopped.store(true, std::memory_order_relaxed); }
    bool Stopped() const { return m_stopped.load(std::memory_order_relaxed); }

private:
    std::atomic<int> m_permille{0};
    std::atomic<bool> m_stopped{false};
};

// A part of a read: maps its own 0..1 onto [from, to] of the whole.
struct ProgressSpan {
    ReadProgress* progress = nullptr;
    double from = 0;
    double to = 1;

    void Report(double fraction) const {
        if (progress) {
            progress->Report(from + (to - from) * std::clamp(fraction, 0.0, 1.0));
        }
    }
    bool Stopped() const { return progress && progress->Stopped(); }
};
