#pragma once

#include <filesystem>
#include <string>

namespace sbk3::test {

// Output of a command run through the shell; empty when it fails.
std::string commandOutput(const std::string& command);

// The text of a PDF as poppler's pdftotext reads it, in physical layout.
std::string pdfText(const std::filesystem::path& pdf);

// "Pages:", "Page size:" and the rest of pdfinfo's report.
std::string pdfInfo(const std::filesystem::path& pdf);

// Quotes a path for the shell.
std::string shellQuote(const std::string& text);

} // namespace sbk3::test
