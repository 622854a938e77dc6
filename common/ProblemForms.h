#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sbk3 {

struct OperatorInfo;

// A number of a laid-out worksheet: whole, or with one or two decimal places. Its value is
// units / 10^places, so 3.50 is {350, 2}.
struct Number {
    long long units = 0;
    int places = 0;

    bool operator==(const Number&) const = default;
};

inline constexpr int kMaxPlaces = 2;
// The largest whole part of a number a worksheet file may hold.
inline constexpr long long kLargestStored = 9999;

// A stored number: digits, and "." with one or two more; nothing for any other text or for a
// value above kLargestStored.
std::optional<Number> parseNumber(std::string_view text);
// The number with its places, the separator between; a minus sign before a negative one.
std::string numberText(const Number& number, std::string_view separator = ".");

// How a problem is set out on the page.
enum class Form { Column, Sentence, Missing, LongDivision };
// Which number a missing-number problem leaves blank.
enum class Blank { None, First, Second, Answer };

struct SheetProblem {
    Number first;
    Number second;
    const OperatorInfo* op = nullptr;
    Form form = Form::Column;
    Blank blank = Blank::None;

    bool operator==(const SheetProblem&) const = default;
};

struct SheetAnswer {
    Number value;
    long long remainder = 0;
};

// The answer: exact for sums, differences and products of decimals; the quotient and its
// remainder for a division of whole numbers. Nothing for a division by zero or of a decimal.
std::optional<SheetAnswer> answerOf(const SheetProblem& problem);

// One line of a problem's picture: characters of one width each, the answer rule as an
// underline.
struct PictureLine {
    std::string text;
    bool underline = false;

    bool operator==(const PictureLine&) const = default;
};

// Everything about one form: its name in the file and in the dialog, the operations it serves,
// the characters its pictures use beside digits, blanks, the decimal separator and the
// operators, and how a problem is drawn, on the sheet and on its key.
struct FormInfo {
    Form form;
    std::string_view code; // as the file stores it
    std::string_view name; // as the dialog offers it
    bool (*serves)(const OperatorInfo& op);
    std::string_view characters;
    std::vector<PictureLine> (*draw)(const SheetProblem& problem, const SheetAnswer& answer,
                                     bool key, std::string_view separator);
};

std::span<const FormInfo> forms();
const FormInfo& formInfo(Form form);
// The form stored under code; nothing for any other text.
const FormInfo* findForm(std::string_view code);

// The blank's name in the file: "first", "second", "answer"; empty for None.
std::string_view blankCode(Blank blank);
std::optional<Blank> findBlank(std::string_view code);

// The problem's picture, each line padded to the picture's width.
std::vector<PictureLine> drawProblem(const SheetProblem& problem, bool key,
                                     std::string_view separator);

// Characters counted as the page counts them: a multi-byte UTF-8 character is one.
std::size_t characterCount(std::string_view utf8);

// Every character a problem's picture may hold (UTF-8), whatever its form and operator, with
// both decimal separators.
std::string pictureCharacters();

// Why a problem cannot be printed as stored, in a sentence; nothing when it can.
std::optional<std::string> unprintable(const SheetProblem& problem);

} // namespace sbk3
