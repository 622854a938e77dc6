// The freedesktop.org trash, on the system's own calls: paths stay bytes from end to end, so a
// folder whose name is not UTF-8 is trashed and restored like any other.
#include "store/Trash.h"

#include "common/NativeFile.h"
#include "common/RuntimeError.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sbk3 {
namespace {

using std::filesystem::path;

// How many names a file may try in the trash before it gives up: a trash holding a thousand
// files of one name is no reason to loop.
constexpr int kNamesTried = 1000;

[[noreturn]] void fail(int error) {
    throw RuntimeError(errorNumberOfErrno(error));
}

path dataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home)
        throw RuntimeError(ErrorNumber::PathNotFound, "There is no home folder for the trash");
    return path(home) / ".local" / "share";
}

// A folder of the trash, made for this user alone where it is missing; one that is a link, or
// anything but a folder, is never used.
void makeTrashFolder(const path& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0)
        return;
    const int error = errno;
    struct stat data {};
    if (error != EEXIST || ::lstat(folder.c_str(), &data) != 0)
        fail(error);
    if (!S_ISDIR(data.st_mode))
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           "The trash cannot be used: " + folder.string() + " is not a folder");
}

// The folders leading to folder that a new account may not have yet (~/.local/share), made as
// the desktop would, for this user alone.
void makeFoldersForUserAlone(const path& folder) {
    struct stat data {};
    if (folder.empty() || ::stat(folder.c_str(), &data) == 0)
        return;
    if (folder.has_parent_path() && folder.parent_path() != folder)
        makeFoldersForUserAlone(folder.parent_path());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        fail(errno);
}

std::optional<dev_t> deviceOf(const path& at) {
    struct stat data {};
    if (::stat(at.c_str(), &data) != 0)
        return std::nullopt;
    return data.st_dev;
}

// The device of where the home trash is, or would be made: its nearest existing folder's.
dev_t homeTrashDevice(path trash) {
    for (;;) {
        if (const std::optional<dev_t> device = deviceOf(trash))
            return *device;
        if (trash == trash.parent_path())
            fail(ENOENT);
        trash = trash.parent_path();
    }
}

// The top of the file system that holds folder, on device.
path topOf(path folder, dev_t device) {
    while (folder != folder.parent_path() && deviceOf(folder.parent_path()) == device)
        folder = folder.parent_path();
    return folder;
}

// $top/.Trash/UID where the administrator made $top/.Trash (a real folder, sticky), else
// $top/.Trash-UID.
path topTrash(const path& top) {
    const std::string uid = std::to_string(::getuid());
    struct stat shared {};
    if (::lstat((top / ".Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) != 0)
        return top / ".Trash" / uid;
    return top / (".Trash-" + uid);
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

bool entryExists(const path& at) {
    struct stat data {};
    return ::lstat(at.c_str(), &data) == 0 || errno != ENOENT;
}

} // namespace

std::string trashInfoPath(const std::string& bytes) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || c == '-' || c == '_' || c == '.' ||
                           c == '~' || c == '/';
        if (plain) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        }
    }
    return escaped;
}

std::optional<std::string> moveToTrash(const path& file) {
    try {
        struct stat data {};
        if (::lstat(file.c_str(), &data) != 0) {
            if (errno == ENOENT)
                throw RuntimeError(ErrorNumber::FileNotFound);
            fail(errno);
        }
        const path absolute = std::filesystem::absolute(file).lexically_normal();
        const path home = dataHome() / "Trash";
        path trash = home;
        std::string recorded = absolute.string();
        if (homeTrashDevice(home) == data.st_dev) {
            makeFoldersForUserAlone(home.parent_path());
        } else {
            const path top = topOf(absolute.parent_path(), data.st_dev);
            trash = topTrash(top);
            recorded = absolute.lexically_relative(top).string();
        }
        makeTrashFolder(trash);
        makeTrashFolder(trash / "files");
        makeTrashFolder(trash / "info");

        const std::string record = "[Trash Info]\nPath=" + trashInfoPath(recorded) +
                                   "\nDeletionDate=" + deletionDate() + "\n";
        const std::string base = absolute.filename().string();
        for (int k = 1; k <= kNamesTried; ++k) {
            const std::string name = k == 1 ? base : base + "." + std::to_string(k);
            const path info = trash / "info" / (name + ".trashinfo");
            const path target = trash / "files" / name;
            if (entryExists(target))
                continue;
            std::optional<NativeFile> claimed = NativeFile::createNew(info);
            if (!claimed)
                continue; // the name is another trashed file's
            try {
                // The record first, whole and on the disk: a file is never in the trash without
                // the record that puts it back.
                claimed->writeAll(record);
                claimed->flushToDisk();
                claimed->close();
                if (::rename(file.c_str(), target.c_str()) != 0)
                    fail(errno);
            } catch (...) {
                ::unlink(info.c_str());
                throw;
            }
            return std::nullopt;
        }
        return "The trash already holds " + std::to_string(kNamesTried) + " files named " + base;
    } catch (const std::exception& failure) {
        return describeFailure(failure);
    }
}

} // namespace sbk3
