#include "worksheet/Preset.h"

#include "common/FileExists.h"
#include "common/NativeFile.h"
#include "common/ProblemForms.h"
#include "common/RuntimeError.h"
#include "common/Text.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <sstream>
#include <vector>

namespace sbk3 {
namespace {

// The settings kept as a pair of numbers, each with its two members.
struct RangeField {
    std::string_view key;
    int ProblemSettings::*low;
    int ProblemSettings::*high;
};
constexpr std::array<RangeField, 11> kRanges = {{
    {"first", &ProblemSettings::firstMin, &ProblemSettings::firstMax},
    {"second", &ProblemSettings::secondMin, &ProblemSettings::secondMax},
    {"sum", &ProblemSettings::sumMin, &ProblemSettings::sumMax},
    {"take from", &ProblemSettings::subFirstMin, &ProblemSettings::subFirstMax},
    {"take away", &ProblemSettings::subSecondMin, &ProblemSettings::subSecondMax},
    {"difference", &ProblemSettings::differenceMin, &ProblemSettings::differenceMax},
    {"first factor", &ProblemSettings::factorMin, &ProblemSettings::factorMax},
    {"second factor", &ProblemSettings::secondFactorMin, &ProblemSettings::secondFactorMax},
    {"divisor", &ProblemSettings::divisorMin, &ProblemSettings::divisorMax},
    {"quotient", &ProblemSettings::quotientMin, &ProblemSettings::quotientMax},
    {"dividend", &ProblemSettings::dividendMin, &ProblemSettings::dividendMax},
}};

// The settings kept as one number: of the problems, or of the set.
struct NumberField {
    std::string_view key;
    int ProblemSettings::*problems; // or
    int ClassSetRequest::*set;
};
constexpr std::array<NumberField, 5> kNumbers = {{
    {"decimal places", &ProblemSettings::places, nullptr},
    {"first factor places", &ProblemSettings::factorPlaces, nullptr},
    {"problems", nullptr, &ClassSetRequest::problems},
    {"versions", nullptr, &ClassSetRequest::versions},
    {"copies", nullptr, &ClassSetRequest::copies},
}};

struct FlagField {
    std::string_view key;
    bool ProblemSettings::*problems; // or
    bool PageLook::*page;
};
constexpr std::array<FlagField, 7> kFlags = {{
    {"tables chosen", &ProblemSettings::useTables, nullptr},
    {"divisors chosen", &ProblemSettings::useDivisors, nullptr},
    {"leave out 0 and 1", &ProblemSettings::leaveOutZeroAndOne, nullptr},
    {"no repeats", &ProblemSettings::noRepeats, nullptr},
    {"spread", nullptr, &PageLook::spread},
    {"numbers", nullptr, &PageLook::numbers},
    {"header", nullptr, &PageLook::header},
}};

// A choice of a few words, kept as the word of the choice's index.
template <std::size_t N> using Words = std::array<std::string_view, N>;
constexpr Words<4> kOperationWords = {"addition", "subtraction", "multiplication", "division"};
constexpr Words<3> kCarryingWords = {"any", "never", "always"};
constexpr Words<3> kRemainderWords = {"none", "allowed", "always"};
constexpr Words<4> kBlankWords = {"first", "second", "answer", "any"};
constexpr Words<3> kKeyWords = {"none", "after each", "at the end"};
constexpr Words<3> kSizeWords = {"normal", "large", "extra large"};
constexpr Words<2> kPlaceWords = {"title", "corner"};
constexpr Words<2> kLayoutWords = {"easy", "compact"};

// A text kept on its line: control characters as blanks, so it stays one line.
std::string oneLine(std::string text) {
    controlsToBlanks(text);
    return text;
}

bool* operationFlag(ProblemSettings& s, std::size_t k) {
    std::array<bool*, 4> flags = {&s.addition, &s.subtraction, &s.multiplication, &s.division};
    return flags.at(k);
}
bool operationChosen(const ProblemSettings& s, std::size_t k) {
    return std::array<bool, 4>{s.addition, s.subtraction, s.multiplication, s.division}.at(k);
}

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at)
            words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

template <std::size_t N>
std::optional<std::size_t> wordIndex(const Words<N>& words, std::string_view word) {
    for (std::size_t k = 0; k < N; ++k)
        if (words[k] == word)
            return k;
    return std::nullopt;
}

class Reader {
public:
    explicit Reader(ClassSetRequest& r) : m_r(r) {}

