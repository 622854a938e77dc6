#pragma once

#include "worksheet/ClassSet.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sbk3 {

// "Worksheet Settings" as readable text, one setting a line ("first = 100 999"), under a first
// line that names the format and its version: what a named preset file holds, and what is kept
// of the dialog between runs. The PDF file is never kept: it is asked for each time.
inline constexpr std::string_view kPresetFirstLine = "Sumbrook 3 settings 1";

std::string presetText(const ClassSetRequest& request);

// The settings a text holds: the defaults for any setting it leaves out. Nothing where it is
// not settings of this version, with why in a sentence: "it was made by a later version",
// "line 4 is not a setting: ...".
std::optional<ClassSetRequest> parsePreset(std::string_view text, std::string* why = nullptr);

// Named settings, as readable files NAME.preset in a folder beside the worksheets, so that
// colleagues who share the worksheet folder share them too.
std::filesystem::path presetFolder(const std::filesystem::path& worksheetFolder);
std::vector<std::string> presetNames(const std::filesystem::path& folder);
// Why a name cannot be a preset's, in a sentence; nothing when it can.
std::optional<std::string> presetNameProblem(const std::string& name);
// Saving replaces the file whole or not at all; the PDF file is not kept. These throw
// RuntimeError with the reason.
void savePreset(const std::filesystem::path& folder, const std::string& name,
                const ClassSetRequest& request);
void renamePreset(const std::filesystem::path& folder, const std::string& from,
                  const std::string& to);
void deletePreset(const std::filesystem::path& folder, const std::string& name);
// The settings of a preset; nothing where its file cannot be read or is not settings of this
// version, with why. The file is never changed.
std::optional<ClassSetRequest> loadPreset(const std::filesystem::path& folder,
                                          const std::string& name, std::string* why);

} // namespace sbk3
