#include "print/Answers.h"

#include "common/Text.h"
#include "store/WorksheetFile.h"

#include <cstdint>
#include <limits>

namespace sbk3 {
namespace {

// Like the first number's line: a blank and Pad2, which holds any value a worksheet can.
std::string aligned(long long value) {
    std::string line(1, ' ');
    if (value >= std::numeric_limits<std::int16_t>::min() &&
        value <= std::numeric_limits<std::int16_t>::max())
        line += Pad2(static_cast<std::int16_t>(value));
    else
        line += std::to_string(value);
    return line;
}

} // namespace

std::string AnswerLine(const Problem& problem) {
    const long long a = problem.first;
    const long long b = problem.second;
    if (problem.op == "+")
        return aligned(a + b);
    if (problem.op == "-")
        return aligned(a - b);
    if (problem.op == "x")
        return aligned(a * b);
    if (problem.op == "\xC3\xB7") {
        if (b == 0)
            return {};
        const long long remainder = a % b;
        std::string line = aligned(a / b);
        if (remainder != 0)
            line += " r" + std::to_string(remainder < 0 ? -remainder : remainder);
        return line;
    }
    return {};
}

} // namespace sbk3
