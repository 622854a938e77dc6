#pragma once

#include <filesystem>

class QIcon;

namespace sbk3 {

// Names, version and font substitutions; call once after the QApplication exists.
void configureApplication();

// The program's own 32 x 32 icon.
QIcon applicationIcon();

// The folder that holds the program, or the per-user data folder where that one cannot be
// written (a system-wide install). Decided once at start-up.
std::filesystem::path chooseWorksheetFolder();

// The system locale's decimal separator, for a non-whole count in a worksheet number.
std::string systemDecimalSeparator();

} // namespace sbk3
