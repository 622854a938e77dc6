#pragma once

#include "common/ListedWorksheet.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sbk3 {

// True for a name of the form Print/Save gives worksheets: a type code (the table in
// common/ProblemKinds.cpp), the count in three digits (a non-whole count with its separator), three
// digits.
bool looksLikeWorksheetNumber(std::string_view name);

// The worksheets stored in folder, newest first: every regular file with a worksheet number's
// name whose header reads, with its title. Each file is read bounded, as Print Saved reads it;
// what cannot be read is left out.
std::vector<ListedWorksheet> ListWorksheets(const std::filesystem::path& folder);

} // namespace sbk3
