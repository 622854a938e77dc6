#include "support/Platform.h"

#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>
#include <sys/stat.h>

namespace sbk3::test {

std::filesystem::path makeTemporaryFolder() {
    const std::string pattern =
        (std::filesystem::temp_directory_path() / "sbk3-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return buffer.data();
}

bool makeFifo(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

std::optional<std::size_t> openFiles() {
    std::error_code ec;
    std::filesystem::directory_iterator descriptors("/proc/self/fd", ec);
    if (ec)
        return std::nullopt;
    return static_cast<std::size_t>(
        std::distance(descriptors, std::filesystem::directory_iterator()));
}

} // namespace sbk3::test
