#include "print/SetPages.h"

#include "common/Capacity.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Printer.h"
#include "store/WorksheetFile.h"

namespace sbk3 {

std::vector<SetPage> SetPageOrder(std::size_t sheets, int copies, bool keys, bool keysAtTheEnd) {
    std::vector<SetPage> pages;
    for (std::size_t sheet = 0; sheet < sheets; ++sheet) {
        for (int copy = 0; copy < copies; ++copy)
            pages.push_back({sheet, false});
        if (keys && !keysAtTheEnd)
            pages.push_back({sheet, true});
    }
    if (keys && keysAtTheEnd)
        for (std::size_t sheet = 0; sheet < sheets; ++sheet)
            pages.push_back({sheet, true});
    return pages;
}

const PositionTable& LayoutForKey(const PositionTable& window, bool easy, int count, bool answerKey,
                                  PositionTable& compact) {
    if (!answerKey || !easy || count <= kEasyCapacity)
        return window;
    LayoutCompact(compact);
    return compact;
}

PageOutcome PrintSetPages(PrinterPort& printer, ProblemSurface& picRetPic,
                          const PageSettings& settings, const std::vector<SavedWorksheet>& sheets,
                          const std::vector<SetPage>& pages,
                          const std::function<bool(std::size_t drawn)>& goOn) {
    PositionTable compact;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (goOn && !goOn(k)) {
            printer.killDoc();
            printer.setFontSize(12);
            return {PageOutcome::Kind::Failed, {}, "Stopped"};
        }
        if (k > 0)
            printer.newPage();
        const SavedWorksheet& sheet = sheets.at(pages[k].sheet);
        const PositionTable& positions = LayoutForKey(settings.ProblemPos, settings.look.easy,
                                                      sheet.count, pages[k].answerKey, compact);
        DrawWorksheetPage(printer, picRetPic,
                          {positions, settings.look, pages[k].answerKey, settings.decimalSeparator},
                          sheet);
    }
    PageOutcome outcome = printer.endDoc();
    printer.setFontSize(12);
    return outcome;
}

} // namespace sbk3
