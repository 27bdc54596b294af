#pragma once

#include <cstdint>
#include <random>

// Source of random fractions 0 <= r < 1 for every random pick of the program. The program
// seeds one generator from the clock at start-up and never reseeds it; tests inject fractions.
class FractionSource {
public:
    virtual ~FractionSource() = default;
    virtual double NextFraction() = 0;
};

// Single-precision fractions (24 bits of resolution) from a Mersenne Twister.
class ClockSeededFractions : public FractionSource {
public:
    ClockSeededFractions();
    explicit ClockSeededFractions(std::uint32_t seed) : m_engine(seed) {}
    void SeedFromClock();
    double NextFraction() override;

private:
    std::mt19937 m_engine;
};
