#pragma once

#include "common/SheetState.h"

#include <filesystem>
#include <functional>
#include <string>

namespace sbk3 {

class Dialogs;
class RandomPort;

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

// Checks the request, stores a new worksheet under a free number and offers to print it.
void PrintSave(const RequestControls& controls, SheetState& state, const PrintSavePorts& ports);

} // namespace sbk3
