#include "common/RuntimeError.h"

#include <cerrno>
#include <new>
#include <utility>

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

RuntimeError::RuntimeError(ErrorNumber number) : RuntimeError(number, describe(number)) {}

RuntimeError::RuntimeError(ErrorNumber number, std::string description)
    : std::runtime_error(description), m_number(number), m_description(std::move(description)) {}

ErrorNumber errorNumberOfErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return ErrorNumber::DiskFull;
    case ENOENT:
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorNumber::PermissionDenied;
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

std::string describeFailure(const std::exception& failure) {
    if (const auto* error = dynamic_cast<const RuntimeError*>(&failure))
        return error->description();
    if (dynamic_cast<const std::bad_alloc*>(&failure))
        return describe(ErrorNumber::OutOfMemory);
    return failure.what();
}

} // namespace sbk3
