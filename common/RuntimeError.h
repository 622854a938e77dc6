#pragma once

#include <stdexcept>
#include <string>

namespace sbk3 {

// A failure raised on purpose, numbered and described like the run-time errors it stands for.
// Print Saved decides what to tell the user from the description.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::string description);

    int number() const { return m_number; }
    const std::string& description() const { return m_description; }

    static RuntimeError fileNotFound();        // 53
    static RuntimeError inputPastEndOfFile();  // 62
    static RuntimeError typeMismatch();        // 13
    static RuntimeError overflow();            // 6
    static RuntimeError subscriptOutOfRange(); // 9
    static RuntimeError printerError();        // 482
    static RuntimeError badFileMode();         // 54: not a regular file
    static RuntimeError outOfMemory();         // 7: larger than any worksheet can be
    // A failed file operation, described by the system's own text for errno.
    static RuntimeError fromErrno(int error);
#ifdef _WIN32
    // The same for a Windows error code (GetLastError).
    static RuntimeError fromWindowsError(unsigned long error);
#endif

private:
    int m_number;
    std::string m_description;
};

} // namespace sbk3
