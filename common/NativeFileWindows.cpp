// The native file calls on Windows: CreateFileW and its kin.
#include "common/NativeFile.h"

#include "common/FileExists.h"
#include "common/RuntimeError.h"

#include <algorithm>
#include <utility>

#include <windows.h>

namespace sbk3 {

namespace {

HANDLE handleOf(void* h) {
    return static_cast<HANDLE>(h);
}

ErrorNumber errorNumberOfWindowsError(DWORD error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorNumber::DiskFull;
    case ERROR_FILE_NOT_FOUND:
        return ErrorNumber::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
        return ErrorNumber::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return ErrorNumber::PermissionDenied;
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

[[noreturn]] void throwWindowsError(DWORD error) {
    throw RuntimeError(errorNumberOfWindowsError(error));
}

[[noreturn]] void throwLastError() {
    throwWindowsError(::GetLastError());
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
        throwWindowsError(error);
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
    const HANDLE h = ::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            throw RuntimeError(ErrorNumber::FileNotFound);
        throwWindowsError(error);
    }
    NativeFile file;
    file.m_handle = h;
    // A link (a reparse point) is opened as itself and never read through.
    BY_HANDLE_FILE_INFORMATION data{};
    if (::GetFileInformationByHandle(h, &data) &&
        (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        throw RuntimeError(ErrorNumber::BadFileMode);
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
    // FILETIME counts 100 ns steps since 1601.
    const std::uint64_t ticks = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                data.ftLastWriteTime.dwLowDateTime;
    result.modified = static_cast<std::int64_t>(ticks / 10000000u) - 11644473600;
    result.modifiedNs = static_cast<std::int64_t>(ticks) * 100;
    return result;
}

void NativeFile::writeAll(std::string_view bytes) {
    int stalled = 0;
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(handleOf(m_handle), bytes.data(), chunk, &written, nullptr))
            throwLastError();
        if (written == 0) {
            if (++stalled == 3) // a write that moves nothing is no progress: never a loop
                throw RuntimeError(ErrorNumber::PathFileAccessError);
            continue;
        }
        stalled = 0;
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

std::optional<FileInfo> infoAt(const std::filesystem::path& path) noexcept {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    FileInfo result;
    result.regular =
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    result.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    const std::uint64_t ticks = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                data.ftLastWriteTime.dwLowDateTime;
    result.modified = static_cast<std::int64_t>(ticks / 10000000u) - 11644473600;
    result.modifiedNs = static_cast<std::int64_t>(ticks) * 100;
    // Who it is, as an open file's info() says it: the two compare equal for the same file.
    if (const std::optional<FileIdentity> identity = identityAt(path))
        result.identity = *identity;
    return result;
}

void removeIfSame(const std::filesystem::path& path, const FileIdentity& identity) noexcept {
    if (identityAt(path) == identity)
        ::DeleteFileW(path.c_str());
}

std::string currentUserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    if (!::GetUserNameW(name, &size) || size <= 1)
        return "user";
    return pathToUtf8(std::filesystem::path(std::wstring(name, size - 1)));
}

void prepareProcessForFiles() {
    // No signal ends a process for a file's size on Windows.
}

void replaceSystemWriteForTests(SystemWrite) noexcept {}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwLastError();
}

} // namespace sbk3
