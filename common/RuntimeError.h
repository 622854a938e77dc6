#pragma once

#include <stdexcept>
#include <string>

namespace sbk3 {

// The run-time error numbers the program raises, as the runtime it stands in for numbers them.
enum class ErrorNumber : int {
    Overflow = 6,
    OutOfMemory = 7, // the program's word for "larger than any worksheet can be"
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    FileNotFound = 53,
    BadFileMode = 54, // not a regular file
    DiskFull = 61,
    InputPastEndOfFile = 62,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    PrinterError = 482,
};

// The program's own English description of a number, the same in every locale.
const char* describe(ErrorNumber number);

// A failure raised on purpose, numbered and described like the run-time errors it stands for:
// throw RuntimeError(ErrorNumber::FileNotFound), or with a description of its own where the
// number's own says too little (a printer's reason). Print Saved decides what to tell the user
// from the description.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorNumber number);
    RuntimeError(ErrorNumber number, std::string description);

    ErrorNumber code() const { return m_number; }
    int number() const { return static_cast<int>(m_number); }
    const std::string& description() const { return m_description; }

private:
    ErrorNumber m_number;
    std::string m_description;
};

// The number for a failed system call's errno.
ErrorNumber errorNumberOfErrno(int error);

// The description of any failure: a RuntimeError's own, "Out of memory" for an allocation that
// failed, else what the exception says.
std::string describeFailure(const std::exception& failure);

// Print Saved's rule for "This number is either deleted or doesn't exist!": a failure whose
// description begins with a capital F, as "File not found" does and no other description of
// the program's does. It goes by the description, as the command always has; since every
// description is the program's own English text, it holds in every language.
bool meansMissingWorksheet(const std::string& description);

} // namespace sbk3
