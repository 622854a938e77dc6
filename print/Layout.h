#pragma once

#include "common/Capacity.h"

#include <array>

namespace sbk3 {

// Top-left corner of a problem's picture, in printer character units.
struct Position {
    float X = 0.0f;
    float Y = 0.0f;

    bool operator==(const Position&) const = default;
};

// Slot positions, indexed 1 to kMaxProblems.
class PositionTable {
public:
    static constexpr int kSize = kMaxProblems;

    Position& operator()(int k) { return m_entries.at(static_cast<std::size_t>(k - 1)); }
    const Position& operator()(int k) const {
        return m_entries.at(static_cast<std::size_t>(k - 1));
    }

private:
    std::array<Position, kSize> m_entries{};
};

// "Compact Test": 15 rows of 20, all 300 entries.
void LayoutCompact(PositionTable& ProblemPos);
// "Easy Reading": 8 rows of 10 in entries 1 to 80; the rest keep what they hold.
void LayoutEasy(PositionTable& ProblemPos);

} // namespace sbk3
