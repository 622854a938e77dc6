#pragma once

#include "common/Dialogs.h"
#include "print/Printer.h"
#include "worksheet/ClassSet.h"

#include <cstddef>
#include <functional>

#include <filesystem>
#include <string>

namespace sbk3 {

class Dialogs;
class PositionTable;
class PrinterPort;
class ProblemSurface;

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

// What a class set came to: the versions stored, and where their pages went.
struct ClassSetResult {
    StoredVersions stored;
    PageOutcome outcome;
    std::size_t pages = 0;
    bool stopped = false; // the user stopped it; what was stored stays stored
};

// Told after each step (a version stored, a page drawn) how many of how many are done; where
// it answers false the set stops there.
using ClassSetProgress = std::function<bool(std::size_t done, std::size_t steps)>;

// Makes the versions, stores each as Print/Save stores a worksheet, then prints all their pages
// (copies, and keys after each or at the end) as one job or one PDF file. Shows no box, so it
// may run off the window's thread while nothing else uses the printer and the surface.
ClassSetResult RunClassSet(const ClassSetRequest& request, const ClassSetPorts& ports,
                           const ClassSetProgress& progress = {});

// The one box that says what was made and where it went; or which version failed, with the ones
// before it stored; or where the user stopped it.
Message ClassSetReport(const ClassSetRequest& request, const ClassSetResult& result);

// RunClassSet, then its report.
void MakeClassSet(const ClassSetRequest& request, const ClassSetPorts& ports);

} // namespace sbk3
