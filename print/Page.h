#pragma once

#include <string>

namespace sbk3 {

class PageCanvas;
class PrinterPort;
struct PageOutcome;
class ProblemSurface;
class PositionTable;
struct SavedWorksheet;

// What the page takes from the main window at the moment of printing.
struct PageSettings {
    const PositionTable& ProblemPos;
    int chkBold = 0;        // 1 prints the problems bold; any other value regular
    std::string txtAppend;  // the bottom line
    bool answerKey = false; // each problem with its answer under the rule
    // A laid-out worksheet's page: spaced as "Easy Reading" (else "Compact Test"), its decimals
    // printed with the user's separator.
    bool easy = false;
    std::string decimalSeparator = ".";
};

// Draws the worksheet on one page: name line, title, each problem at its slot, bottom line. As
// an answer key, the title ends in " - Answer Key" and each problem has a third line with its
// answer.
void DrawWorksheetPage(PageCanvas& page, ProblemSurface& picRetPic, const PageSettings& settings,
                       const SavedWorksheet& sheet);

// Draws the page and ends the document; leaves the printer at 12 points.
PageOutcome PrintWorksheetPage(PrinterPort& printer, ProblemSurface& picRetPic,
                               const PageSettings& settings, const SavedWorksheet& sheet);

} // namespace sbk3
