#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sbk3 {

// The text between double quotes; nothing inside is escaped.
std::string Qt(std::string_view text);

// Decimal digits of n with one leading blank when n is below 10, so 0..99 take two characters.
std::string Pad2(std::int16_t n);

} // namespace sbk3
