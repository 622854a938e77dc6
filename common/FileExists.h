#pragma once

#include <filesystem>
#include <string_view>

namespace sbk3 {

// True when a regular file at path can be opened for reading right now.
// Never creates a file and never leaves one open; any failure gives false.
bool FileExists(const std::filesystem::path& path) noexcept;

// Builds a path from UTF-8 text on every platform.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);

} // namespace sbk3
