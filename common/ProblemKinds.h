#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace sbk3 {

class RandomPort;

// The kinds of problems, in one place: the problem types (what the drop-down offers, the
// worksheet number's code, the rule a problem is drawn by) and the operators (the text stored
// and printed, how the answer is worked out). The generator, the answer key, the page warm-up,
// the number's check and the drop-down all read these two tables; a new kind is a row here and
// its rule in ProblemKinds.cpp.

// A problem's answer: the quotient's remainder is 0 but for an uneven hand-made division.
struct Answer {
    long long value = 0;
    long long remainder = 0;
};

struct OperatorInfo {
    // UTF-8, as the page prints it and the file stores it: a Windows-1252 file holds the
    // division sign U+00F7 as its one byte F7, a UTF-8 file as C3 B7.
    std::string_view text;
    // The answer to first op second; nothing where there is none (a division by zero).
    std::optional<Answer> (*answer)(long long first, long long second);
};

// The operators, the order of Mixed's draw.
std::span<const OperatorInfo> operators();
// The operator stored as text; nothing for any other text (a hand-made file's "mod").
const OperatorInfo* findOperator(std::string_view text);

// A problem as its rule draws it, before it is stored.
struct DrawnProblem {
    int first = 0;
    int second = 0;
    const OperatorInfo* op = nullptr;
    bool quoted = true; // the operator stored between double quotes
};

// The drop-down's items, in its order; the table in ProblemKinds.cpp follows this order.
enum class ProblemType { Addition, Subtraction, Multiplication, Division, Mixed };

struct ProblemTypeInfo {
    ProblemType type;
    std::string_view name; // as the drop-down shows it; compared exactly, letter case included
    std::string_view code; // the worksheet number's first three letters
    DrawnProblem (*rule)(RandomPort& random);
};

std::span<const ProblemTypeInfo> problemTypes();
// The type a drop-down text names; nothing for any other text.
const ProblemTypeInfo* findProblemType(std::string_view name);
// True for a worksheet number's type code.
bool IsTypeCode(std::string_view code);

} // namespace sbk3
