#pragma once

#include "common/ListedWorksheet.h"
#include "common/NativeFile.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace sbk3 {

// True for a name of the form Print/Save gives worksheets: a type code (the table in
// common/ProblemKinds.cpp), the count in three digits (a non-whole count with its separator), three
// digits.
bool looksLikeWorksheetNumber(std::string_view name);

// The most a list reads of one file: the header, and the whole of any worksheet of usual size
// (300 problems take about 4 KB).
inline constexpr std::size_t kListingReadBytes = 8192;

// One stored worksheet as a list shows it, from one bounded read of its first bytes. Nothing
// for anything that is no worksheet: not a regular file, larger than a worksheet can be, or a
// header that does not read with a count a worksheet can have. A FIFO is never waited on.
// Where seen is given, it gets what the open file is (its size, time and identity), worksheet or
// not; it stays as it was where the file could not be opened.
std::optional<ListedWorksheet> readListedWorksheet(const std::filesystem::path& file,
                                                   FileInfo* seen = nullptr);

// True for a folder's entry that may be a worksheet and so may be opened: a name of the number's
// form that is neither a link nor a folder.
bool mayBeWorksheet(const std::filesystem::directory_entry& entry);

// Reads the worksheets stored in folder, in the folder's own order, and hands each to found;
// stops early once stop answers true. Names of another form, links and folders are passed over
// without being opened.
void ScanWorksheets(const std::filesystem::path& folder, const std::function<bool()>& stop,
                    const std::function<void(ListedWorksheet&&)>& found);

// Every worksheet stored in folder, in the folder's own order.
std::vector<ListedWorksheet> ListWorksheets(const std::filesystem::path& folder);

} // namespace sbk3
