#include "store/WorksheetList.h"

#include "common/Capacity.h"
#include "common/FileExists.h"
#include "common/NativeFile.h"
#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "common/Text.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace sbk3 {

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

std::optional<ListedWorksheet> readListedWorksheet(const std::filesystem::path& file,
                                                   FileInfo* seen) {
    try {
        NativeFile opened = NativeFile::openForReading(file);
        const FileInfo info = opened.info();
        if (seen)
            *seen = info;
        if (!info.regular || info.size > kMaxWorksheetBytes)
            return std::nullopt;
        std::string bytes(kListingReadBytes, '\0');
        std::size_t used = 0;
        while (used < bytes.size()) {
            const std::size_t got = opened.read(bytes.data() + used, bytes.size() - used);
            if (got == 0)
                break;
            used += got;
        }
        opened.close();
        bytes.resize(used);
        const bool whole = used < kListingReadBytes;
        if (!whole) {
            // Only whole lines: a count cut short would read as another number.
            const std::size_t lastLineEnd = bytes.find_last_of('\n');
            if (lastLineEnd == std::string::npos)
                return std::nullopt;
            bytes.resize(lastLineEnd + 1);
        }
        const SavedWorksheet header = parseWorksheet(bytes, true);
        if (header.count < 1 || header.count > kMaxProblems)
            return std::nullopt;
        ListedWorksheet sheet{pathToUtf8(file.filename()), header.title, false, header.count,
                              info.modified};
        if (header.set) {
            sheet.setKey = header.set->key;
            sheet.setPlace = header.set->place;
        }
        if (whole) {
            try {
                parseWorksheet(bytes);
            } catch (const RuntimeError& error) {
                sheet.incomplete = error.code() == ErrorNumber::InputPastEndOfFile;
            }
        }
        return sheet;
    } catch (const RuntimeError&) {
        return std::nullopt; // gone since it was listed, unreadable or garbled
    }
}

bool mayBeWorksheet(const std::filesystem::directory_entry& entry) {
    // The entry's type comes with the folder's listing on most systems: no call per name.
    std::error_code typeError;
    return !entry.is_symlink(typeError) && !entry.is_directory(typeError) &&
           looksLikeWorksheetNumber(pathToUtf8(entry.path().filename()));
}

void ScanWorksheets(const std::filesystem::path& folder, const std::function<bool()>& stop,
                    const std::function<void(ListedWorksheet&&)>& found) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (stop())
            return;
        if (!mayBeWorksheet(*it))
            continue;
        if (std::optional<ListedWorksheet> sheet = readListedWorksheet(it->path()))
            found(std::move(*sheet));
    }
}

std::vector<ListedWorksheet> ListWorksheets(const std::filesystem::path& folder) {
    std::vector<ListedWorksheet> sheets;
    ScanWorksheets(
        folder, [] { return false; },
        [&](ListedWorksheet&& sheet) { sheets.push_back(std::move(sheet)); });
    return sheets;
}

} // namespace sbk3
