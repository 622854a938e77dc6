#include "support/Pdf.h"

#include "print/SystemPrinter.h"

#include <array>
#include <cstdio>
#include <regex>

namespace sbk3::test {

bool aSystemPrinterIsSetUp() {
    return defaultSystemPrinter().has_value();
}

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

std::vector<PdfWord> pdfWords(const std::filesystem::path& pdf) {
    const std::string html =
        commandOutput("pdftotext -bbox -l 1 " + shellQuote(pdf.string()) + " - 2>/dev/null");
    static const std::regex word(R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" )re"
                                 R"re(xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
    std::vector<PdfWord> words;
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it) {
        const std::smatch& m = *it;
        words.push_back({m[5].str(), std::stod(m[1].str()), std::stod(m[2].str()),
                         std::stod(m[3].str()), std::stod(m[4].str())});
    }
    return words;
}

std::vector<unsigned char> pdfGreys(const std::filesystem::path& pdf, int x, int y, int width,
                                    int height) {
    const std::string pgm =
        commandOutput("pdftoppm -r 72 -gray -singlefile -x " + std::to_string(x) + " -y " +
                      std::to_string(y) + " -W " + std::to_string(width) + " -H " +
                      std::to_string(height) + " " + shellQuote(pdf.string()) + " 2>/dev/null");
    // "P5\n<w> <h>\n255\n" and then one byte a pixel.
    std::size_t at = 0;
    for (int fields = 0; fields < 4 && at < pgm.size(); ++fields) {
        at = pgm.find_first_of(" \n", at);
        if (at == std::string::npos)
            return {};
        ++at;
    }
    if (pgm.size() - at != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    return std::vector<unsigned char>(pgm.begin() + static_cast<std::ptrdiff_t>(at), pgm.end());
}

} // namespace sbk3::test
