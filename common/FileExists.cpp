#include "common/FileExists.h"

#include "common/NativeFile.h"

#include <string>

namespace sbk3 {

bool FileExists(const std::filesystem::path& path) noexcept {
    if (path.empty())
        return false;
    // Opened as the reader opens it: a FIFO of that name never blocks the search, and only a
    // regular file counts.
    try {
        return NativeFile::openForReading(path).info().regular;
    } catch (...) {
        return false;
    }
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace sbk3
