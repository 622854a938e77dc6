#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace sbk3 {

class PrinterPort;
class PositionTable;
class ProblemSurface;
struct PageOutcome;
struct PageSettings;
struct SavedWorksheet;

// One page of a set: which worksheet, and whether as its answer key.
struct SetPage {
    std::size_t sheet = 0;
    bool answerKey = false;

    bool operator==(const SetPage&) const = default;
};

// The pages of a class set in order: each worksheet copies times, then its key when keys come
// after each; or every key at the end.
std::vector<SetPage> SetPageOrder(std::size_t sheets, int copies, bool keys, bool keysAtTheEnd);

// Prints the pages as one document (one print job, or one PDF file) and ends it: each page
// composed as PrintWorksheetPage composes it, on the settings' layout, bold and bottom line. A
// key of more than 80 problems goes on the Compact Test layout, as its worksheet was printed.
// Before each page, goOn is asked with the number of pages drawn so far; where it answers false
// the document is abandoned (nothing reaches paper or file) and the outcome is Failed, "Stopped".
PageOutcome PrintSetPages(PrinterPort& printer, ProblemSurface& picRetPic,
                          const PageSettings& settings, const std::vector<SavedWorksheet>& sheets,
                          const std::vector<SetPage>& pages,
                          const std::function<bool(std::size_t drawn)>& goOn = {});

// The layout a page of count problems is printed on: the window's, or Compact Test for an
// answer key that the Easy Reading layout cannot hold. compact is filled when it is used.
const PositionTable& LayoutForKey(const PositionTable& window, bool easy, int count, bool answerKey,
                                  PositionTable& compact);

} // namespace sbk3
