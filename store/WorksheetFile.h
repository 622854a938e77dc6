#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sbk3 {

inline constexpr int kMaxProblems = 300;

struct Problem {
    std::int16_t first = 0;
    std::int16_t second = 0;
    std::string op;

    bool operator==(const Problem&) const = default;
};

struct SavedWorksheet {
    std::string title;
    std::string sheetCode;
    std::int16_t count = 0;
    std::vector<Problem> problems; // entry k-1 holds problem k
};

// The header line: quoted title, quoted worksheet number, count (UTF-8, no line end).
std::string headerLine(std::string_view title, std::string_view sheetCode, int count);
// A problem line; the operator quoted or bare.
std::string problemLine(int first, int second, std::string_view op, bool quoted);

enum class FileEncoding { Windows1252, Utf8WithBom };

// Creates (or replaces) the worksheet file with its header line and says how it is encoded:
// Windows-1252 unless the header holds a character that code page cannot, then UTF-8 with a
// byte-order mark. Throws RuntimeError with the system's reason on failure, leaving no file
// behind (a file it could not open is left untouched).
FileEncoding createWorksheetFile(const std::filesystem::path& path, std::string_view header);

// The worksheet file opened for appending lines in the encoding it was created with.
class WorksheetAppender {
public:
    WorksheetAppender(const std::filesystem::path& path, FileEncoding encoding);
    ~WorksheetAppender();
    WorksheetAppender(const WorksheetAppender&) = delete;
    WorksheetAppender& operator=(const WorksheetAppender&) = delete;

    // Writes one line and its CR LF.
    void writeLine(std::string_view utf8);
    // Closes the file; throws when the data could not be written.
    void close();

private:
    std::FILE* m_file = nullptr;
    bool m_utf8 = false;
};

// Reads the header and exactly as many problem records as it states. Throws RuntimeError:
// 53 missing file, 62 records run out, 13 not a number, 6 number too large, 9 above 300.
SavedWorksheet readWorksheetFile(const std::filesystem::path& path);

// The same from the file's bytes.
SavedWorksheet parseWorksheet(std::string_view bytes);

} // namespace sbk3
