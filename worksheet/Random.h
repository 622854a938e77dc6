#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace sbk3 {

// The pseudo-random generator the commands draw from.
class RandomPort {
public:
    virtual ~RandomPort() = default;
    // Reseeds from the system timer.
    virtual void rtcRandomize() = 0;
    // The next value r, 0 <= r < 1.
    virtual float rtcRandomNext() = 0;
};

// xoshiro256** whose reseed mixes a clock reading into its current state, so a reseed from an
// unchanged reading never brings back the draws after an earlier one.
class ClockRandom : public RandomPort {
public:
    using Clock = std::function<std::uint64_t()>;
    // Without a clock, a high-resolution one is read.
    explicit ClockRandom(Clock clock = {});

    void rtcRandomize() override;
    float rtcRandomNext() override;

private:
    std::uint64_t next();

    Clock m_clock;
    std::array<std::uint64_t, 4> m_state{};
};

} // namespace sbk3
