#include "support/Platform.h"

#include <random>
#include <stdexcept>
#include <string>

namespace sbk3::test {

std::filesystem::path makeTemporaryFolder() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("sbk3-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(candidate))
            return candidate;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

bool makeFifo(const std::filesystem::path&) {
    return false; // Windows' named pipes live outside the file system's folders
}

std::optional<std::size_t> openFiles() {
    return std::nullopt;
}

} // namespace sbk3::test
