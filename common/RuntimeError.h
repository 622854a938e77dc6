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
    // A failed file operation, described by the system's own text for errno.
    static RuntimeError fromErrno(int error);

private:
    int m_number;
    std::string m_description;
};

} // namespace sbk3
