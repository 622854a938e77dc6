#include "print/Page.h"

#include "common/Text.h"
#include "print/Layout.h"
#include "print/Printer.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <string>
#include <utility>

namespace sbk3 {

void PrintWorksheetPage(PrinterPort& printer, ProblemSurface& picRetPic,
                        const PageSettings& settings, const SavedWorksheet& sheet) {
    printer.setFontSize(12);
    printer.printLine("Name______________________________");
    printer.setFontSize(24);
    printer.printLine(sheet.title);
    printer.setFontSize(12);

    picRetPic.setFontBold(settings.chkBold == 1);
    const int n = std::min<int>(sheet.count, static_cast<int>(sheet.problems.size()));
    for (int k = 1; k <= n; ++k) {
        const Problem& problem = sheet.problems[static_cast<std::size_t>(k - 1)];
        picRetPic.setFontUnderline(false);
        picRetPic.Cls();
        std::string upper(1, ' ');
        upper += Pad2(problem.first);
        picRetPic.printLine(std::move(upper));
        picRetPic.setFontUnderline(true); // the second line's underline is the answer rule
        picRetPic.printLine(problem.op + Pad2(problem.second));
        const Position& at = settings.ProblemPos(k);
        printer.paintPicture(picRetPic.image(), at.X, at.Y);
    }

    printer.setFontSize(6);
    printer.setCurrentX(1);
    printer.setCurrentY(printer.scaleHeight() - 0.6f);
    printer.printLine(settings.txtAppend);
    printer.setCurrentY(0);
    printer.endDoc();
    printer.setFontSize(12);
}

} // namespace sbk3
