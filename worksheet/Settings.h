#pragma once

#include "common/ProblemForms.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace sbk3 {

class RandomPort;

// Regrouping: carrying in addition, borrowing in subtraction, between the digit columns.
enum class Carrying { Any, Never, Always };
enum class Remainders { None, Allowed, Always };
// Which number a missing-number problem leaves blank; Any draws it for each problem.
enum class MissingBlank { First, Second, Answer, Any };

// The operations in the operator table's order.
enum Operation { Add, Subtract, Multiply, Divide, kOperations };

// The largest number a range box takes, and the largest second factor and divisor.
inline constexpr int kLargestNumber = 9999;
inline constexpr int kLargestSmallFactor = 99;

// What "New Worksheets with Settings..." makes problems by. Numbers up to 2 digits in the column
// form are stored and printed as Print/Save's are; anything more makes a laid-out worksheet.
struct ProblemSettings {
    // Operations: one gives that type's worksheet, more a Mixed one, mixed evenly.
    bool addition = true;
    bool subtraction = false;
    bool multiplication = false;
    bool division = false;
    // Addition: the first and the second number, and the sum.
    int firstMin = 0, firstMax = 9;
    int secondMin = 0, secondMax = 9;
    int sumMin = 0, sumMax = 2 * kLargestNumber;
    // Subtraction: its own first and second number, and the difference.
    int subFirstMin = 0, subFirstMax = 9;
    int subSecondMin = 0, subSecondMax = 9;
    int differenceMin = 0, differenceMax = kLargestNumber;
    Carrying carrying = Carrying::Any;
    // Decimal places (0 to 2) of the numbers of addition and subtraction, drawn between the
    // ranges' ends; and of multiplication's first factor, a decimal times a whole number.
    int places = 0;
    int factorPlaces = 0;
    // Multiplication: the first factor's range, times the second factor: one of the tables
    // chosen (the quick choice), or, without them, from its own range.
    std::array<bool, 13> tables{true, true, true, true,  true,  true, true,
                                true, true, true, false, false, false};
    bool useTables = true;
    int secondFactorMin = 0, secondFactorMax = 12;
    int factorMin = 0, factorMax = 9;
    // Division: the divisor, one of 1 to 12 chosen (entry 0 unused; the quick choice) or from
    // its own range; the quotient's and the dividend's ranges; remainders.
    std::array<bool, 13> divisors{false, true, true, true,  true,  true, true,
                                  true,  true, true, false, false, false};
    bool useDivisors = true;
    int divisorMin = 1, divisorMax = 12;
    int quotientMin = 1, quotientMax = 9;
    int dividendMin = 0, dividendMax = 99;
    Remainders remainders = Remainders::None;
    // How each operation's problems are set out, in the operator table's order.
    std::array<Form, kOperations> forms{Form::Column, Form::Column, Form::Column, Form::Column};
    MissingBlank blank = MissingBlank::Any;
    bool leaveOutZeroAndOne = false; // no operand, and no difference or quotient, of 0 or 1
    bool noRepeats = false;          // none twice until all are used, never the same twice in a row

    bool operator==(const ProblemSettings&) const = default;
};

// The settings that give what Print/Save gives for the window's type.
ProblemSettings SettingsForType(const std::string& typeName);

// The worksheet number's type code: one operation's, or MIX for more.
std::string SettingsTypeCode(const ProblemSettings& settings);

// True where the settings can draw what only a laid-out worksheet holds: a number of more than
// two digits, a decimal, a remainder, a form other than the column.
bool UsesLaidOutPage(const ProblemSettings& settings);

// Why the settings cannot be met, in a sentence; nothing when they can.
std::optional<std::string> CheckSettings(const ProblemSettings& settings);

// Where the division's quotient range was cut so that no dividend passes the dividend range: a
// sentence for the dialog, else empty.
std::string QuotientCutNote(const ProblemSettings& settings);

// How many different problems the settings allow; counted up to kCountedProblems for each
// operation, beyond which there are plenty.
inline constexpr std::size_t kCountedProblems = 5000;
std::size_t DifferentProblems(const ProblemSettings& settings);

// With "No repeated problems", where the settings allow fewer different problems than count
// asks for (of all, or of one operation's even share): a sentence saying so; else nothing.
std::optional<std::string> TooFewDifferentProblems(const ProblemSettings& settings, int count);

// count problems drawn by the settings (which CheckSettings passed), as file lines: a laid-out
// worksheet's where laidOut (by default, where UsesLaidOutPage), else Print/Save's.
std::vector<std::string> DrawProblemLines(const ProblemSettings& settings, int count,
                                          RandomPort& random,
                                          std::optional<bool> laidOut = std::nullopt);

// Regrouping between the digit columns of a + b, and of a - b (a >= b), for numbers of the same
// places given as whole units. A carry out of the leftmost column (of the longer number, or of
// the ones where a decimal has no whole digit) only adds a digit and is no regrouping; for two
// one-digit numbers the ones are the only column, so their carry is.
bool RegroupsAdding(long long a, long long b, int places = 0);
bool RegroupsSubtracting(long long a, long long b);

} // namespace sbk3
