#include "support/Pdf.h"

#include <array>
#include <cstdio>

namespace sbk3::test {

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string commandOutput(const std::string& command) {
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::string output;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), got);
    return ::pclose(pipe) == 0 ? output : std::string();
}

std::string pdfText(const std::filesystem::path& pdf) {
    return commandOutput("pdftotext -layout " + shellQuote(pdf.string()) + " - 2>/dev/null");
}

std::string pdfInfo(const std::filesystem::path& pdf) {
    return commandOutput("pdfinfo " + shellQuote(pdf.string()) + " 2>/dev/null");
}

} // namespace sbk3::test
