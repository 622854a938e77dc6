// The native file calls on POSIX systems: open, write, fsync and their kin.
#include "common/NativeFile.h"

#include "common/RuntimeError.h"

#include <cerrno>
#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sbk3 {

namespace {

SystemWrite systemWrite = nullptr; // the real ::write unless a test replaced it

long writeCall(int fd, const void* data, std::size_t size) {
    return systemWrite ? systemWrite(fd, data, size) : ::write(fd, data, size);
}

// How many writes in a row may move nothing before the file system is taken to be broken.
constexpr int kStalledWrites = 3;

[[noreturn]] void throwErrno(int error) {
    throw RuntimeError(errorNumberOfErrno(error));
}

int openRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd = -1;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

FileIdentity identityOf(const struct stat& data) {
    return {static_cast<std::uint64_t>(data.st_dev), static_cast<std::uint64_t>(data.st_ino)};
}

// fsync on a file system that cannot flush (some FUSE and network mounts) is no failure of ours.
bool flushUnsupported(int error) {
    return error == EINVAL || error == ENOTSUP || error == EROFS;
}

} // namespace

NativeFile::NativeFile(NativeFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

NativeFile::~NativeFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<NativeFile> NativeFile::createNew(const std::filesystem::path& path) {
    // With O_EXCL an existing name fails whatever it is, a dangling link included.
    const int fd = openRetrying(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return std::nullopt;
        throwErrno(errno);
    }
    NativeFile file;
    file.m_fd = fd;
    // A umask that takes the owner's write bit (0222) would make the file's own later appends
    // fail; the rest of the mode stays as the umask has it.
    struct stat data {};
    if (::fstat(fd, &data) == 0 && (data.st_mode & S_IWUSR) == 0)
        ::fchmod(fd, (data.st_mode & 07777) | S_IWUSR);
    return file;
}

NativeFile NativeFile::openForAppend(const std::filesystem::path& path) {
    const int fd = openRetrying(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        throwErrno(errno);
    NativeFile file;
    file.m_fd = fd;
    return file;
}

NativeFile NativeFile::openForReading(const std::filesystem::path& path) {
    // A link is never read through: what was listed, previewed and printed is the file itself.
    const int fd = openRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
    if (fd < 0) {
        // A name too long for the system names no worksheet either.
        if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
            throw RuntimeError(ErrorNumber::FileNotFound);
        if (errno == ELOOP)
            throw RuntimeError(ErrorNumber::BadFileMode); // a link: no worksheet file
        throwErrno(errno);
    }
    NativeFile file;
    file.m_fd = fd;
    return file;
}

bool NativeFile::isOpen() const {
    return m_fd >= 0;
}

namespace {
FileInfo infoOf(const struct stat& data) {
    return {S_ISREG(data.st_mode), static_cast<std::uint64_t>(data.st_size), identityOf(data),
            static_cast<std::int64_t>(data.st_mtime),
            static_cast<std::int64_t>(data.st_mtim.tv_sec) * 1000000000 + data.st_mtim.tv_nsec};
}
} // namespace

FileInfo NativeFile::info() const {
    struct stat data {};
    if (::fstat(m_fd, &data) != 0)
        throwErrno(errno);
    return infoOf(data);
}

void NativeFile::writeAll(std::string_view bytes) {
    int stalled = 0;
    while (!bytes.empty()) {
        const long written = writeCall(m_fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno);
        }
        if (written == 0) {
            if (++stalled == kStalledWrites)
                throw RuntimeError(ErrorNumber::PathFileAccessError);
            continue;
        }
        stalled = 0;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::size_t NativeFile::read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, size);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throwErrno(errno);
    }
}

void NativeFile::flushToDisk() {
    if (::fsync(m_fd) != 0 && !flushUnsupported(errno))
        throwErrno(errno);
}

void NativeFile::close() {
    const int fd = std::exchange(m_fd, -1);
    // Linux releases the descriptor even when close fails, so it is never retried.
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
        throwErrno(errno);
}

void flushFolder(const std::filesystem::path& folder) {
    const int fd = openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        throwErrno(errno);
    const bool failed = ::fsync(fd) != 0 && !flushUnsupported(errno);
    const int error = errno;
    ::close(fd);
    if (failed)
        throwErrno(error);
}

std::optional<FileIdentity> identityAt(const std::filesystem::path& path) noexcept {
    struct stat data {};
    if (::lstat(path.c_str(), &data) != 0)
        return std::nullopt;
    return identityOf(data);
}

std::optional<FileInfo> infoAt(const std::filesystem::path& path) noexcept {
    struct stat data {};
    if (::lstat(path.c_str(), &data) != 0)
        return std::nullopt;
    return infoOf(data);
}

void removeIfSame(const std::filesystem::path& path, const FileIdentity& identity) noexcept {
    if (identityAt(path) == identity)
        ::unlink(path.c_str());
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        throwErrno(errno);
}

std::string currentUserName() {
    const uid_t uid = ::geteuid();
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name)
        return found->pw_name;
    return std::to_string(uid);
}

void prepareProcessForFiles() {
    std::signal(SIGXFSZ, SIG_IGN);
}

void replaceSystemWriteForTests(SystemWrite call) noexcept {
    systemWrite = call;
}

} // namespace sbk3
