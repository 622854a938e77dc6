#include "common/RuntimeError.h"

#include <cerrno>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace sbk3 {

const char* describe(ErrorNumber number) {
    switch (number) {
    case ErrorNumber::Overflow:
        return "Overflow";
    case ErrorNumber::OutOfMemory:
        return "Out of memory";
    case ErrorNumber::SubscriptOutOfRange:
        return "Subscript out of range";
    case ErrorNumber::TypeMismatch:
        return "Type mismatch";
    case ErrorNumber::FileNotFound:
        return "File not found";
    case ErrorNumber::BadFileMode:
        return "Bad file mode";
    case ErrorNumber::DiskFull:
        return "Disk full";
    case ErrorNumber::InputPastEndOfFile:
        return "Input past end of file";
    case ErrorNumber::PermissionDenied:
        return "Permission denied";
    case ErrorNumber::PathFileAccessError:
        return "Path/File access error";
    case ErrorNumber::PathNotFound:
        return "Path not found";
    case ErrorNumber::PrinterError:
        return "Printer error";
    }
    return "Application-defined or object-defined error";
}

bool meansMissingWorksheet(const std::string& description) {
    return !description.empty() && description.front() == 'F';
}

RuntimeError::RuntimeError(ErrorNumber number)
    : RuntimeError(static_cast<int>(number), describe(number)) {}

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(description), m_number(number), m_description(std::move(description)) {}

RuntimeError RuntimeError::fileNotFound() {
    return RuntimeError(ErrorNumber::FileNotFound);
}
RuntimeError RuntimeError::inputPastEndOfFile() {
    return RuntimeError(ErrorNumber::InputPastEndOfFile);
}
RuntimeError RuntimeError::typeMismatch() {
    return RuntimeError(ErrorNumber::TypeMismatch);
}
RuntimeError RuntimeError::overflow() {
    return RuntimeError(ErrorNumber::Overflow);
}
RuntimeError RuntimeError::subscriptOutOfRange() {
    return RuntimeError(ErrorNumber::SubscriptOutOfRange);
}
RuntimeError RuntimeError::printerError() {
    return RuntimeError(ErrorNumber::PrinterError);
}

RuntimeError RuntimeError::badFileMode() {
    return RuntimeError(ErrorNumber::BadFileMode);
}
RuntimeError RuntimeError::outOfMemory() {
    return RuntimeError(ErrorNumber::OutOfMemory);
}

RuntimeError RuntimeError::fromErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return RuntimeError(ErrorNumber::DiskFull);
    case ENOENT:
    case ENOTDIR:
        return RuntimeError(ErrorNumber::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
        return RuntimeError(ErrorNumber::PermissionDenied);
    default:
        return RuntimeError(ErrorNumber::PathFileAccessError);
    }
}

#ifdef _WIN32
RuntimeError RuntimeError::fromWindowsError(unsigned long error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return RuntimeError(ErrorNumber::DiskFull);
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound();
    case ERROR_PATH_NOT_FOUND:
        return RuntimeError(ErrorNumber::PathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return RuntimeError(ErrorNumber::PermissionDenied);
    default:
        return RuntimeError(ErrorNumber::PathFileAccessError);
    }
}
#endif

} // namespace sbk3
