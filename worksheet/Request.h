#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sbk3 {

// The number at the start of the count box's text, blanks anywhere ignored; 0 when the text
// does not begin with a number. "." is the separator in every locale.
double CountValue(std::string_view text);

// The message of the first check the request fails, or nothing when it passes.
std::optional<std::string> CheckRequest(double count, bool easy);

// The type's code (common/ProblemKinds.cpp: "ADD" for "Addition", ...); empty for a name that
// is no type's.
std::string TypeCode(std::string_view typeName);

// The count zero-filled to three digits; a non-whole count in its shortest form with the
// given decimal separator; nothing outside 0..300 and between 9..10 or 99..100.
std::string CountCode(double count, std::string_view decimalSeparator);

// A random part 0..999 as three digits.
std::string RandomPartText(int part);

// The title with its first "(N)" replaced by the worksheet number and every control character
// (line breaks, tabs) as a blank.
std::string StoredTitle(std::string_view title, std::string_view sheetCode);
// The title with its first "(N)" taken out, and the blanks and dashes that led to it:
// "Sums - (N)" is "Sums".
std::string TitleWithoutNumber(std::string_view title);

// The count rounded to the nearest whole number, halves to even.
std::int16_t NumberOfProblems(double count);

} // namespace sbk3
