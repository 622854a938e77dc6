#include "print/Answers.h"

#include "common/ProblemKinds.h"
#include "store/WorksheetFile.h"
#include "support/ScriptedRandom.h"

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

// Every operator a rule can draw has its answer on the key, and every type's rule draws one of
// the table's operators: a new kind cannot go without its answers.
TEST(AnswersTest, EveryKindOfProblemHasItsAnswer) {
    for (const OperatorInfo& op : operators())
        EXPECT_FALSE(AnswerLine({6, 3, std::string(op.text)}).empty()) << op.text;
    test::ScriptedRandom random{{0.1f, 0.3f, 0.6f, 0.9f, 0.45f}};
    for (const ProblemTypeInfo& type : problemTypes())
        for (int k = 0; k < 20; ++k) {
            const DrawnProblem drawn = type.rule(random);
            ASSERT_NE(findOperator(drawn.op->text), nullptr) << type.name;
            const Problem problem{static_cast<std::int16_t>(drawn.first),
                                  static_cast<std::int16_t>(drawn.second),
                                  std::string(drawn.op->text)};
            EXPECT_FALSE(AnswerLine(problem).empty()) << type.name;
        }
}

} // namespace
} // namespace sbk3
