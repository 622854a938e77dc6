#pragma once

#include "common/Capacity.h"
#include "common/NativeFile.h"
#include "common/PageLook.h"
#include "common/ProblemForms.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sbk3 {

struct Problem {
    std::int16_t first = 0;
    std::int16_t second = 0;
    std::string op;

    bool operator==(const Problem&) const = default;
};

// Where a worksheet stands in a class set made at once: the set's key (its first version's
// number), its place in it from 1, and how many versions the set was made with.
struct SetPlace {
    std::string key;
    int place = 0;
    int size = 0;

    bool operator==(const SetPlace&) const = default;
};

struct SavedWorksheet {
    std::string title;
    std::string sheetCode;
    std::int16_t count = 0;
    std::vector<Problem> problems; // entry k-1 holds problem k
    // A worksheet whose header ends in kLaidOutMark holds its problems with their forms here
    // instead, and its page is laid out by what is on it.
    bool laidOut = false;
    std::vector<SheetProblem> sheetProblems{};
    // The look it was made with, from the line after the header; nothing for one without.
    std::optional<PageLook> look{};
    // Its place in the class set it was made in, if any.
    std::optional<SetPlace> set{};
    // The settings it was made with, as readable text (a preset's); empty for one without.
    std::string settings{};
};

// The header's fourth field that marks a laid-out worksheet, its version in the name: any
// version of the program before them reads it as a problem's number that is no number, and
// prints nothing.
inline constexpr std::string_view kLaidOutMark = "forms 1";
// The first words of a mark of any version; a later one than this program's is refused.
inline constexpr std::string_view kLaidOutMarkPrefix = "forms ";

// The header line: quoted title, quoted worksheet number, count (UTF-8, no line end).
std::string headerLine(std::string_view title, std::string_view sheetCode, int count);
// A problem line; the operator quoted or bare.
std::string problemLine(int first, int second, std::string_view op, bool quoted);
// A laid-out worksheet's header line and problem line: the numbers with "." before their
// places, the operator, the form's code and, for a missing number, which one is blank.
std::string laidOutHeaderLine(std::string_view title, std::string_view sheetCode, int count);
std::string sheetProblemLine(const SheetProblem& problem);
// A laid-out worksheet's page line, after its header: "page", the layout, Bold, the print size,
// spread, problem numbers, the Name/Date/Score header, where the number goes, the instructions
// and the bottom line. A double quote in a text is stored as a single one.
std::string pageLine(const PageLook& look);
// A class set's version's set line, after the page line: "set", the set's key, the place, the
// size.
std::string setLine(const SetPlace& set);
// The line that keeps the settings a worksheet was made with, last before its problems:
// "settings", then each line of the settings' text as a field of its own (a double quote in it
// stored as a single one).
std::string settingsLine(std::string_view settingsText);

enum class FileEncoding { Windows1252, Utf8WithBom };

// A worksheet file the running command has just made, known by its identity on disk, so that
// nothing it did not make is ever written to or removed.
class NewWorksheetFile {
public:
    // Creates the file with its header line: Windows-1252 unless the header holds a character
    // that code page cannot, then UTF-8 with a byte-order mark. Created exclusively and never
    // through a link: nothing when the name exists in any form, so the number is taken.
    // Throws RuntimeError with the system's reason on any other failure, leaving no file of its
    // own behind.
    static std::optional<NewWorksheetFile> create(const std::filesystem::path& path,
                                                  std::string_view header);

    const std::filesystem::path& path() const { return m_path; }
    FileEncoding encoding() const { return m_encoding; }
    const FileIdentity& identity() const { return m_identity; }

    // Puts the file and its folder's entry for it on the disk itself; the file alone where the
    // folder is flushed afterwards for many files at once.
    void makeDurable(bool withFolder = true) const;
    // Removes the file, but only while its name still leads to the file made here.
    void removeIfStillOurs() const noexcept;

private:
    NewWorksheetFile(std::filesystem::path path, FileEncoding encoding, FileIdentity identity)
        : m_path(std::move(path)), m_encoding(encoding), m_identity(identity) {}

    std::filesystem::path m_path;
    FileEncoding m_encoding;
    FileIdentity m_identity;
};

// The worksheet file opened for appending one line in the encoding it was created with: one
// open (no create, no link followed), one write, one close. Opened for a file this save made,
// it checks that the name still leads to that file (one fstat) and throws when it does not.
class WorksheetAppender {
public:
    explicit WorksheetAppender(const NewWorksheetFile& file);
    WorksheetAppender(const std::filesystem::path& path, FileEncoding encoding);

    // Writes one line and its CR LF.
    void writeLine(std::string_view utf8);
    // Writes the lines, each with its CR LF, in one write.
    void writeLines(const std::vector<std::string>& utf8);
    // Closes the file; throws when the data could not be written.
    void close();

private:
    // The line in the file's encoding, with its CR LF.
    std::string encoded(std::string_view utf8) const;

    NativeFile m_file;
    bool m_utf8 = false;
};

// Worksheet files are a few kilobytes; anything larger is no worksheet and is not read.
inline constexpr std::uint64_t kMaxWorksheetBytes = std::uint64_t{1024} * 1024;

// Reads the header and exactly as many problem records as it states. Throws RuntimeError:
// 53 missing file, 54 not a regular file, 7 larger than kMaxWorksheetBytes, 62 records run out,
// 13 not a number, 6 number too large, 9 above kMaxProblems. A FIFO never makes it wait.
SavedWorksheet readWorksheetFile(const std::filesystem::path& path);

// A worksheet file's bytes, read as readWorksheetFile reads them: bounded, never waiting.
std::string readWorksheetBytes(const std::filesystem::path& path);

// A worksheet from its file's bytes, the header alone with headerOnly; it throws as
// readWorksheetFile does, and 13 with a sentence for a laid-out problem that cannot be printed
// as stored (an unknown form, a number that does not fit) or a mark of a later version. Control
// characters in the title read as blanks, so a title is always one line.
SavedWorksheet parseWorksheet(std::string_view bytes, bool headerOnly = false);

} // namespace sbk3
