#pragma once

// POSIX only: a print server that takes every connection and never answers, for the GUI tests.
#include <cstdlib>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sbk3::test {

// Listens on the loopback and never accepts: the system completes each connection, so the print
// system's client sends its question and waits for an answer that never comes. CUPS_SERVER points
// there while it lives.
class SilentPrintServer {
public:
    SilentPrintServer() : m_socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(m_socket, 64);
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size);
        if (const char* old = std::getenv("CUPS_SERVER"))
            m_old = old;
        const std::string server = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
        ::setenv("CUPS_SERVER", server.c_str(), 1);
    }
    ~SilentPrintServer() {
        m_old.empty() ? ::unsetenv("CUPS_SERVER") : ::setenv("CUPS_SERVER", m_old.c_str(), 1);
        ::close(m_socket);
    }
    SilentPrintServer(const SilentPrintServer&) = delete;
    SilentPrintServer& operator=(const SilentPrintServer&) = delete;

private:
    int m_socket;
    std::string m_old;
};

} // namespace sbk3::test
