#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace sbk3 {

// The five problem types: the drop-down's items, in its order, and the worksheet number's type
// code. Names compare exactly, letter case included.
enum class ProblemType { Addition, Subtraction, Multiplication, Division, Mixed };

struct ProblemTypeInfo {
    ProblemType type;
    std::string_view name; // as the drop-down shows it
    std::string_view code; // the worksheet number's first three letters
};

inline constexpr std::array<ProblemTypeInfo, 5> kProblemTypes = {{
    {ProblemType::Addition, "Addition", "ADD"},
    {ProblemType::Subtraction, "Subtraction", "SUB"},
    {ProblemType::Multiplication, "Multiplication", "MUL"},
    {ProblemType::Division, "Division", "DIV"},
    {ProblemType::Mixed, "Mixed", "MIX"},
}};

// The type a drop-down text names; nothing for any other text.
constexpr std::optional<ProblemType> ParseProblemType(std::string_view name) {
    for (const ProblemTypeInfo& info : kProblemTypes)
        if (info.name == name)
            return info.type;
    return std::nullopt;
}

// True for a worksheet number's type code.
constexpr bool IsTypeCode(std::string_view code) {
    for (const ProblemTypeInfo& info : kProblemTypes)
        if (info.code == code)
            return true;
    return false;
}

} // namespace sbk3
