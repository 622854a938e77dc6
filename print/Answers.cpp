#include "print/Answers.h"

#include "common/ProblemKinds.h"
#include "common/Text.h"
#include "store/WorksheetFile.h"

#include <cstdint>
#include <limits>

namespace sbk3 {
namespace {

// Right-aligned in the problem's three columns like the first number's line (a blank and Pad2):
// 198 fills all three. Anything wider, from a hand-made file, keeps the blank and runs on.
std::string aligned(long long value) {
    if (value >= 100 && value <= 999)
        return std::to_string(value);
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
    const OperatorInfo* op = findOperator(problem.op);
    if (!op)
        return {};
    const std::optional<Answer> answer = op->answer(problem.first, problem.second);
    if (!answer)
        return {};
    std::string line = aligned(answer->value);
    if (answer->remainder != 0)
        line += " r" + std::to_string(answer->remainder);
    return line;
}

} // namespace sbk3
