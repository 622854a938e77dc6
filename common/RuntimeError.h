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

// A failure raised on purpose, numbered and described like the run-time errors it stands for.
// Print Saved decides what to tell the user from the description.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::string description);
    explicit RuntimeError(ErrorNumber number);

    int number() const { return m_number; }
    ErrorNumber code() const { return static_cast<ErrorNumber>(m_number); }
    const std::string& description() const { return m_description; }

    static RuntimeError fileNotFound();        // 53
    static RuntimeError inputPastEndOfFile();  // 62
    static RuntimeError typeMismatch();        // 13
    static RuntimeError overflow();            // 6
    static RuntimeError subscriptOutOfRange(); // 9
    static RuntimeError printerError();        // 482
    static RuntimeError badFileMode();         // 54: not a regular file
    static RuntimeError outOfMemory();         // 7: larger than any worksheet can be
    // A failed file operation by its errno, numbered and described by the program's own text.
    static RuntimeError fromErrno(int error);
#ifdef _WIN32
    // The same for a Windows error code (GetLastError).
    static RuntimeError fromWindowsError(unsigned long error);
#endif

private:
    int m_number;
    std::string m_description;
};

// Print Saved's rule for "This number is either deleted or doesn't exist!": a failure whose
// description begins with a capital F, as "File not found" does and no other description of
// the program's does. It goes by the description, as the command always has; since every
// description is the program's own English text, it holds in every language.
bool meansMissingWorksheet(const std::string& description);

} // namespace sbk3
