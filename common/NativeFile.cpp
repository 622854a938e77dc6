#include "common/NativeFile.h"

#include "common/RuntimeError.h"

#include <algorithm>
#include <cerrno>
#include <random>
#include <string>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sbk3 {

#ifdef _WIN32

namespace {

HANDLE handleOf(void* h) {
    return static_cast<HANDLE>(h);
}

[[noreturn]] void throwLastError() {
    throw RuntimeError::fromWindowsError(::GetLastError());
}

} // namespace

NativeFile::NativeFile(NativeFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)) {}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        if (m_handle)
            ::CloseHandle(handleOf(m_handle));
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

NativeFile::~NativeFile() {
    if (m_handle)
        ::CloseHandle(handleOf(m_handle));
}

std::optional<NativeFile> NativeFile::createNew(const std::filesystem::path& path) {
    // CREATE_NEW fails on any existing entry, a link included, and never follows one.
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return std::nullopt;
        // A folder of that name answers "access denied".
        if (error == ERROR_ACCESS_DENIED &&
            ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return std::nullopt;
        throw RuntimeError::fromWindowsError(error);
    }
    NativeFile file;
    file.m_handle = h;
    return file;
}

NativeFile NativeFile::openForAppend(const std::filesystem::path& path) {
    const HANDLE h =
        ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throwLastError();
    NativeFile file;
    file.m_handle = h;
    return file;
}

NativeFile NativeFile::openForReading(const std::filesystem::path& path) {
    const HANDLE h =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            throw RuntimeError::fileNotFound();
        throw RuntimeError::fromWindowsError(error);
    }
    NativeFile file;
    file.m_handle = h;
    return file;
}

bool NativeFile::isOpen() const {
    return m_handle != nullptr;
}

FileInfo NativeFile::info() const {
    BY_HANDLE_FILE_INFORMATION data{};
    if (!::GetFileInformationByHandle(handleOf(m_handle), &data))
        throwLastError();
    FileInfo result;
    result.regular = ::GetFileType(handleOf(m_handle)) == FILE_TYPE_DISK &&
                     (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    result.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    result.identity = {data.dwVolumeSerialNumber,
                       (std::uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow};
    return result;
}

void NativeFile::writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(handleOf(m_handle), bytes.data(), chunk, &written, nullptr))
            throwLastError();
        bytes.remove_prefix(written);
    }
}

std::size_t NativeFile::read(char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(handleOf(m_handle), buffer, chunk, &got, nullptr))
        throwLastError();
    return got;
}

void NativeFile::flushToDisk() {
    if (!::FlushFileBuffers(handleOf(m_handle)))
        throwLastError();
}

void NativeFile::close() {
    const HANDLE h = handleOf(std::exchange(m_handle, nullptr));
    if (h && !::CloseHandle(h))
        throwLastError();
}

void flushFolder(const std::filesystem::path&) {
    // NTFS journals its folder entries; a folder cannot be flushed without backup rights.
}

std::optional<FileIdentity> identityAt(const std::filesystem::path& path) noexcept {
    const HANDLE h = ::CreateFileW(
        path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION data{};
    const bool ok = ::GetFileInformationByHandle(h, &data) != 0;
    ::CloseHandle(h);
    if (!ok)
        return std::nullopt;
    return FileIdentity{data.dwVolumeSerialNumber,
                        (std::uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow};
}

void removeIfSame(const std::filesystem::path& path, const FileIdentity& identity) noexcept {
    if (identityAt(path) == identity)
        ::DeleteFileW(path.c_str());
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwLastError();
}

#else

namespace {

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
        throw RuntimeError::fromErrno(errno);
    }
    NativeFile file;
    file.m_fd = fd;
    return file;
}

NativeFile NativeFile::openForAppend(const std::filesystem::path& path) {
    const int fd = openRetrying(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        throw RuntimeError::fromErrno(errno);
    NativeFile file;
    file.m_fd = fd;
    return file;
}

NativeFile NativeFile::openForReading(const std::filesystem::path& path) {
    const int fd = openRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        // A name too long for the system names no worksheet either.
        if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
            throw RuntimeError::fileNotFound();
        throw RuntimeError::fromErrno(errno);
    }
    NativeFile file;
    file.m_fd = fd;
    return file;
}

bool NativeFile::isOpen() const {
    return m_fd >= 0;
}

FileInfo NativeFile::info() const {
    struct stat data {};
    if (::fstat(m_fd, &data) != 0)
        throw RuntimeError::fromErrno(errno);
    return {S_ISREG(data.st_mode), static_cast<std::uint64_t>(data.st_size), identityOf(data)};
}

void NativeFile::writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw RuntimeError::fromErrno(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::size_t NativeFile::read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, size);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw RuntimeError::fromErrno(errno);
    }
}

void NativeFile::flushToDisk() {
    if (::fsync(m_fd) != 0 && !flushUnsupported(errno))
        throw RuntimeError::fromErrno(errno);
}

void NativeFile::close() {
    const int fd = std::exchange(m_fd, -1);
    // Linux releases the descriptor even when close fails, so it is never retried.
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
        throw RuntimeError::fromErrno(errno);
}

void flushFolder(const std::filesystem::path& folder) {
    const int fd = openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        throw RuntimeError::fromErrno(errno);
    const bool failed = ::fsync(fd) != 0 && !flushUnsupported(errno);
    const int error = errno;
    ::close(fd);
    if (failed)
        throw RuntimeError::fromErrno(error);
}

std::optional<FileIdentity> identityAt(const std::filesystem::path& path) noexcept {
    struct stat data {};
    if (::lstat(path.c_str(), &data) != 0)
        return std::nullopt;
    return identityOf(data);
}

void removeIfSame(const std::filesystem::path& path, const FileIdentity& identity) noexcept {
    if (identityAt(path) == identity)
        ::unlink(path.c_str());
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw RuntimeError::fromErrno(errno);
}

#endif

void replaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    const std::filesystem::path folder = target.parent_path();
    std::optional<NativeFile> file;
    std::filesystem::path temporary;
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        std::string suffix(1, '.');
        suffix += std::to_string(seed() % 1000000u);
        suffix += ".part";
        temporary = target;
        temporary += suffix;
        file = NativeFile::createNew(temporary);
    }
    if (!file)
        throw RuntimeError::fromErrno(EEXIST);
    const FileIdentity identity = file->info().identity;
    try {
        file->writeAll(bytes);
        file->flushToDisk();
        file->close();
        replaceFile(temporary, target);
    } catch (...) {
        *file = NativeFile();
        removeIfSame(temporary, identity);
        throw;
    }
    try {
        flushFolder(folder);
    } catch (const RuntimeError&) {
        // The new contents are in place; only their folder entry may not have reached the disk.
    }
}

} // namespace sbk3
