#include "store/WorksheetFile.h"

#include "common/AppInfo.h"
#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "common/Text.h"
#include "store/Cp1252.h"
#include "store/RecordReader.h"

#include <algorithm>
#include <array>
#include <optional>
#include <system_error>

namespace sbk3 {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

// Splits off the header's title, the one field that may hold quotes: the header ends with the
// quoted worksheet number (never a quote inside) and the count, on the line where the header
// ends, so the title is what stands between the first quote and the quote that closes it
// before those two. Older versions stored pasted line breaks in titles, so the header may
// span lines: it ends on the first line that closes with a quoted number and a count.
struct HeaderFields {
    std::string title;
    std::string sheetCode;
    std::string_view count;
    std::string mark;    // a laid-out worksheet's fourth field
    std::size_t end = 0; // where the records after the header begin
};

// The header when the line [lineStart, lineEnd) of text is its last line.
std::optional<HeaderFields> headerEndingOn(std::string_view text, std::size_t titleOpen,
                                           std::size_t lineStart, std::size_t lineEnd) {
    std::string_view rest = trimRight(text.substr(lineStart, lineEnd - lineStart));
    HeaderFields fields;
    // A laid-out worksheet's mark after the count.
    if (const std::size_t markOpen = rest.rfind(",\"" + std::string(kLaidOutMarkPrefix));
        markOpen != std::string_view::npos && rest.size() > markOpen + 2 && rest.back() == '"') {
        fields.mark = std::string(rest.substr(markOpen + 2, rest.size() - markOpen - 3));
        rest = trimRight(rest.substr(0, markOpen));
    }
    const std::size_t countComma = rest.rfind(',');
    if (countComma == std::string_view::npos)
        return std::nullopt;
    fields.count = rest.substr(countComma + 1);
    rest = trimRight(rest.substr(0, countComma));
    if (rest.size() < 2 || rest.back() != '"')
        return std::nullopt;
    const std::size_t codeOpen = rest.rfind('"', rest.size() - 2);
    if (codeOpen == std::string_view::npos)
        return std::nullopt;
    fields.sheetCode = std::string(rest.substr(codeOpen + 1, rest.size() - codeOpen - 2));
    rest = trimRight(rest.substr(0, codeOpen));
    if (rest.empty() || rest.back() != ',')
        return std::nullopt;
    rest = trimRight(rest.substr(0, rest.size() - 1));
    // The title's closing quote: on this line, or ending the line before.
    std::size_t titleClose = 0;
    if (!rest.empty()) {
        if (rest.back() != '"')
            return std::nullopt;
        titleClose = lineStart + rest.size() - 1;
    } else {
        std::size_t before = lineStart;
        while (before > 0 && (text[before - 1] == '\r' || text[before - 1] == '\n'))
            --before;
        if (before == lineStart || text[before - 1] != '"')
            return std::nullopt;
        titleClose = before - 1;
    }
    if (titleClose <= titleOpen)
        return std::nullopt;
    fields.title = std::string(text.substr(titleOpen + 1, titleClose - titleOpen - 1));
    fields.end = lineEnd;
    return fields;
}

std::optional<HeaderFields> headerFromTail(std::string_view text) {
    std::size_t titleOpen = 0;
    while (titleOpen < text.size() && isBlank(text[titleOpen]))
        ++titleOpen;
    if (titleOpen >= text.size() || text[titleOpen] != '"')
        return std::nullopt;
    for (std::size_t lineStart = 0; lineStart < text.size();) {
        std::size_t lineEnd = text.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        if (std::optional<HeaderFields> fields =
                headerEndingOn(text, titleOpen, lineStart, lineEnd))
            return fields;
        lineStart = lineEnd + 1;
    }
    return std::nullopt;
}

} // namespace

std::string headerLine(std::string_view title, std::string_view sheetCode, int count) {
    return Qt(title) + "," + Qt(sheetCode) + "," + std::to_string(count);
}

std::string problemLine(int first, int second, std::string_view op, bool quoted) {
    return std::to_string(first) + "," + std::to_string(second) + "," +
           (quoted ? Qt(op) : std::string(op));
}

std::string laidOutHeaderLine(std::string_view title, std::string_view sheetCode, int count) {
    return headerLine(title, sheetCode, count) + "," + Qt(kLaidOutMark);
}

std::string sheetProblemLine(const SheetProblem& problem) {
    std::string line = numberText(problem.first);
    line += ',';
    line += numberText(problem.second);
    line += ',';
    line += Qt(problem.op ? problem.op->text : "");
    line += ',';
    line += Qt(formInfo(problem.form).code);
    if (problem.blank != Blank::None) {
        line += ',';
        line += Qt(blankCode(problem.blank));
    }
    return line;
}

