#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sbk3::test {

// Output of a command run through the shell; empty when it fails.
std::string commandOutput(const std::string& command);

// The text of a PDF as poppler's pdftotext reads it, in physical layout.
std::string pdfText(const std::filesystem::path& pdf);

// "Pages:", "Page size:" and the rest of pdfinfo's report.
std::string pdfInfo(const std::filesystem::path& pdf);

// A word of the first page as pdftotext -bbox places it, in points from the page's top left.
struct PdfWord {
    std::string text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
std::vector<PdfWord> pdfWords(const std::filesystem::path& pdf);

// Grey levels (255 white) of a rectangle of the first page at 72 dpi: one pixel a point.
std::vector<unsigned char> pdfGreys(const std::filesystem::path& pdf, int x, int y, int width,
                                    int height);

// True where the system has a default printer: pages then go there, not to the PDF stand-in.
bool aSystemPrinterIsSetUp();

// Quotes a path for the shell.
std::string shellQuote(const std::string& text);

} // namespace sbk3::test
