#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace sbk3 {

// Reads the decimal number at the start of text: optional sign, digits, optional "." and
// fraction, optional exponent. The separator is "." whatever the locale. Returns nothing when
// text does not begin with a number; *used receives how many characters were taken.
// Values beyond double's range come back as +/- infinity.
std::optional<double> scanDecimal(std::string_view text, std::size_t* used = nullptr);

} // namespace sbk3