namespace {

constexpr std::array<std::string_view, 3> kSizeCodes = {"normal", "large", "extra large"};

std::string pageText(std::string text) {
    controlsToBlanks(text);
    std::replace(text.begin(), text.end(), '"', '\'');
    return Qt(text);
}

} // namespace

std::string pageLine(const PageLook& look) {
    const auto flag = [](bool on) { return on ? std::string(",1") : std::string(",0"); };
    return Qt("page") + "," + Qt(look.easy ? "easy" : "compact") + flag(look.chkBold == 1) + "," +
           Qt(kSizeCodes.at(static_cast<std::size_t>(look.size))) + flag(look.spread) +
           flag(look.numbers) + flag(look.header) + "," +
           Qt(look.numberPlace == NumberPlace::Corner ? "corner" : "title") + "," +
           pageText(look.instructions) + "," + pageText(look.txtAppend);
}

std::string setLine(const SetPlace& set) {
    return Qt("set") + "," + pageText(set.key) + "," + std::to_string(set.place) + "," +
           std::to_string(set.size);
}

std::string settingsLine(std::string_view settingsText) {
    std::string line = Qt("settings");
    std::size_t at = 0;
    while (at < settingsText.size()) {
        const std::size_t end = std::min(settingsText.find('\n', at), settingsText.size());
        line += ',';
        line += pageText(std::string(settingsText.substr(at, end - at)));
        at = end + 1;
    }
    return line;
}

std::optional<NewWorksheetFile> NewWorksheetFile::create(const std::filesystem::path& path,
                                                         std::string_view header) {
    const std::optional<std::string> ansi = utf8ToCp1252(header);
    std::string bytes = ansi ? *ansi : std::string(kBom) + std::string(header);
    bytes += kLineEnd;
    std::optional<NativeFile> file = NativeFile::createNew(path);
    if (!file)
        return std::nullopt; // taken: nothing was touched
    const NewWorksheetFile made(path, ansi ? FileEncoding::Windows1252 : FileEncoding::Utf8WithBom,
                                file->info().identity);
    try {
        file->writeAll(bytes);
        file->close();
    } catch (...) {
        *file = NativeFile();
        made.removeIfStillOurs(); // no header-less worksheet stays behind
        throw;
    }
    return made;
}

void NewWorksheetFile::makeDurable(bool withFolder) const {
    NativeFile file = NativeFile::openForAppend(m_path);
    file.flushToDisk();
    file.close();
    if (withFolder)
        flushFolder(m_path.parent_path());
}

void NewWorksheetFile::removeIfStillOurs() const noexcept {
    removeIfSame(m_path, m_identity);
}