    // Takes one "key = value"; false where the key is none or its value does not read.
    bool take(std::string_view key, std::string_view value) {
        ProblemSettings& s = m_r.settings;
        for (const RangeField& f : kRanges)
            if (f.key == key)
                return pair(value, s.*f.low, s.*f.high);
        for (const NumberField& f : kNumbers)
            if (f.key == key)
                return number(value, f.problems ? s.*f.problems : m_r.*f.set);
        for (const FlagField& f : kFlags)
            if (f.key == key)
                return flag(value, f.problems ? s.*f.problems : m_r.look.*f.page);
        return lists(key, value) || choices(key, value) || texts(key, value);
    }

private:
    bool pair(std::string_view value, int& low, int& high) {
        const std::vector<std::string_view> words = wordsOf(value);
        if (words.size() != 2)
            return false;
        const std::optional<int> a = wholeNumber(words[0]), b = wholeNumber(words[1]);
        if (!a || !b)
            return false;
        low = *a;
        high = *b;
        return true;
    }
    static bool number(std::string_view value, int& into) {
        const std::optional<int> n = wholeNumber(value);
        if (n)
            into = *n;
        return n.has_value();
    }
    static bool flag(std::string_view value, bool& into) {
        if (value != "yes" && value != "no")
            return false;
        into = value == "yes";
        return true;
    }
    template <std::size_t N, typename T>
    static bool word(const Words<N>& words, std::string_view value, T& into) {
        const std::optional<std::size_t> k = wordIndex(words, value);
        if (k)
            into = static_cast<T>(*k);
        return k.has_value();
    }
    static bool numberSet(std::string_view value, std::array<bool, 13>& into, int least) {
        std::array<bool, 13> set{};
        for (const std::string_view w : wordsOf(value)) {
            const std::optional<int> n = wholeNumber(w);
            if (!n || *n < least || *n > 12)
                return false;
            set.at(static_cast<std::size_t>(*n)) = true;
        }
        into = set;
        return true;
    }

    // The settings kept as a list of words or numbers.
    bool lists(std::string_view key, std::string_view value) {
        ProblemSettings& s = m_r.settings;
        if (key == "operations") {
            for (std::size_t k = 0; k < kOperationWords.size(); ++k)
                *operationFlag(s, k) = false;
            for (const std::string_view w : wordsOf(value)) {
                const std::optional<std::size_t> k = wordIndex(kOperationWords, w);
                if (!k)
                    return false;
                *operationFlag(s, *k) = true;
            }
            return true;
        }
        if (key == "forms") {
            const std::vector<std::string_view> words = wordsOf(value);
            if (words.size() != s.forms.size())
                return false;
            for (std::size_t k = 0; k < words.size(); ++k) {
                const FormInfo* form = findForm(words[k]);
                if (!form)
                    return false;
                s.forms.at(k) = form->form;
            }
            return true;
        }
        if (key == "tables")
            return numberSet(value, s.tables, 0);
        if (key == "divisors")
            return numberSet(value, s.divisors, 1);
        return false;
    }

    bool choices(std::string_view key, std::string_view value) {
        ProblemSettings& s = m_r.settings;
        if (key == "carrying")
            return word(kCarryingWords, value, s.carrying);
        if (key == "remainders")
            return word(kRemainderWords, value, s.remainders);
        if (key == "missing number")
            return word(kBlankWords, value, s.blank);
        if (key == "answer keys")
            return word(kKeyWords, value, m_r.keys);
        if (key == "print size")
            return word(kSizeWords, value, m_r.look.size);
        if (key == "worksheet number")
            return word(kPlaceWords, value, m_r.look.numberPlace);
        if (key == "layout") {
            std::size_t k = 0;
            const bool read = word(kLayoutWords, value, k);
            m_r.look.easy = k == 0;
            return read;
        }
        if (key == "bold") {
            bool on = false;
            const bool read = flag(value, on);
            m_r.look.chkBold = on ? 1 : 0;
            return read;
        }
        return false;
    }

    bool texts(std::string_view key, std::string_view value) {
        std::string* into = key == "title"          ? &m_r.title
                            : key == "bottom line"  ? &m_r.look.txtAppend
                            : key == "instructions" ? &m_r.look.instructions
                            : key == "printer"      ? &m_r.printer
                                                    : nullptr;
        if (into)
            *into = std::string(value);
        return into != nullptr;
    }

    ClassSetRequest& m_r;
};

template <std::size_t N> std::string_view wordOf(const Words<N>& words, std::size_t k) {
    return words.at(k);
}

} // namespace

namespace {

std::string operationsText(const ProblemSettings& s) {
    std::string operations;
    for (std::size_t k = 0; k < kOperationWords.size(); ++k)
        if (operationChosen(s, k)) {
            if (!operations.empty())
                operations += ' ';
            operations += kOperationWords[k];
        }
    return operations;
}

std::string numbersText(const std::array<bool, 13>& set, int least) {
    std::string text;
    for (int n = least; n <= 12; ++n)
        if (set.at(static_cast<std::size_t>(n))) {
            if (!text.empty())
                text += ' ';
            text += std::to_string(n);
        }
    return text;
}

} // namespace

