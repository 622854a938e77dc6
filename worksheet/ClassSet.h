#pragma once

#include "common/PageLook.h"
#include "worksheet/Settings.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sbk3 {

class RandomPort;

enum class AnswerKeys { None, AfterEach, AtTheEnd };

// What "Worksheet Settings" asks for: the problems, how many different worksheets of how many
// problems, how many copies of each, their answer keys, and where the pages go.
struct ClassSetRequest {
    ProblemSettings settings;
    int problems = 30; // each worksheet's
    int versions = 1;  // different worksheets, 1 to 40
    int copies = 1;    // of each, 1 to 50
    AnswerKeys keys = AnswerKeys::None;
    std::string printer; // a system printer's name; empty for the default one
    std::string pdfPath; // one PDF file of all pages instead of a printer
    // The pages: the title with "(N)" for each version's number, and their look, stored with
    // each version.
    std::string title = "Math Worksheet - (N)";
    PageLook look;

    bool operator==(const ClassSetRequest&) const = default;
};

inline constexpr int kMaxVersions = 40;
inline constexpr int kMaxCopies = 50;

// The first check the counts fail, in the window's own words for the number of problems; else
// nothing. The settings themselves are CheckSettings'.
std::optional<std::string> CheckClassSet(const ClassSetRequest& request, bool easy);

// The versions stored so far, and why the next one could not be.
struct StoredVersions {
    std::vector<std::string> numbers;
    std::string failure; // empty when every version is stored
};

// Stores each version as a new worksheet exactly as Print/Save stores one: the same number
// scheme (type code, count code, random part), the title with its first "(N)" replaced by the
// version's number, one line a problem, flushed before anything is printed. A version that
// fails leaves nothing of itself; the ones before it stay stored.
// Before each version, goOn is asked with the number stored so far; where it answers false the
// versions stored so far are returned and no more are made.
StoredVersions StoreVersions(const ClassSetRequest& request, const std::string& title,
                             const std::filesystem::path& folder, RandomPort& random,
                             const std::string& decimalSeparator,
                             const std::function<bool(std::size_t stored)>& goOn = {});

} // namespace sbk3
