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

std::string Pad2(std::int16_t n) {
    std::string digits = std::to_string(n);
    return n >= 10 ? digits : " " + digits;
}

} // namespace sbk3
