#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace sbk3 {

class RandomPort;
struct DrawnProblem;

enum class Carrying { Any, Never, Always };

// What "New Worksheets with Settings..." makes problems by. Every number on a page stays at most
// 99: the problem picture holds two digits beside the operator.
struct ProblemSettings {
    // Operations: one gives that type's worksheet, more a Mixed one, mixed evenly.
    bool addition = true;
    bool subtraction = false;
    bool multiplication = false;
    bool division = false;
    // Addition and subtraction: the first and the second number, each 0 to 99.
    int firstMin = 0, firstMax = 9;
    int secondMin = 0, secondMax = 9;
    Carrying carrying = Carrying::Any; // carrying in addition, borrowing in subtraction
    // Multiplication: the tables 0 to 12 and the other factor's range (0 to 12).
    std::array<bool, 13> tables{true, true, true, true,  true,  true, true,
                                true, true, true, false, false, false};
    int factorMin = 0, factorMax = 9;
    // Division: the divisors 1 to 12 (entry 0 unused) and the quotient's range (0 to 12);
    // always exact.
    std::array<bool, 13> divisors{false, true, true, true,  true,  true, true,
                                  true,  true, true, false, false, false};
    int quotientMin = 1, quotientMax = 9;
    bool leaveOutZeroAndOne = false; // no operand, and no difference or quotient, of 0 or 1
    bool noRepeats = false;          // none twice until all are used, never the same twice in a row

    bool operator==(const ProblemSettings&) const = default;
};

// The settings that give what Print/Save gives for the window's type.
ProblemSettings SettingsForType(const std::string& typeName);

// The worksheet number's type code: one operation's, or MIX for more.
std::string SettingsTypeCode(const ProblemSettings& settings);

// Why the settings cannot be met, in a sentence; nothing when they can.
std::optional<std::string> CheckSettings(const ProblemSettings& settings);

// Where the division's quotient range was cut so that no dividend passes 99: a sentence for the
// dialog, else empty.
std::string QuotientCutNote(const ProblemSettings& settings);

// How many different problems the settings allow.
std::size_t DifferentProblems(const ProblemSettings& settings);

// With "No repeated problems", where the settings allow fewer different problems than count
// asks for (of all, or of one operation's even share): a sentence saying so; else nothing.
std::optional<std::string> TooFewDifferentProblems(const ProblemSettings& settings, int count);

// count problems drawn by the settings (which CheckSettings passed), as file lines.
std::vector<std::string> DrawProblemLines(const ProblemSettings& settings, int count,
                                          RandomPort& random);

} // namespace sbk3
