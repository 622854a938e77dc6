#pragma once

#include "common/RandomPort.h"

#include <array>
#include <cstdint>
#include <functional>

namespace sbk3 {

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
