#include "store/WorksheetFile.h"

#include "common/RuntimeError.h"
#include "common/Text.h"
#include "store/Cp1252.h"
#include "store/RecordReader.h"

#include <cerrno>
#include <optional>
#include <system_error>

namespace sbk3 {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

std::FILE* openFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

void writeBytes(std::FILE* file, std::string_view bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        throw RuntimeError::fromErrno(errno);
}

void closeChecked(std::FILE*& file) {
    // fclose flushes what the buffer still holds; a full disk shows up here.
    std::FILE* f = file;
    file = nullptr;
    const bool failed = std::ferror(f) != 0;
    const int savedErrno = errno;
    if (std::fclose(f) != 0)
        throw RuntimeError::fromErrno(errno);
    if (failed)
        throw RuntimeError::fromErrno(savedErrno);
}

// Splits off the header's title, the one field that may hold quotes: the line ends with the
// quoted worksheet number (never a quote inside) and the count, so the title is what stands
// between the first quote and the quote that closes it before those two.
struct HeaderFields {
    std::string title;
    std::string sheetCode;
    std::string_view count;
};

std::optional<HeaderFields> headerFromTail(std::string_view line) {
    auto trimRight = [](std::string_view s) {
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
            s.remove_suffix(1);
        return s;
    };
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    if (line.empty() || line.front() != '"')
        return std::nullopt;
    std::string_view rest = trimRight(line);
    const std::size_t countComma = rest.rfind(',');
    if (countComma == std::string_view::npos)
        return std::nullopt;
    HeaderFields fields;
    fields.count = rest.substr(countComma + 1);
    rest = trimRight(rest.substr(0, countComma));
    if (rest.size() < 2 || rest.back() != '"')
        return std::nullopt;
    const std::size_t codeOpen = rest.rfind('"', rest.size() - 2);
    if (codeOpen == std::string_view::npos || codeOpen == 0)
        return std::nullopt;
    fields.sheetCode = std::string(rest.substr(codeOpen + 1, rest.size() - codeOpen - 2));
    rest = trimRight(rest.substr(0, codeOpen));
    if (rest.empty() || rest.back() != ',')
        return std::nullopt;
    rest = trimRight(rest.substr(0, rest.size() - 1));
    if (rest.size() < 2 || rest.back() != '"')
        return std::nullopt;
    fields.title = std::string(rest.substr(1, rest.size() - 2));
    return fields;
}

} // namespace

std::string headerLine(std::string_view title, std::string_view sheetCode, int count) {
    return Qt(title) + "," + Qt(sheetCode) + "," + std::to_string(count);
}

std::string problemLine(int first, int second, std::string_view op, bool quoted) {
    return std::to_string(first) + "," + std::to_string(second) + "," +
           (quoted ? Qt(op) : std::string(op));
}

FileEncoding createWorksheetFile(const std::filesystem::path& path, std::string_view header) {
    const std::optional<std::string> ansi = utf8ToCp1252(header);
    std::string bytes = ansi ? *ansi : std::string(kBom) + std::string(header);
    bytes += kLineEnd;
    std::FILE* file = openFile(path, "wb");
    if (!file)
        throw RuntimeError::fromErrno(errno); // nothing was touched
    try {
        writeBytes(file, bytes);
        closeChecked(file);
    } catch (...) {
        if (file)
            std::fclose(file);
        std::error_code ignored;
        std::filesystem::remove(path, ignored); // no header-less worksheet stays behind
        throw;
    }
    return ansi ? FileEncoding::Windows1252 : FileEncoding::Utf8WithBom;
}

WorksheetAppender::WorksheetAppender(const std::filesystem::path& path, FileEncoding encoding)
    : m_utf8(encoding == FileEncoding::Utf8WithBom) {
    m_file = openFile(path, "ab");
    if (!m_file)
        throw RuntimeError::fromErrno(errno);
}

WorksheetAppender::~WorksheetAppender() {
    if (m_file)
        std::fclose(m_file);
}

void WorksheetAppender::writeLine(std::string_view utf8) {
    std::string bytes;
    if (m_utf8) {
        bytes = std::string(utf8);
    } else {
        const std::optional<std::string> ansi = utf8ToCp1252(utf8);
        bytes = ansi ? *ansi : std::string(utf8);
    }
    bytes += kLineEnd;
    writeBytes(m_file, bytes);
}

void WorksheetAppender::close() {
    if (m_file)
        closeChecked(m_file);
}

SavedWorksheet parseWorksheet(std::string_view bytes) {
    const std::string text = bytes.substr(0, kBom.size()) == kBom
                                 ? sanitizeUtf8(bytes.substr(kBom.size()))
                                 : cp1252ToUtf8(bytes);
    SavedWorksheet sheet;
    RecordReader reader(text);

    RecordReader afterHeader(text);
    const std::optional<HeaderFields> tail = headerFromTail(afterHeader.takeLine());
    if (tail && tail->title.find('"') != std::string::npos) {
        // Only a title with quotes needs the tail; any other header reads field by field.
        sheet.title = tail->title;
        sheet.sheetCode = tail->sheetCode;
        sheet.count = toInteger(tail->count);
        reader = afterHeader;
    } else {
        sheet.title = reader.nextField();
        sheet.sheetCode = reader.nextField();
        sheet.count = reader.nextInteger();
    }

    for (int k = 1; k <= sheet.count; ++k) {
        if (k > kMaxProblems)
            throw RuntimeError::subscriptOutOfRange();
        Problem problem;
        problem.first = reader.nextInteger();
        problem.second = reader.nextInteger();
        problem.op = reader.nextField();
        sheet.problems.push_back(std::move(problem));
    }
    return sheet;
}

SavedWorksheet readWorksheetFile(const std::filesystem::path& path) {
    std::FILE* file = openFile(path, "rb");
    if (!file)
        throw errno == ENOENT || errno == ENOTDIR ? RuntimeError::fileNotFound()
                                                  : RuntimeError::fromErrno(errno);
    std::string bytes;
    char buffer[8192];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int savedErrno = errno;
    std::fclose(file);
    if (failed)
        throw RuntimeError::fromErrno(savedErrno);
    return parseWorksheet(bytes);
}

} // namespace sbk3
