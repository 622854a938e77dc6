#include "common/ProblemForms.h"

#include "common/ProblemKinds.h"
#include "common/Text.h"

#include <algorithm>
#include <array>

namespace sbk3 {
namespace {

long long powerOfTen(int places) {
    long long power = 1;
    for (int k = 0; k < places; ++k)
        power *= 10;
    return power;
}

const OperatorInfo& plus() {
    return operators()[0];
}
const OperatorInfo& minus() {
    return operators()[1];
}
const OperatorInfo& times() {
    return operators()[2];
}
const OperatorInfo& divide() {
    return operators()[3];
}

bool anyOperation(const OperatorInfo&) {
    return true;
}
bool divisionOnly(const OperatorInfo& op) {
    return &op == &divide();
}

std::string blanks(std::size_t count) {
    return std::string(count, ' ');
}

std::string padLeft(const std::string& text, std::size_t width) {
    const std::size_t have = characterCount(text);
    return have >= width ? text : blanks(width - have) + text;
}

std::string remainderText(const SheetAnswer& answer) {
    return answer.remainder != 0 ? " r " + std::to_string(answer.remainder) : std::string();
}

// A number of a column sum or difference, its decimal point at the same place as the others':
// fraction places wide after the point, blanks where it has fewer.
std::string pointAligned(const Number& number, int fraction, std::string_view separator) {
    std::string text = numberText(number, separator);
    if (fraction > 0 && number.places == 0)
        text += blanks(static_cast<std::size_t>(fraction) + 1);
    else if (number.places < fraction)
        text += blanks(static_cast<std::size_t>(fraction - number.places));
    return text;
}

// The column form: the first number over the operator and the second, the answer rule under
// them as wide as the widest line, the answer under the rule on the key, its digits under the
// digits of their column; a remainder follows to the right.
std::vector<PictureLine> drawColumn(const SheetProblem& p, const SheetAnswer& answer, bool key,
                                    std::string_view separator) {
    // Sums and differences line up their decimal points; a product's digits line up at the
    // right, as a decimal times a whole number is set out.
    const bool byPoint = p.op == &plus() || p.op == &minus();
    const int fraction =
        byPoint ? std::max({p.first.places, p.second.places, answer.value.places}) : 0;
    const auto text = [&](const Number& n) {
        return byPoint ? pointAligned(n, fraction, separator) : numberText(n, separator);
    };
    const std::string first = text(p.first);
    const std::string second = text(p.second);
    const std::string result = text(answer.value);
    const std::size_t width = std::max(
        {characterCount(first) + 2, characterCount(second) + 2, characterCount(result) + 1});
    std::vector<PictureLine> lines;
    lines.push_back({padLeft(first, width), false});
    lines.push_back({std::string(p.op->text) + padLeft(second, width - 1), true});
    lines.push_back({key ? padLeft(result, width) + remainderText(answer) : std::string(), false});
    return lines;
}

// The blank a child writes in: as wide as what goes there, at least four.
std::string writingBlank(const std::string& filled) {
    return std::string(std::max<std::size_t>(4, characterCount(filled)), '_');
}

// "7 + 5 = 12" with one of its three numbers blank, or filled in on the key.
std::vector<PictureLine> sentenceWithBlank(const SheetProblem& p, const SheetAnswer& answer,
                                           bool key, std::string_view separator, Blank blank) {
    std::array<std::string, 3> parts = {
        numberText(p.first, separator), numberText(p.second, separator),
        numberText(answer.value, separator) + remainderText(answer)};
    const auto at = static_cast<std::size_t>(blank == Blank::First    ? 0
                                             : blank == Blank::Second ? 1
                                                                      : 2);
    if (!key)
        parts.at(at) = writingBlank(parts.at(at));
    return {{parts[0] + " " + std::string(p.op->text) + " " + parts[1] + " = " + parts[2], false}};
}

std::vector<PictureLine> drawSentence(const SheetProblem& p, const SheetAnswer& answer, bool key,
                                      std::string_view separator) {
    return sentenceWithBlank(p, answer, key, separator, Blank::Answer);
}

std::vector<PictureLine> drawMissing(const SheetProblem& p, const SheetAnswer& answer, bool key,
                                     std::string_view separator) {
    return sentenceWithBlank(p, answer, key, separator,
                             p.blank == Blank::None ? Blank::Answer : p.blank);
}

// The bracket: the divisor on the left, the dividend under the bar, the quotient over the bar
// on the key with its last digit over the dividend's, and room below for the working.
std::vector<PictureLine> drawLongDivision(const SheetProblem& p, const SheetAnswer& answer,
                                          bool key, std::string_view separator) {
    const std::string divisor = numberText(p.second, separator);
    const std::string dividend = numberText(p.first, separator);
    const std::size_t left = characterCount(divisor);
    const std::size_t digits = characterCount(dividend);
    std::vector<PictureLine> lines;
    lines.push_back({key ? blanks(left + 1) + padLeft(numberText(answer.value, separator), digits) +
                               remainderText(answer)
                         : std::string(),
                     false});
    lines.push_back({blanks(left) + std::string(digits + 1, '_'), false});
    lines.push_back({divisor + ")" + dividend, false});
    // Two lines of working for each digit of the dividend.
    for (std::size_t k = 0; k < 2 * digits; ++k)
        lines.push_back({});
    return lines;
}

constexpr std::array<FormInfo, 4> kForms = {{
    {Form::Column, "column", "Column", anyOperation, "r", drawColumn},
    {Form::Sentence, "sentence", "Number sentence", anyOperation, "=_r", drawSentence},
    {Form::Missing, "missing", "Missing number", anyOperation, "=_r", drawMissing},
    {Form::LongDivision, "long", "Long division", divisionOnly, "_)r", drawLongDivision},
}};

constexpr std::array<std::string_view, 4> kBlankCodes = {"", "first", "second", "answer"};

} // namespace

std::optional<Number> parseNumber(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const bool digitsOnly = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return isDigit(c); });
    }(whole) && std::all_of(fraction.begin(), fraction.end(), [](char c) { return isDigit(c); });
    if (whole.empty() || whole.size() > 4 || !digitsOnly ||
        (point != std::string_view::npos && (fraction.empty() || fraction.size() > kMaxPlaces)))
        return std::nullopt;
    Number number{0, static_cast<int>(fraction.size())};
    for (const char c : whole)
        number.units = number.units * 10 + (c - '0');
    for (const char c : fraction)
        number.units = number.units * 10 + (c - '0');
    return number;
}

