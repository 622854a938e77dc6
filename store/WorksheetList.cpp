#include "store/WorksheetList.h"

#include "common/FileExists.h"
#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "common/Text.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <system_error>

namespace sbk3 {
namespace {

// Read once, bounded: the title, and whether the problem lines run out before the count does.
ListedWorksheet listed(const std::filesystem::path& path, const std::string& name) {
    const std::string bytes = readWorksheetBytes(path);
    ListedWorksheet sheet{name, parseWorksheet(bytes, true).title};
    try {
        parseWorksheet(bytes);
    } catch (const RuntimeError& error) {
        sheet.incomplete = error.code() == ErrorNumber::InputPastEndOfFile;
    }
    return sheet;
}

} // namespace

bool looksLikeWorksheetNumber(std::string_view name) {
    if (name.size() < 9 || !IsTypeCode(name.substr(0, 3)))
        return false;
    const std::string_view rest = name.substr(3);
    const auto digits = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
    };
    if (!digits(rest.substr(0, 3)))
        return false;
    if (digits(rest))
        return rest.size() == 6;
    // 002.5042: the count's whole part, the locale's decimal separator (any one character, up
    // to four bytes of UTF-8: ",", "." or an Arabic U+066B), its fraction, the random part.
    const std::size_t fraction = std::find_if(rest.begin() + 3, rest.end(), isDigit) - rest.begin();
    const std::string_view separator = rest.substr(3, fraction - 3);
    const bool plainSeparator = std::none_of(separator.begin(), separator.end(), [](char c) {
        return isControl(c) || isBlank(c) || c == '/' || c == '\\';
    });
    return !separator.empty() && separator.size() <= 4 && plainSeparator &&
           rest.size() - fraction >= 4 && digits(rest.substr(fraction));
}

std::vector<ListedWorksheet> ListWorksheets(const std::filesystem::path& folder) {
    struct Found {
        std::filesystem::file_time_type written;
        ListedWorksheet sheet;
    };
    std::vector<Found> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = pathToUtf8(it->path().filename());
        if (!looksLikeWorksheetNumber(name))
            continue;
        std::error_code timeError;
        const auto written = it->last_write_time(timeError);
        try {
            found.push_back({written, listed(it->path(), name)});
        } catch (const RuntimeError&) {
            // Not a worksheet that can be printed; it is not offered.
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.sheet.incomplete != b.sheet.incomplete)
            return b.sheet.incomplete;
        return a.written != b.written ? a.written > b.written : a.sheet.number > b.sheet.number;
    });
    std::vector<ListedWorksheet> sheets;
    sheets.reserve(found.size());
    for (Found& f : found)
        sheets.push_back(std::move(f.sheet));
    return sheets;
}

} // namespace sbk3
