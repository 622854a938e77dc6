#include "worksheet/Random.h"

#include <chrono>

namespace sbk3 {
namespace {

std::uint64_t splitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

std::uint64_t highResolutionTicks() {
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace

ClockRandom::ClockRandom(Clock clock) : m_clock(clock ? std::move(clock) : highResolutionTicks) {
    std::uint64_t seed = m_clock();
    for (auto& word : m_state)
        word = splitMix(seed);
}

void ClockRandom::rtcRandomize() {
    // The old state goes into the new one, so equal readings still lead somewhere new.
    std::uint64_t seed = next() ^ rotl(m_clock(), 17);
    for (auto& word : m_state)
        word ^= splitMix(seed);
    if (m_state[0] == 0 && m_state[1] == 0 && m_state[2] == 0 && m_state[3] == 0)
        m_state[0] = 1; // xoshiro must never stand on all zeros
}

float ClockRandom::rtcRandomNext() {
    // The top 24 bits fill a float's mantissa exactly: 0 <= r <= 1 - 2^-24, never 1.
    return static_cast<float>(next() >> 40) * 0x1.0p-24f;
}

std::uint64_t ClockRandom::next() {
    const std::uint64_t result = rotl(m_state[1] * 5, 7) * 9;
    const std::uint64_t t = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = rotl(m_state[3], 45);
    return result;
}

} // namespace sbk3