std::string numberText(const Number& number, std::string_view separator) {
    const long long size = number.units < 0 ? -number.units : number.units;
    const long long power = powerOfTen(number.places);
    std::string text = number.units < 0 ? "-" : "";
    text += std::to_string(size / power);
    if (number.places > 0) {
        const std::string fraction = std::to_string(size % power);
        text += separator;
        text += std::string(static_cast<std::size_t>(number.places) - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

std::optional<SheetAnswer> answerOf(const SheetProblem& p) {
    if (!p.op || !p.op->answer)
        return std::nullopt;
    if (p.op == &divide()) {
        if (p.first.places != 0 || p.second.places != 0)
            return std::nullopt;
        const std::optional<Answer> whole = p.op->answer(p.first.units, p.second.units);
        if (!whole)
            return std::nullopt;
        return SheetAnswer{{whole->value, 0}, whole->remainder};
    }
    if (p.op == &times()) {
        const std::optional<Answer> product = p.op->answer(p.first.units, p.second.units);
        return SheetAnswer{{product->value, p.first.places + p.second.places}, 0};
    }
    // A sum or a difference: both numbers at the places of the one with more.
    const int places = std::max(p.first.places, p.second.places);
    const std::optional<Answer> result =
        p.op->answer(p.first.units * powerOfTen(places - p.first.places),
                     p.second.units * powerOfTen(places - p.second.places));
    return SheetAnswer{{result->value, places}, 0};
}

std::span<const FormInfo> forms() {
    return kForms;
}

const FormInfo& formInfo(Form form) {
    return kForms.at(static_cast<std::size_t>(form));
}

const FormInfo* findForm(std::string_view code) {
    for (const FormInfo& info : kForms)
        if (info.code == code)
            return &info;
    return nullptr;
}

std::string_view blankCode(Blank blank) {
    return kBlankCodes.at(static_cast<std::size_t>(blank));
}

std::optional<Blank> findBlank(std::string_view code) {
    for (std::size_t k = 0; k < kBlankCodes.size(); ++k)
        if (kBlankCodes.at(k) == code)
            return static_cast<Blank>(k);
    return std::nullopt;
}

std::vector<PictureLine> drawProblem(const SheetProblem& problem, bool key,
                                     std::string_view separator) {
    const std::optional<SheetAnswer> answer = answerOf(problem);
    if (!answer)
        return {};
    return formInfo(problem.form).draw(problem, *answer, key, separator);
}

std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string pictureCharacters() {
    std::string characters = " 0123456789-.,";
    for (const OperatorInfo& op : operators())
        characters += op.text;
    for (const FormInfo& form : kForms)
        characters += form.characters;
    return characters;
}

std::optional<std::string> unprintable(const SheetProblem& p) {
    if (!p.op)
        return "it has no known operator";
    if (!formInfo(p.form).serves(*p.op))
        return "the form \"" + std::string(formInfo(p.form).name) + "\" does not serve " +
               std::string(p.op->text);
    if (p.op == &divide() && (p.first.places != 0 || p.second.places != 0))
        return "a division must be of whole numbers";
    if (!answerOf(p))
        return "it divides by zero";
    if (p.form != Form::Missing && p.blank != Blank::None)
        return "only a missing-number problem has a blank";
    return std::nullopt;
}

} // namespace sbk3
