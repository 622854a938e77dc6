#include "print/Page.h"

#include "common/Text.h"
#include "print/Answers.h"
#include "print/Layout.h"
#include "print/Printer.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <string>
#include <utility>

namespace sbk3 {

namespace {

constexpr const char* kNameLine = "Name______________________________";
constexpr float kBottomLineRise = 0.6f; // the bottom line starts this far above the foot

// The largest scale, at most 1, at which the page fits the printable area: every picture at
// its full 4 x 4 units, the name line, the bottom line's start at X = 1 and its room below the
// last row. The title does not count; it is set smaller instead.
float fitScale(PageCanvas& printer, const PositionTable& ProblemPos, int n) {
    printer.setFontSize(12);
    float width = std::max(1.0f, printer.textWidth(kNameLine));
    float height = 0.0f;
    for (int k = 1; k <= n; ++k) {
        const Position& at = ProblemPos(k);
        width = std::max(width, at.X + kPictureUnits);
        height = std::max(height, at.Y + kPictureUnits);
    }
    height += kBottomLineRise;
    return std::min({1.0f, printer.scaleWidth() / width, printer.scaleHeight() / height});
}

// The title in the largest size from 24 points down to 8 that fits across; cut at the edge
// below that.
void fitTitleSize(PageCanvas& printer, const std::string& title) {
    for (int points = 24; points >= 8; --points) {
        printer.setFontSize(points);
        if (points == 8 || printer.textWidth(title) <= printer.scaleWidth())
            return;
    }
}

} // namespace

void DrawWorksheetPage(PageCanvas& printer, ProblemSurface& picRetPic, const PageSettings& settings,
                       const SavedWorksheet& sheet) {
    const int n = std::min<int>(sheet.count, static_cast<int>(sheet.problems.size()));
    printer.setPageScale(fitScale(printer, settings.ProblemPos, n));

    printer.setFontSize(12);
    printer.printLine(kNameLine);
    const std::string title = settings.answerKey ? sheet.title + " - Answer Key" : sheet.title;
    fitTitleSize(printer, title);
    printer.printLine(title);
    printer.setFontSize(12);

    picRetPic.setFontBold(settings.chkBold == 1);
    for (int k = 1; k <= n; ++k) {
        const Problem& problem = sheet.problems[static_cast<std::size_t>(k - 1)];
        picRetPic.setFontUnderline(false);
        picRetPic.Cls();
        std::string upper(1, ' ');
        upper += Pad2(problem.first);
        picRetPic.printLine(std::move(upper));
        picRetPic.setFontUnderline(true); // the second line's underline is the answer rule
        picRetPic.printLine(problem.op + Pad2(problem.second));
        if (settings.answerKey) {
            picRetPic.setFontUnderline(false);
            picRetPic.printLine(AnswerLine(problem));
        }
        const Position& at = settings.ProblemPos(k);
        printer.paintPicture(picRetPic.image(), at.X, at.Y);
    }

    printer.setFontSize(6);
    printer.setCurrentX(1);
    printer.setCurrentY(printer.scaleHeight() - kBottomLineRise);
    printer.printLine(settings.txtAppend);
    printer.setCurrentY(0);
}

PageOutcome PrintWorksheetPage(PrinterPort& printer, ProblemSurface& picRetPic,
                               const PageSettings& settings, const SavedWorksheet& sheet) {
    DrawWorksheetPage(printer, picRetPic, settings, sheet);
    PageOutcome outcome = printer.endDoc();
    printer.setFontSize(12);
    return outcome;
}

} // namespace sbk3
