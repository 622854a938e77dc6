#include "common/Text.h"

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

} // namespace sbk3
