#pragma once

#include <filesystem>

class QIcon;
class QString;

namespace sbk3 {

// Names, version and font substitutions; call once after the QApplication exists.
void configureApplication();

// The program's own 32 x 32 icon.
QIcon applicationIcon();

// True for the folder of an installed program: the configured install's program folder, any
// folder named bin (so an install under any prefix, ~/.local included), anything under /usr.
bool isInstalledProgramFolder(const QString& folder, const QString& configuredBinDir);

// The folder that holds the program, or the per-user data folder where that one is an
// installed program's or cannot be written. Decided once at start-up.
std::filesystem::path chooseWorksheetFolder();

// The user's documents folder, where a saved PDF is proposed.
std::filesystem::path documentsFolder();

// The system locale's decimal separator, for a non-whole count in a worksheet number.
std::string systemDecimalSeparator();

} // namespace sbk3
