#pragma once

#include "common/SheetState.h"

#include <filesystem>
#include <optional>
#include <string>

namespace sbk3 {

class Dialogs;
class PrinterPort;
class ProblemSurface;
class PositionTable;

// What Print Saved reads from the main window.
struct PrintSavedControls {
    bool easy = true;      // optEasy
    int chkBold = 0;       // chkBold
    std::string txtAppend; // txtAppend
};

struct PrintSavedPorts {
    Dialogs& dialogs;
    PrinterPort& printer;
    ProblemSurface& picRetPic;
    const PositionTable& ProblemPos;
    std::filesystem::path folder;          // where worksheets are stored
    std::filesystem::path documentsFolder; // where a saved PDF is proposed
};

// The worksheet file a typed number names: only a plain file name inside the folder; an exact
// match first, else one that differs only in letter case. Nothing for a name that is no plain
// file name there.
std::optional<std::filesystem::path> FindWorksheetFile(const std::filesystem::path& folder,
                                                       const std::string& number);

// Prints a stored worksheet again: the new one when PrintNewSheet is set, else the one whose
// number the user types. Every number box offers the stored worksheets while it is typed.
void PrintSaved(const PrintSavedControls& controls, SheetState& state,
                const PrintSavedPorts& ports);

// Prints a stored worksheet's answer key: its page as Print Saved makes it, the title ending in
// " - Answer Key", each problem with its answer.
void PrintAnswerKey(const PrintSavedControls& controls, SheetState& state,
                    const PrintSavedPorts& ports);

// Saves a stored worksheet's page, or its answer key, as a PDF file the user picks.
void SavePdf(bool answerKey, const PrintSavedControls& controls, SheetState& state,
             const PrintSavedPorts& ports);

} // namespace sbk3
