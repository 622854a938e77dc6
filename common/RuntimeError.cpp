#include "common/RuntimeError.h"

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace sbk3 {

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(description), m_number(number), m_description(std::move(description)) {}

RuntimeError RuntimeError::fileNotFound() {
    return {53, "File not found"};
}
RuntimeError RuntimeError::inputPastEndOfFile() {
    return {62, "Input past end of file"};
}
RuntimeError RuntimeError::typeMismatch() {
    return {13, "Type mismatch"};
}
RuntimeError RuntimeError::overflow() {
    return {6, "Overflow"};
}
RuntimeError RuntimeError::subscriptOutOfRange() {
    return {9, "Subscript out of range"};
}
RuntimeError RuntimeError::printerError() {
    return {482, "Printer error"};
}

RuntimeError RuntimeError::badFileMode() {
    return {54, "Bad file mode"};
}
RuntimeError RuntimeError::outOfMemory() {
    return {7, "Out of memory"};
}

RuntimeError RuntimeError::fromErrno(int error) {
    int number = 75; // Path/File access error
    switch (error) {
    case ENOSPC:
    case EFBIG:
        number = 61; // Disk full
        break;
    case ENOENT:
    case ENOTDIR:
        number = 76; // Path not found
        break;
    case EACCES:
    case EPERM:
        number = 70; // Permission denied
        break;
    default:
        break;
    }
    return {number, std::strerror(error)};
}

#ifdef _WIN32
RuntimeError RuntimeError::fromWindowsError(unsigned long error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {61, "Disk full"};
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound();
    case ERROR_PATH_NOT_FOUND:
        return {76, "Path not found"};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {70, "Permission denied"};
    default:
        return {75, "Path/File access error"};
    }
}
#endif

} // namespace sbk3
