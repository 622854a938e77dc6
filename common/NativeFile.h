#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace sbk3 {

// Who a file is on disk: device and inode (volume serial and file index on Windows). A name
// that is removed and made again leads to another identity.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

struct FileInfo {
    bool regular = false;
    std::uint64_t size = 0;
    FileIdentity identity;
};

// An open file on the system's own calls, closed when it goes. Every failure throws
// RuntimeError with the system's reason.
class NativeFile {
public:
    NativeFile() = default;
    NativeFile(NativeFile&& other) noexcept;
    NativeFile& operator=(NativeFile&& other) noexcept;
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;
    ~NativeFile();

    // Creates the file for writing only where no entry of that name exists in any form (file,
    // folder, FIFO, link, dangling link); nothing when one does. Never writes through a link.
    static std::optional<NativeFile> createNew(const std::filesystem::path& path);
    // An existing file opened for appending; not created, and not through a link.
    static NativeFile openForAppend(const std::filesystem::path& path);
    // Opened for reading without waiting on a FIFO's writer; File not found when missing.
    static NativeFile openForReading(const std::filesystem::path& path);

    bool isOpen() const;
    FileInfo info() const;
    // All of bytes, or an error.
    void writeAll(std::string_view bytes);
    // Up to size bytes; 0 at the end.
    std::size_t read(char* buffer, std::size_t size);
    // Waits until what was written is on the disk itself.
    void flushToDisk();
    // Closes the file; a failure to write back shows up here.
    void close();

private:
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

// Flushes a folder's entries, so a name just made in it survives a power cut.
void flushFolder(const std::filesystem::path& folder);

// The entry at path itself, a link not followed; nothing when there is none.
std::optional<FileIdentity> identityAt(const std::filesystem::path& path) noexcept;

// Removes path, but only while it still is the file known by identity; never throws.
void removeIfSame(const std::filesystem::path& path, const FileIdentity& identity) noexcept;

// Moves from over to, replacing whatever to is (a link at to is replaced, not followed).
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Puts bytes at target as a whole or not at all: written to a new file beside it, every write
// checked, flushed, then moved over target. On any failure target is as it was and the new
// file is gone; a link at target is replaced, never written through.
void replaceFileContents(const std::filesystem::path& target, std::string_view bytes);

} // namespace sbk3
