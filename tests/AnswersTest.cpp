#include "print/Answers.h"

#include "store/WorksheetFile.h"

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

TEST(AnswersTest, EachOperatorsAnswerInTheFirstNumbersColumns) {
    const char* divide = "\xC3\xB7";
    const struct {
        Problem problem;
        const char* line;
    } cases[] = {
        {{7, 3, "+"}, " 10"}, // as the first number's line: a blank and Pad2
        {{0, 9, "+"}, "  9"},
        {{8, 2, "-"}, "  6"},
        {{6, 9, "x"}, " 54"},
        {{9, 9, "x"}, " 81"},
        {{56, 8, divide}, "  7"},
        {{0, 7, divide}, "  0"},
        // Hand-made files: negative, three-digit, beyond 16 bits, uneven divisions.
        {{3, 8, "-"}, "  -5"},
        {{-12, 3, "x"}, "  -36"},
        {{250, 750, "+"}, " 1000"},
        {{32767, 32767, "x"}, " 1073676289"},
        {{-32768, -1, divide}, " 32768"},
        {{7, 2, divide}, "  3 r1"},
        {{-7, 2, divide}, "  -3 r1"},
        // No answer for an operator that is none of the four, or a zero divisor.
        {{5, 3, "mod"}, ""},
        {{5, 3, "*"}, ""},
        {{5, 0, divide}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnswerLine(c.problem), c.line)
            << c.problem.first << " " << c.problem.op << " " << c.problem.second;
}

} // namespace
} // namespace sbk3
