#pragma once

#include "common/PageLook.h"

#include <string>

namespace sbk3 {

class PageCanvas;
class PrinterPort;
struct PageOutcome;
class ProblemSurface;
class PositionTable;
struct SavedWorksheet;

// What the page takes from the main window at the moment of printing. A laid-out worksheet
// stored with its own look is drawn with that instead.
struct PageSettings {
    const PositionTable& ProblemPos;
    PageLook look;
    bool answerKey = false;             // each problem with its answer under the rule
    std::string decimalSeparator = "."; // the user's, for a laid-out page's decimals
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
