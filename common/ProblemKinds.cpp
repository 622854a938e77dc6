#include "common/ProblemKinds.h"

#include "common/RandomPort.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace sbk3 {
namespace {

constexpr std::array<OperatorInfo, 4> kOperators = {{
    {"+", [](long long a, long long b) -> std::optional<Answer> { return Answer{a + b}; }},
    {"-", [](long long a, long long b) -> std::optional<Answer> { return Answer{a - b}; }},
    {"x", [](long long a, long long b) -> std::optional<Answer> { return Answer{a * b}; }},
    {"\xC3\xB7", // U+00F7
     [](long long a, long long b) -> std::optional<Answer> {
         if (b == 0)
             return std::nullopt;
         const long long remainder = a % b;
         return Answer{a / b, remainder < 0 ? -remainder : remainder};
     }},
}};
const OperatorInfo& kPlus = kOperators[0];
const OperatorInfo& kMinus = kOperators[1];
const OperatorInfo& kTimes = kOperators[2];
const OperatorInfo& kDivide = kOperators[3];

// floor(scale * r + shift); in double, so r < 1 can never round up to the next whole number.
int scaled(float r, double scale, double shift = 0.0) {
    return static_cast<int>(std::floor(scale * static_cast<double>(r) + shift));
}

// A new seed, then two draws: the numbers of one problem.
std::pair<float, float> twoDraws(RandomPort& random) {
    random.rtcRandomize();
    const float r1 = random.rtcRandomNext();
    const float r2 = random.rtcRandomNext();
    return {r1, r2};
}

// Two digits 0..9 with the operator between them.
DrawnProblem digits(RandomPort& random, const OperatorInfo& op) {
    const auto [r1, r2] = twoDraws(random);
    return {scaled(r1, 10), scaled(r2, 10), &op};
}

// The larger digit first, so the difference is never below zero.
DrawnProblem subtraction(float r1, float r2) {
    int a = scaled(r1, 10);
    int b = scaled(r2, 10);
    if (a < b)
        std::swap(a, b);
    return {a, b, &kMinus};
}

// Divisor and quotient 1..9: the division is always exact.
DrawnProblem division(float divisorDraw, float quotientDraw) {
    const int d = scaled(divisorDraw, 9, 1);
    const int q = scaled(quotientDraw, 9, 1);
    return {q * d, d, &kDivide};
}

DrawnProblem addition(RandomPort& random) {
    return digits(random, kPlus);
}

DrawnProblem multiplication(RandomPort& random) {
    return digits(random, kTimes);
}

DrawnProblem subtractionDrawn(RandomPort& random) {
    const auto [r1, r2] = twoDraws(random);
    return subtraction(r1, r2);
}

DrawnProblem divisionDrawn(RandomPort& random) {
    const auto [r1, r2] = twoDraws(random);
    return division(r1, r2);
}

// One of the four operators, then its problem; "+" and "x" go bare and stay below 9.
DrawnProblem mixed(RandomPort& random) {
    random.rtcRandomize();
    const int i = scaled(random.rtcRandomNext(), 4);
    const auto [r2, r3] = twoDraws(random);
    const OperatorInfo& op = kOperators.at(static_cast<std::size_t>(i));
    if (&op == &kMinus)
        return subtraction(r2, r3);
    if (&op == &kDivide)
        return division(r2, r3);
    return {scaled(r2, 9), scaled(r3, 9), &op, false};
}

constexpr std::array<ProblemTypeInfo, 5> kProblemTypes = {{
    {ProblemType::Addition, "Addition", "ADD", addition},
    {ProblemType::Subtraction, "Subtraction", "SUB", subtractionDrawn},
    {ProblemType::Multiplication, "Multiplication", "MUL", multiplication},
    {ProblemType::Division, "Division", "DIV", divisionDrawn},
    {ProblemType::Mixed, "Mixed", "MIX", mixed},
}};

constexpr bool inEnumOrder() {
    for (std::size_t i = 0; i < kProblemTypes.size(); ++i)
        if (kProblemTypes[i].type != static_cast<ProblemType>(i))
            return false;
    return true;
}
static_assert(inEnumOrder(), "the table follows the enum's order");

} // namespace

std::span<const OperatorInfo> operators() {
    return kOperators;
}

const OperatorInfo* findOperator(std::string_view text) {
    for (const OperatorInfo& op : kOperators)
        if (op.text == text)
            return &op;
    return nullptr;
}

std::span<const ProblemTypeInfo> problemTypes() {
    return kProblemTypes;
}

const ProblemTypeInfo* findProblemType(std::string_view name) {
    for (const ProblemTypeInfo& info : kProblemTypes)
        if (info.name == name)
            return &info;
    return nullptr;
}

bool IsTypeCode(std::string_view code) {
    for (const ProblemTypeInfo& info : kProblemTypes)
        if (info.code == code)
            return true;
    return false;
}

} // namespace sbk3