WorksheetAppender::WorksheetAppender(const NewWorksheetFile& file)
    : WorksheetAppender(file.path(), file.encoding()) {
    // The name may have been moved away and given to another file since the save made it: a
    // stored worksheet must never change, so nothing is written into anything else.
    if (m_file.info().identity != file.identity()) {
        m_file = NativeFile();
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
}

WorksheetAppender::WorksheetAppender(const std::filesystem::path& path, FileEncoding encoding)
    : m_file(NativeFile::openForAppend(path)), m_utf8(encoding == FileEncoding::Utf8WithBom) {}

void WorksheetAppender::writeLine(std::string_view utf8) {
    m_file.writeAll(encoded(utf8));
}

void WorksheetAppender::writeLines(const std::vector<std::string>& utf8) {
    std::string bytes;
    for (const std::string& line : utf8)
        bytes += encoded(line);
    m_file.writeAll(bytes);
}

std::string WorksheetAppender::encoded(std::string_view utf8) const {
    std::string bytes;
    if (m_utf8) {
        bytes = std::string(utf8);
    } else {
        const std::optional<std::string> ansi = utf8ToCp1252(utf8);
        bytes = ansi ? *ansi : std::string(utf8);
    }
    bytes += kLineEnd;
    return bytes;
}

void WorksheetAppender::close() {
    m_file.close();
}

namespace {

[[noreturn]] void refuseProblem(int k, const std::string& why) {
    throw RuntimeError(ErrorNumber::TypeMismatch, "problem " + std::to_string(k) + " " + why + ".");
}

// One laid-out problem from its own line: "4728,6,"÷","long"", "7,5,"+","missing","second"".
SheetProblem readSheetProblem(std::string_view line, int k) {
    RecordReader fields(line);
    std::array<std::string, 4> texts;
    for (std::string& text : texts) {
        if (fields.atTextEnd())
            refuseProblem(k, "is not complete");
        text = fields.nextField();
    }
    SheetProblem problem;
    const std::optional<Number> first = parseNumber(texts[0]);
    const std::optional<Number> second = parseNumber(texts[1]);
    for (const auto& [number, text] : {std::pair{first, texts[0]}, std::pair{second, texts[1]}})
        if (!number)
            refuseProblem(k, "holds \"" + text +
                                 "\", which is no number from 0 to 9999 with at most 2 decimal "
                                 "places");
    problem.first = *first;
    problem.second = *second;
    problem.op = findOperator(texts[2]);
    const FormInfo* form = findForm(texts[3]);
    if (!form)
        refuseProblem(k, "has the form \"" + texts[3] + "\", which this version does not know");
    problem.form = form->form;
    if (!fields.atTextEnd()) {
        const std::string code = fields.nextField();
        const std::optional<Blank> blank = findBlank(code);
        if (!blank || *blank == Blank::None)
            refuseProblem(k, "leaves \"" + code + "\" blank, which is none of its numbers");
        problem.blank = *blank;
    }
    if (const std::optional<std::string> why = unprintable(problem))
        refuseProblem(k, "cannot be printed: " + *why);
    return problem;
}

// The first N fields of a line; nothing where it has fewer.
template <std::size_t N>
std::optional<std::array<std::string, N>> firstFields(RecordReader& fields) {
    std::array<std::string, N> texts;
    for (std::string& text : texts) {
        if (fields.atTextEnd())
            return std::nullopt;
        text = fields.nextField();
    }
    return texts;
}

// The page line's fields, each of its own kind; nothing when one is not.
std::optional<PageLook> readPageLine(std::string_view line) {
    RecordReader fields(line);
    const std::optional<std::array<std::string, 10>> read = firstFields<10>(fields);
    if (!read)
        return std::nullopt;
    const std::array<std::string, 10>& texts = *read;
    const auto flag = [](const std::string& text) -> std::optional<bool> {
        if (text == "0" || text == "1")
            return text == "1";
        return std::nullopt;
    };
    const auto size = std::find(kSizeCodes.begin(), kSizeCodes.end(), texts[3]);
    const std::optional<bool> bold = flag(texts[2]), spread = flag(texts[4]),
                              numbers = flag(texts[5]), header = flag(texts[6]);
    if ((texts[1] != "easy" && texts[1] != "compact") || !bold || size == kSizeCodes.end() ||
        !spread || !numbers || !header || (texts[7] != "title" && texts[7] != "corner"))
        return std::nullopt;
    PageLook look;
    look.easy = texts[1] == "easy";
    look.chkBold = *bold ? 1 : 0;
    look.size = static_cast<PrintSize>(size - kSizeCodes.begin());
    look.spread = *spread;
    look.numbers = *numbers;
    look.header = *header;
    look.numberPlace = texts[7] == "corner" ? NumberPlace::Corner : NumberPlace::InTitle;
    look.instructions = texts[8];
    look.txtAppend = texts[9];
    return look;
}

// "set","MIX020477",3,30: a key of a worksheet number's characters, a place within the size.
std::optional<SetPlace> readSetLine(std::string_view line) {
    RecordReader fields(line);
    const std::optional<std::array<std::string, 4>> read = firstFields<4>(fields);
    if (!read)
        return std::nullopt;
    const std::array<std::string, 4>& texts = *read;
    const auto whole = [](const std::string& text) -> int {
        if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), isDigit))
            return 0;
        return std::stoi(text);
    };
    SetPlace set{texts[1], whole(texts[2]), whole(texts[3])};
    const bool plainKey = !set.key.empty() && set.key.size() <= 32 &&
                          std::all_of(set.key.begin(), set.key.end(), [](char c) {
                              return !isControl(c) && c != '/' && c != '\\';
                          });
    if (!plainKey || set.place < 1 || set.size < set.place || !fields.atTextEnd())
        return std::nullopt;
    return set;
}

// The settings line's fields back as the settings' text, a line each.
std::string readSettingsLine(std::string_view line) {
    RecordReader fields(line);
    fields.nextField(); // "settings"
    std::string text;
    while (!fields.atTextEnd())
        text.append(fields.nextField()).append("\n");
    return text;
}