std::string presetText(const ClassSetRequest& r) {
    const ProblemSettings& s = r.settings;
    std::ostringstream out;
    out << kPresetFirstLine << '\n';
    out << "operations = " << operationsText(s) << '\n';
    for (const RangeField& f : kRanges)
        out << f.key << " = " << s.*f.low << ' ' << s.*f.high << '\n';
    for (const NumberField& f : kNumbers)
        out << f.key << " = " << (f.problems ? s.*f.problems : r.*f.set) << '\n';
    for (const FlagField& f : kFlags)
        out << f.key << " = " << ((f.problems ? s.*f.problems : r.look.*f.page) ? "yes" : "no")
            << '\n';
    out << "tables = " << numbersText(s.tables, 0) << '\n';
    out << "divisors = " << numbersText(s.divisors, 1) << '\n';
    out << "forms =";
    for (const Form form : s.forms)
        out << ' ' << formInfo(form).code;
    out << '\n';
    out << "carrying = " << wordOf(kCarryingWords, static_cast<std::size_t>(s.carrying)) << '\n';
    out << "remainders = " << wordOf(kRemainderWords, static_cast<std::size_t>(s.remainders))
        << '\n';
    out << "missing number = " << wordOf(kBlankWords, static_cast<std::size_t>(s.blank)) << '\n';
    out << "answer keys = " << wordOf(kKeyWords, static_cast<std::size_t>(r.keys)) << '\n';
    out << "layout = " << (r.look.easy ? "easy" : "compact") << '\n';
    out << "bold = " << (r.look.chkBold == 1 ? "yes" : "no") << '\n';
    out << "print size = " << wordOf(kSizeWords, static_cast<std::size_t>(r.look.size)) << '\n';
    out << "worksheet number = "
        << wordOf(kPlaceWords, static_cast<std::size_t>(r.look.numberPlace)) << '\n';
    out << "title = " << oneLine(r.title) << '\n';
    out << "instructions = " << oneLine(r.look.instructions) << '\n';
    out << "bottom line = " << oneLine(r.look.txtAppend) << '\n';
    out << "printer = " << oneLine(r.printer) << '\n';
    return out.str();
}

std::optional<ClassSetRequest> parsePreset(std::string_view text, std::string* why) {
    const auto refuse = [why](std::string reason) -> std::optional<ClassSetRequest> {
        if (why)
            *why = std::move(reason);
        return std::nullopt;
    };
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        at = end + 1;
    }
    const std::string_view prefix = kPresetFirstLine.substr(0, kPresetFirstLine.rfind(' ') + 1);
    if (lines.empty() || lines.front() != kPresetFirstLine)
        return refuse(!lines.empty() && lines.front().substr(0, prefix.size()) == prefix
                          ? "it was made by a later version of Sumbrook 3"
                          : "it is no settings file of Sumbrook 3");
    ClassSetRequest request;
    Reader reader(request);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        if (trimmed(lines[k]).empty())
            continue;
        const std::size_t equals = lines[k].find(" = ");
        const std::string_view key = lines[k].substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : lines[k].substr(equals + 3);
        if (equals == std::string_view::npos || !reader.take(key, value))
            return refuse("line " + std::to_string(k + 1) + " is not a setting: \"" +
                          std::string(lines[k]) + "\"");
    }
    return request;
}

namespace {

constexpr std::string_view kPresetExtension = ".preset";

std::filesystem::path presetFile(const std::filesystem::path& folder, const std::string& name) {
    return folder / pathFromUtf8(name + std::string(kPresetExtension));
}

} // namespace

std::filesystem::path presetFolder(const std::filesystem::path& worksheetFolder) {
    return worksheetFolder / "Presets";
}

std::vector<std::string> presetNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::filesystem::path& path = entry->path();
        if (path.extension() == kPresetExtension && entry->is_regular_file(error))
            names.push_back(pathToUtf8(path.stem()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> presetNameProblem(const std::string& name) {
    if (trimmed(name).empty())
        return "Type a name for the settings.";
    if (name.size() > 100 || name.front() == '.' ||
        name.find_first_of("/\\:*?\"<>|") != std::string::npos ||
        std::any_of(name.begin(), name.end(), [](char c) { return isControl(c); }))
        return "A name of settings cannot begin with a dot or hold / \\ : * ? \" < > |.";
    return std::nullopt;
}

void savePreset(const std::filesystem::path& folder, const std::string& name,
                const ClassSetRequest& request) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ClassSetRequest kept = request;
    kept.pdfPath.clear();
    replaceFileContents(presetFile(folder, name), presetText(kept));
}

std::optional<ClassSetRequest> loadPreset(const std::filesystem::path& folder,
                                          const std::string& name, std::string* why) {
    try {
        return parsePreset(readWorksheetBytes(presetFile(folder, name)), why);
    } catch (const std::exception& failure) {
        if (why)
            *why = describeFailure(failure);
        return std::nullopt;
    }
}

void renamePreset(const std::filesystem::path& folder, const std::string& from,
                  const std::string& to) {
    if (std::filesystem::exists(presetFile(folder, to)))
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           "Settings named \"" + to + "\" are there already");
    std::error_code error;
    std::filesystem::rename(presetFile(folder, from), presetFile(folder, to), error);
    if (error)
        throw RuntimeError(errorNumberOfErrno(error.value()), error.message());
}

void deletePreset(const std::filesystem::path& folder, const std::string& name) {
    std::error_code error;
    std::filesystem::remove(presetFile(folder, name), error);
    if (error)
        throw RuntimeError(errorNumberOfErrno(error.value()), error.message());
}

} // namespace sbk3
