#include "common/Text.h"

#include <algorithm>

namespace sbk3 {

std::string Qt(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return trimRight(text);
}

void controlsToBlanks(std::string& text) {
    for (char& c : text)
        if (isControl(c))
            c = ' ';
}

std::string Pad2(std::int16_t n) {
    std::string digits = std::to_string(n);
    return n >= 10 ? digits : " " + digits;
}

std::string namesOf(const std::vector<std::string>& numbers) {
    constexpr std::size_t kNamed = 10;
    std::string names;
    for (std::size_t k = 0; k < std::min(numbers.size(), kNamed); ++k)
        names.append(k == 0 ? "" : ", ").append(numbers[k]);
    if (numbers.size() > kNamed)
        names.append(" and ").append(std::to_string(numbers.size() - kNamed)).append(" more");
    return names;
}

} // namespace sbk3
