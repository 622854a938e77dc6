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
    std::int64_t modified = 0;   // last written, in seconds since 1970 (UTC)
    std::int64_t modifiedNs = 0; // the same, in nanoseconds where the system keeps them

    bool operator==(const FileInfo&) const = default;
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
    // Its owner may write it whatever the umask, so later appends to it succeed.
    static std::optional<NativeFile> createNew(const std::filesystem::path& path);
    // An existing file opened for appending; not created, and not through a link.
    static NativeFile openForAppend(const std::filesystem::path& path);
    // Opened for reading without waiting on a FIFO's writer and never through a link (Bad file
    // mode); File not found when missing.
    static NativeFile openForReading(const std::filesystem::path& path);

    bool isOpen() const;
    FileInfo info() const;
    // All of bytes, or an error; a write that makes no progress, tried again a few times, is
    // an error too, never a loop.
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

// What the entry at path is, a link not followed (a link is no regular file); nothing when there
// is none or it cannot be asked. No file is opened.
std::optional<FileInfo> infoAt(const std::filesystem::path& path) noexcept;

// Removes path, but only while it still is the file known by identity; never throws.
void removeIfSame(const std::filesystem::path& path, const FileIdentity& identity) noexcept;

// Moves from over to, replacing whatever to is (a link at to is replaced, not followed).
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Puts bytes at target as a whole or not at all: written to a new file beside it, every write
// checked, flushed, then moved over target. On any failure target is as it was and the new
// file is gone; a link at target is replaced, never written through. The temporary name stays
// within the system's limit for a name, however long target's is.
void replaceFileContents(const std::filesystem::path& target, std::string_view bytes);

// The same, but where target may not be replaced (another user's file in a shared folder with
// the sticky bit, or a file not writable) the bytes go beside it under a name of this user's
// own, NAME-USER.ext. Returns where they went.
std::filesystem::path replaceFileContentsOrBeside(const std::filesystem::path& target,
                                                  std::string_view bytes);

// The temporary name replaceFileContents writes to first: target's name with suffix, its stem
// shortened where the whole would pass the system's limit for a name.
std::filesystem::path temporaryNameFor(const std::filesystem::path& target,
                                       std::string_view suffix);

// The name of the user the program runs as, for a file name: the login name, or the user's
// number where there is none.
std::string currentUserName();

// What the program sets up for its files once, at its start: a file-size limit makes a write
// fail with "Disk full" instead of ending the program (SIGXFSZ is ignored on POSIX systems).
void prepareProcessForFiles();

// Tests make a file system misbehave through this: the system's write call, replaced (nullptr
// puts the real one back). POSIX only; elsewhere it is ignored.
using SystemWrite = long (*)(int fd, const void* data, std::size_t size);
void replaceSystemWriteForTests(SystemWrite call) noexcept;

} // namespace sbk3
