#pragma once

namespace sbk3 {

// How many problems a worksheet holds: the Compact Test layout's 300 slots, of which the Easy
// Reading layout uses the first 80.
inline constexpr int kMaxProblems = 300;
inline constexpr int kEasyCapacity = 80;

} // namespace sbk3
