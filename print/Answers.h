#pragma once

#include <string>

namespace sbk3 {

struct Problem;

// The answer line of a problem for the answer key, right-aligned in the problem's three
// columns like its first number: the sum, difference, product or quotient (with its remainder,
// "4 r1", where a hand-made file divides unevenly). Empty for an operator that is none of the
// four and for a division by zero.
std::string AnswerLine(const Problem& problem);

} // namespace sbk3
