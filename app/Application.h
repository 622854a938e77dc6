#pragma once

#include <filesystem>
#include <string>

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

// Where worksheets are kept, and what the user is to be told of it.
struct WorksheetFolder {
    std::filesystem::path folder; // in the system's own form, never through UTF-8
    std::string problem;          // why the per-user folder could not be had; else empty
};

// The program's folder, or the per-user folder where that one is an installed program's or
// cannot be written. Where the per-user folder cannot be made (no home folder, one not
// writable), the program's folder all the same if it can be written, and a problem to tell.
WorksheetFolder chooseWorksheetFolder(const std::filesystem::path& programFolder, bool installed,
                                      const std::filesystem::path& userFolder);
// The same for this program and user. Decided once at start-up.
WorksheetFolder chooseWorksheetFolder();

// The user's documents folder, where a saved PDF is proposed.
std::filesystem::path documentsFolder();

// The system locale's decimal separator, for a non-whole count in a worksheet number.
std::string systemDecimalSeparator();

} // namespace sbk3
