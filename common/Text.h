#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sbk3 {

// The text between double quotes; nothing inside is escaped.
std::string Qt(std::string_view text);

// Decimal digits of n with one leading blank when n is below 10, so 0..99 take two characters.
std::string Pad2(std::int16_t n);

// The small character tests the readers share. ASCII only: no locale decides them.
constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
constexpr bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}

// Without blanks at the end, or at both ends.
std::string_view trimRight(std::string_view text);
std::string_view trimmed(std::string_view text);

// Line breaks, tabs and every other control character as blanks, so that a title stays one
// line.
void controlsToBlanks(std::string& text);

// "ADD030238, MIX020111, SUB010555": worksheet numbers in a sentence, the first ten and how many
// more.
std::string namesOf(const std::vector<std::string>& numbers);

} // namespace sbk3
