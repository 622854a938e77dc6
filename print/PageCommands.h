#pragma once

#include "common/PageLook.h"
#include "common/SheetState.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sbk3 {

class Dialogs;
class PrinterPort;
class ProblemSurface;
class PositionTable;

// What a page command reads from the main window.
struct PageControls {
    PageLook look;                      // optEasy, chkBold, txtAppend
    std::string decimalSeparator = "."; // the user's locale, for the decimals of a page
};

struct PagePorts {
    Dialogs& dialogs;
    PrinterPort& printer;
    ProblemSurface& picRetPic;
    const PositionTable& ProblemPos;
    std::filesystem::path folder;          // where worksheets are stored
    std::filesystem::path documentsFolder; // where a saved PDF is proposed
};

// The commands that take a stored worksheet to a page: Print Saved and the context menu's page
// items. One row each in the table of PageCommands.cpp, which both the menu and the running
// command read.
struct PageCommand {
    std::string_view objectName = {}; // the menu item's object name
    std::string_view menuText = {};   // the context menu's item; empty for Print Saved, a button
    std::string_view caption = {};    // of the number box and of the boxes that report
    bool answerKey = false;           // the page with its answers
    bool toPdf = false;               // to a PDF file the user picks, not the printer
    bool takesNewSheet = false;       // run from Print/Save, it prints SheetCode without asking
};

std::span<const PageCommand> pageCommands();

// Runs a page command: asks for the number (or takes the new sheet's, or the one given, as the
// worksheet library gives it), finds and reads the worksheet, checks that the layout holds it,
// chooses where the page goes, prints it and tells the user what became of it. Every number box
// offers the stored worksheets while it is typed.
void RunPageCommand(const PageCommand& command, const PageControls& controls, SheetState& state,
                    const PagePorts& ports, const std::string& number = {});

// Prints a stored worksheet again: the new one when PrintNewSheet is set, else the one whose
// number the user types.
void PrintSaved(const PageControls& controls, SheetState& state, const PagePorts& ports);

// Prints stored worksheets (or their answer keys) as one document: each copies times, in the
// order given, every page as Print Saved prints it. A worksheet that cannot be read or that the
// window's layout cannot hold is left out and named. Says in one box what was printed and
// where, and what was left out.
void PrintStoredSheets(const std::vector<std::string>& numbers, int copies, bool answerKey,
                       const PageControls& controls, const PagePorts& ports);

// Why the window's layout cannot take the page of worksheet number, count problems long; empty
// where it can. Easy Reading holds kEasyCapacity problems; an answer key always fits, and so does a
// laid-out page (callers pass easy false for one).
std::string LayoutRefusal(const std::string& number, int count, bool easy, bool answerKey);

// The worksheet file a typed number names: only a plain file name inside the folder; an exact
// match first, else one that differs only in letter case. Nothing for a name that is no plain
// file name there.
std::optional<std::filesystem::path> FindWorksheetFile(const std::filesystem::path& folder,
                                                       const std::string& number);

} // namespace sbk3
