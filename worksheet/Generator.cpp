#include "worksheet/Generator.h"

#include "common/ProblemType.h"
#include "store/WorksheetFile.h"
#include "worksheet/Random.h"

#include <array>
#include <cmath>
#include <utility>

namespace sbk3 {
namespace {

constexpr const char* kDivide = "\xC3\xB7"; // U+00F7
constexpr std::array<const char*, 4> kMixedOperators = {"+", "-", "x", kDivide};

// floor(scale * r + shift); in double, so r < 1 can never round up to the next whole number.
int scaled(float r, double scale, double shift = 0.0) {
    return static_cast<int>(std::floor(scale * static_cast<double>(r) + shift));
}

std::string subtraction(float r1, float r2) {
    int a = scaled(r1, 10);
    int b = scaled(r2, 10);
    if (a < b)
        std::swap(a, b);
    return problemLine(a, b, "-", true);
}

std::string division(float divisorDraw, float quotientDraw) {
    const int d = scaled(divisorDraw, 9, 1);
    const int q = scaled(quotientDraw, 9, 1);
    return problemLine(q * d, d, kDivide, true);
}

} // namespace

std::optional<std::string> MakeProblemLine(std::string_view typeName, RandomPort& random) {
    const auto twoDraws = [&random] {
        random.rtcRandomize();
        const float r1 = random.rtcRandomNext();
        const float r2 = random.rtcRandomNext();
        return std::pair{r1, r2};
    };
    const std::optional<ProblemType> type = ParseProblemType(typeName);
    if (!type)
        return std::nullopt;
    switch (*type) {
    case ProblemType::Addition:
    case ProblemType::Multiplication: {
        const auto [r1, r2] = twoDraws();
        return problemLine(scaled(r1, 10), scaled(r2, 10),
                           *type == ProblemType::Addition ? "+" : "x", true);
    }
    case ProblemType::Subtraction: {
        const auto [r1, r2] = twoDraws();
        return subtraction(r1, r2);
    }
    case ProblemType::Division: {
        const auto [r1, r2] = twoDraws();
        return division(r1, r2);
    }
    case ProblemType::Mixed: {
        random.rtcRandomize();
        const int i = scaled(random.rtcRandomNext(), 4);
        const auto [r2, r3] = twoDraws();
        switch (i) {
        case 1:
            return subtraction(r2, r3);
        case 3:
            return division(r2, r3);
        default: // "+" and "x" go bare and stay below 9
            return problemLine(scaled(r2, 9), scaled(r3, 9), kMixedOperators.at(i), false);
        }
    }
    }
    return std::nullopt;
}

void WriteProblem(std::string_view typeName, WorksheetAppender& file, RandomPort& random) {
    if (const std::optional<std::string> line = MakeProblemLine(typeName, random))
        file.writeLine(*line);
}

} // namespace sbk3
