#include "common/FileExists.h"

#include <string>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sbk3 {

bool FileExists(const std::filesystem::path& path) noexcept {
    if (path.empty())
        return false;
#ifdef _WIN32
    try {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec))
            return false;
        std::ifstream in(path, std::ios::binary);
        return in.is_open();
    } catch (...) {
        return false;
    }
#else
    // O_NONBLOCK keeps a FIFO of that name from blocking the search; only regular files count.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
#endif
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace sbk3
