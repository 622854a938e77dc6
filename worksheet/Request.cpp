#include "worksheet/Request.h"

#include "common/Capacity.h"
#include "common/Decimal.h"
#include "common/ProblemKinds.h"
#include "common/Text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sbk3 {

double CountValue(std::string_view text) {
    std::string compact;
    for (const char c : text)
        if (!isBlank(c) && c != '\n' && c != '\r')
            compact += c;
    return scanDecimal(compact).value_or(0.0);
}

std::optional<std::string> CheckRequest(double count, bool easy) {
    if (count < 1)
        return "You must have at least 1 math problem.";
    if (count > kEasyCapacity && easy)
        return "The number of problems can range from 1 to " + std::to_string(kEasyCapacity) +
               " in easy mode.";
    if (count > kMaxProblems)
        return "The number of problems can range from 1 to " + std::to_string(kMaxProblems) + ".";
    return std::nullopt;
}

std::string TypeCode(std::string_view typeName) {
    const ProblemTypeInfo* type = findProblemType(typeName);
    return type ? std::string(type->code) : std::string();
}

std::string CountCode(double count, std::string_view decimalSeparator) {
    if (!(count >= 0 && count <= kMaxProblems))
        return {};
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, count, std::chars_format::fixed);
    std::string text(buffer, result.ptr);
    if (const std::size_t dot = text.find('.'); dot != std::string::npos)
        text.replace(dot, 1, decimalSeparator);
    if (count <= 9)
        return "00" + text;
    if (count >= 10 && count <= 99)
        return "0" + text;
    if (count >= 100)
        return text;
    return {};
}

std::string RandomPartText(int part) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%03d", part);
    return buffer;
}

std::string StoredTitle(std::string_view title, std::string_view sheetCode) {
    std::string stored(title);
    // A pasted line break would split the header over two lines.
    controlsToBlanks(stored);
    if (const std::size_t at = stored.find("(N)"); at != std::string::npos)
        stored.replace(at, 3, sheetCode);
    return stored;
}

std::string TitleWithoutNumber(std::string_view title) {
    const std::size_t at = title.find("(N)");
    if (at == std::string_view::npos)
        return std::string(title);
    std::string before(title.substr(0, at));
    while (!before.empty() && (before.back() == ' ' || before.back() == '-'))
        before.pop_back();
    return before + std::string(title.substr(at + 3));
}

std::int16_t NumberOfProblems(double count) {
    return static_cast<std::int16_t>(std::nearbyint(count));
}

} // namespace sbk3
