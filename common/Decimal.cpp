#include "common/Decimal.h"

#include "common/Text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace sbk3 {
namespace {

std::size_t digitsFrom(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return pos;
}

} // namespace

std::optional<double> scanDecimal(std::string_view text, std::size_t* used) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t mantissaStart = pos;
    pos = digitsFrom(text, pos);
    std::size_t digits = pos - mantissaStart;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionEnd = digitsFrom(text, pos + 1);
        digits += fractionEnd - pos - 1;
        pos = fractionEnd;
    }
    if (digits == 0)
        return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        const std::size_t exponentEnd = digitsFrom(text, exponent);
        if (exponentEnd > exponent)
            pos = exponentEnd;
    }

    // from_chars takes no leading '+', and reads "." and the exponent the same in every locale.
    std::string number(text.substr(mantissaStart, pos - mantissaStart));
    if (number.front() == '.')
        number.insert(number.begin(), '0');
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: keep the side it lies on.
        const std::size_t e = number.find_first_of("eE");
        const bool tiny = e != std::string::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc{} || end != number.data() + number.size()) {
        return std::nullopt;
    }
    if (used)
        *used = pos;
    return negative ? -value : value;
}

} // namespace sbk3
