#pragma once

#include "worksheet/ClassSet.h"

#include <filesystem>
#include <string>

namespace sbk3 {

class Dialogs;
class PositionTable;
class PrinterPort;
class ProblemSurface;

// What the class set takes from the main window: the title, and the page as every print has it.
struct ClassSetWindow {
    std::string title; // txtTitle
    bool easy = true;  // optEasy
    int chkBold = 0;
    std::string txtAppend;
};

struct ClassSetPorts {
    Dialogs& dialogs;
    PrinterPort& printer;
    ProblemSurface& picRetPic;
    const PositionTable& ProblemPos;
    RandomPort& random;
    std::filesystem::path folder;
    std::string decimalSeparator = ".";
};

inline constexpr const char* kClassSetCaption = "New Worksheets with Settings";

// Makes the versions, stores each as Print/Save stores a worksheet, then prints all their pages
// (copies, and keys after each or at the end) as one job or one PDF file, and says in one box
// what was made and where it went; or which version failed, with the ones before it stored.
void MakeClassSet(const ClassSetRequest& request, const ClassSetWindow& window,
                  const ClassSetPorts& ports);

} // namespace sbk3
