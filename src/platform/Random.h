#pragma once

#include <cstdint>
#include <random>

namespace mirai {

// Uniform numbers in [0, 1); one sequence for the whole program, reseeded from the clock.
class Random {
public:
    virtual ~Random() = default;
    virtual double next() = 0;
    virtual void reseed(std::uint64_t value) = 0;
};

class StandardRandom final : public Random {
public:
    explicit StandardRandom(std::uint64_t value = 0) : m_engine(value) {}
    double next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine); }
    void reseed(std::uint64_t value) override { m_engine = std::mt19937_64(value); }

private:
    std::mt19937_64 m_engine;
};

} // namespace mirai
