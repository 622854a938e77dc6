#pragma once

#include "common/SheetState.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace sbk3 {

class Dialogs;
class NewWorksheetFile;
class RandomPort;
class WorksheetAppender;

// What the main window's controls hold when Print/Save is pressed. The boxes it opens are modal,
// so the controls cannot change while the command runs.
struct RequestControls {
    std::string numOfProblems; // txtNumOfProblems
    bool easy = true;          // optEasy
    std::string typeName;      // cboType
    std::string title;         // txtTitle
};

struct PrintSavePorts {
    Dialogs& dialogs;
    RandomPort& random;
    std::filesystem::path folder;       // where worksheets are stored
    std::string decimalSeparator = "."; // the user's locale, for a non-whole count
    std::function<void()> printSaved;   // Print Saved on the same window
};

inline constexpr const char* kAllNumbersTaken = "Sorry please delete some worksheets!";

// Creates a new worksheet file with its header under the first drawn number that is free: the
// stem in SheetCode, then a random part. FileExists is the quick test of a draw; the exclusive
// creation has the last word, so a name taken in any form, or by another copy of the program a
// moment ago, is drawn again. The title's first "(N)" becomes the number. Nothing after 1000
// draws hit taken numbers; then SheetCode keeps the stem. A laid-out worksheet's header carries
// its mark.
std::optional<NewWorksheetFile> CreateUnderFreeNumber(const std::string& title, int problems,
                                                      std::string& SheetCode,
                                                      const std::filesystem::path& folder,
                                                      RandomPort& random, bool laidOut = false);

// count lines, each by its own open, append and close, so every line is on disk before the
// next; then the whole file is flushed once, before its number is shown to anyone.
void WriteLines(const NewWorksheetFile& file, int count,
                const std::function<void(WorksheetAppender&)>& writeLine);

// Checks the request, stores a new worksheet under a free number and offers to print it.
void PrintSave(const RequestControls& controls, SheetState& state, const PrintSavePorts& ports);

} // namespace sbk3
