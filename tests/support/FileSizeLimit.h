#pragma once

// POSIX only: included by the tests that CMake builds where there is RLIMIT_FSIZE.
#include <csignal>
#include <sys/resource.h>

namespace sbk3::test {

// A full disk for this process: files cannot grow past bytes while it lives. SIGXFSZ is
// ignored, so a write past the limit fails with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        set(bytes);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    void set(rlim_t bytes) {
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }

private:
    rlimit m_old{};
    void (*m_handler)(int);
};

} // namespace sbk3::test
