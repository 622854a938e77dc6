#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

namespace sbk3::test {

// What the tests need of the system where POSIX and Windows differ; each half in its own file
// (PlatformPosix.cpp, PlatformWindows.cpp), chosen in CMake; what both share in Platform.cpp.

// A fresh, empty folder in the system's temporary folder.
std::filesystem::path makeTemporaryFolder();

// A FIFO with no writer at path; false where the system has none.
bool makeFifo(const std::filesystem::path& path);

// How many files the process holds open; nothing where they cannot be counted.
std::optional<std::size_t> openFiles();

// True where folder's file system tells names apart by letter case ("a" and "A" both exist).
bool namesDifferByCase(const std::filesystem::path& folder);

} // namespace sbk3::test
