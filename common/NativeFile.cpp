// What the native files do alike on every system, on the calls of NativeFilePosix.cpp or
// NativeFileWindows.cpp.
#include "common/NativeFile.h"

#include "common/RuntimeError.h"

#include <cerrno>
#include <random>
#include <string>

namespace sbk3 {

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

} // namespace sbk3
