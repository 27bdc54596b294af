#include "core/common/random.h"

#include <chrono>

ClockSeededFractions::ClockSeededFractions() {
    SeedFromClock();
}

void ClockSeededFractions::SeedFromClock() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    m_engine.seed(
        static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
}

double ClockSeededFractions::NextFraction() {
    const std::uint32_t bits = m_engine() >> 8; // 24 bits, exactly representable as a float
    return static_cast<float>(bits) / 16777216.0f;
}