// The lines between a laid-out header and its problems: the page line, then the set line and
// the settings line, each only where it is there.
void readSheetExtras(RecordReader& reader, SavedWorksheet& sheet) {
    const auto next = [&reader](std::string_view name) {
        RecordReader peek = reader;
        return !peek.atTextEnd() && peek.nextField() == name;
    };
    const auto damaged = [](std::string_view which, std::string_view line) {
        return RuntimeError(ErrorNumber::TypeMismatch, "its " + std::string(which) + " line \"" +
                                                           std::string(line) + "\" is damaged.");
    };
    if (next("page")) {
        const std::string_view line = reader.takeLine();
        sheet.look = readPageLine(line);
        if (!sheet.look)
            throw damaged("page", line);
    }
    if (next("set")) {
        const std::string_view line = reader.takeLine();
        sheet.set = readSetLine(line);
        if (!sheet.set)
            throw damaged("set", line);
    }
    if (next("settings"))
        sheet.settings = readSettingsLine(reader.takeLine());
}

void readSheetProblems(RecordReader& reader, SavedWorksheet& sheet) {
    sheet.laidOut = true;
    readSheetExtras(reader, sheet);
    for (int k = 1; k <= sheet.count; ++k) {
        if (k > kMaxProblems)
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
        if (reader.atTextEnd())
            throw RuntimeError(ErrorNumber::InputPastEndOfFile);
        sheet.sheetProblems.push_back(readSheetProblem(reader.takeLine(), k));
    }
}

} // namespace

SavedWorksheet parseWorksheet(std::string_view bytes, bool headerOnly) {
    const std::string text = bytes.substr(0, kBom.size()) == kBom
                                 ? sanitizeUtf8(bytes.substr(kBom.size()))
                                 : cp1252ToUtf8(bytes);
    SavedWorksheet sheet;
    RecordReader reader(text);

    const std::optional<HeaderFields> tail = headerFromTail(text);
    std::string mark;
    if (tail && (tail->title.find('"') != std::string::npos || !tail->mark.empty())) {
        mark = tail->mark;
        // Only a title with quotes needs the tail; any other header reads field by field.
        sheet.title = tail->title;
        sheet.sheetCode = tail->sheetCode;
        sheet.count = toInteger(tail->count);
        RecordReader afterHeader(std::string_view(text).substr(tail->end));
        afterHeader.takeLine(); // the header's own line end
        reader = afterHeader;
    } else {
        sheet.title = reader.nextField();
        sheet.sheetCode = reader.nextField();
        sheet.count = reader.nextInteger();
    }
    controlsToBlanks(sheet.title);
    if (!mark.empty() && mark != kLaidOutMark)
        throw RuntimeError(ErrorNumber::TypeMismatch, "it was made by a later version of " +
                                                          std::string(kAppTitle) + " (\"" + mark +
                                                          "\").");
    sheet.laidOut = !mark.empty();
    if (headerOnly) {
        // A list shows which class set a laid-out worksheet belongs to; a line it cannot read
        // leaves it a worksheet of its own there, and reading it whole says what is wrong.
        if (sheet.laidOut) {
            try {
                readSheetExtras(reader, sheet);
            } catch (const RuntimeError&) {
                sheet.set.reset();
            }
        }
        return sheet;
    }
    if (sheet.laidOut) {
        readSheetProblems(reader, sheet);
        return sheet;
    }

    for (int k = 1; k <= sheet.count; ++k) {
        if (k > kMaxProblems)
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
        Problem problem;
        problem.first = reader.nextInteger();
        problem.second = reader.nextInteger();
        problem.op = reader.nextField();
        sheet.problems.push_back(std::move(problem));
    }
    return sheet;
}

// The whole file, bounded: regular files only, never waiting on a FIFO, at most
// kMaxWorksheetBytes.
std::string readWorksheetBytes(const std::filesystem::path& path) {
    NativeFile file = NativeFile::openForReading(path);
    const FileInfo info = file.info();
    if (!info.regular)
        throw RuntimeError(ErrorNumber::BadFileMode);
    if (info.size > kMaxWorksheetBytes)
        throw RuntimeError(ErrorNumber::OutOfMemory);
    // The size may grow while it is read; never more than the limit is taken in.
    std::string bytes(static_cast<std::size_t>(info.size) + 1, '\0');
    std::size_t used = 0;
    while (used < bytes.size()) {
        const std::size_t got = file.read(bytes.data() + used, bytes.size() - used);
        if (got == 0)
            break;
        used += got;
        if (used == bytes.size() && used <= kMaxWorksheetBytes)
            bytes.resize(std::min<std::size_t>(bytes.size() * 2, kMaxWorksheetBytes + 1));
    }
    if (used > kMaxWorksheetBytes)
        throw RuntimeError(ErrorNumber::OutOfMemory);
    bytes.resize(used);
    file.close();
    return bytes;
}

SavedWorksheet readWorksheetFile(const std::filesystem::path& path) {
    return parseWorksheet(readWorksheetBytes(path));
}

} // namespace sbk3
