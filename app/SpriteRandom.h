#pragma once

#include <QRandomGenerator>

#include <cstdint>

// The random numbers of the credits animation. The program uses ClockRandom, seeded once from the clock;
// tests hand in a generator of their own.
class SpriteRandom
{
public:
    virtual ~SpriteRandom() = default;
    // Uniform in 0 ... n - 1; 0 when n is not above 0.
    virtual int below(int n) = 0;
    // Uniform in [0, 1).
    virtual double real() = 0;
};

class ClockRandom final : public SpriteRandom
{
public:
    // Seeded from the clock.
    ClockRandom();
    explicit ClockRandom(std::uint32_t seed) : m_generator(seed) {}

    int below(int n) override { return n > 0 ? int(m_generator.bounded(std::uint32_t(n))) : 0; }
    double real() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator;
};
