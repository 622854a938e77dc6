// What the native files do alike on every system, on the calls of NativeFilePosix.cpp or
// NativeFileWindows.cpp.
#include "common/NativeFile.h"

#include "common/FileExists.h"
#include "common/RuntimeError.h"

#include <cerrno>
#include <random>
#include <string>

namespace sbk3 {

namespace {

// The longest name a folder entry may have on the systems the program runs on: 255 bytes on
// Linux, 255 UTF-16 units on Windows.
constexpr std::size_t kNameLimit = 255;

} // namespace

std::filesystem::path temporaryNameFor(const std::filesystem::path& target,
                                       std::string_view suffix) {
    auto name = target.filename().native();
    const std::filesystem::path::string_type tail(suffix.begin(), suffix.end());
    if (name.size() + tail.size() > kNameLimit)
        name.resize(kNameLimit - tail.size());
    return target.parent_path() / (name + tail);
}

void replaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    const std::filesystem::path folder = target.parent_path();
    std::optional<NativeFile> file;
    std::filesystem::path temporary;
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        std::string suffix(1, '.');
        suffix += std::to_string(seed() % 1000000u);
        suffix += ".part";
        temporary = temporaryNameFor(target, suffix);
        file = NativeFile::createNew(temporary);
    }
    if (!file)
        throw RuntimeError(errorNumberOfErrno(EEXIST));
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

std::filesystem::path replaceFileContentsOrBeside(const std::filesystem::path& target,
                                                  std::string_view bytes) {
    try {
        replaceFileContents(target, bytes);
        return target;
    } catch (const RuntimeError& error) {
        if (error.code() != ErrorNumber::PermissionDenied)
            throw;
    }
    std::filesystem::path own = target;
    own.replace_filename(target.stem().native() + pathFromUtf8("-" + currentUserName()).native() +
                         target.extension().native());
    replaceFileContents(own, bytes);
    return own;
}

} // namespace sbk3
