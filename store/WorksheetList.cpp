#include "store/WorksheetList.h"

#include "common/FileExists.h"
#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "common/Text.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <system_error>

namespace sbk3 {
bool looksLikeWorksheetNumber(std::string_view name) {
    if (name.size() < 9 || !IsTypeCode(name.substr(0, 3)))
        return false;
    const std::string_view rest = name.substr(3);
    const std::size_t separator = rest.find_first_of(".,");
    const auto digits = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
    };
    if (separator == std::string_view::npos)
        return rest.size() == 6 && digits(rest);
    // 002.5042: the count's whole part, its fraction, then the random part.
    return separator == 3 && digits(rest.substr(0, 3)) && rest.size() > 7 && digits(rest.substr(4));
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
            found.push_back({written, {name, readWorksheetHeader(it->path()).title}});
        } catch (const RuntimeError&) {
            // Not a worksheet that can be printed; it is not offered.
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.written != b.written ? a.written > b.written : a.sheet.number > b.sheet.number;
    });
    std::vector<ListedWorksheet> sheets;
    sheets.reserve(found.size());
    for (Found& f : found)
        sheets.push_back(std::move(f.sheet));
    return sheets;
}

} // namespace sbk3
