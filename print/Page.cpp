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

// A laid-out page: a 12-point character of the problems' face is 1/10 inch, 1.2 units across,
// with a little room for a bold face that runs wider.
constexpr float kCharacterUnits = 1.2f;
constexpr float kBoldRoom = 0.3f;
// A picture's lines follow each other at the face's line spacing, about 13.6 points for 12: a
// little more than the 12 points of a unit down.
constexpr float kPictureLineUnits = 1.2f;
constexpr float kFirstRow = 4.0f;
constexpr int kLaidOutBottomPoints = 9; // a line a teacher can write on
constexpr float kLaidOutBottomRise = 0.9f;

// Where the first column starts, and the room between the problems across and down.
struct Spacing {
    float left;
    float across;
    float down;
};

Spacing spacingFor(bool easy) {
    return easy ? Spacing{3.0f, 6.0f, 4.0f} : Spacing{1.0f, 2.0f, 1.0f};
}

// The grid: one column width for every problem of the page, the widest picture's of the sheet
// and of its key alike; each row as tall as its tallest picture. The key's answers so stand
// where the sheet's blanks are.
struct Grid {
    float cellWidth = kCharacterUnits;
    int columns = 1;
    float scale = 1.0f;
    std::vector<float> rowTops;
};

// Each row's top for the pictures' heights in that many columns; the last entry is where the
// last row's room ends.
std::vector<float> rowTopsFor(const std::vector<float>& heights, int columns, float down) {
    std::vector<float> tops{kFirstRow};
    for (std::size_t start = 0; start < heights.size();
         start += static_cast<std::size_t>(columns)) {
        const auto end = std::min(heights.size(), start + static_cast<std::size_t>(columns));
        const float tallest =
            *std::max_element(heights.begin() + static_cast<std::ptrdiff_t>(start),
                              heights.begin() + static_cast<std::ptrdiff_t>(end));
        tops.push_back(tops.back() + tallest + down);
    }
    return tops;
}

Grid gridFor(PageCanvas& printer, const std::vector<SheetProblem>& problems, const Spacing& spacing,
             std::string_view separator) {
    Grid grid;
    std::size_t characters = 1;
    std::vector<float> heights;
    for (const SheetProblem& problem : problems) {
        std::size_t lines = 1;
        for (const bool key : {false, true}) {
            const std::vector<PictureLine> picture = drawProblem(problem, key, separator);
            lines = std::max(lines, picture.size());
            for (const PictureLine& line : picture)
                characters = std::max(characters, characterCount(line.text));
        }
        heights.push_back(static_cast<float>(lines) * kPictureLineUnits);
    }
    if (heights.empty())
        heights.push_back(1.0f);
    grid.cellWidth = static_cast<float>(characters) * kCharacterUnits + kBoldRoom;
    // As many columns as give the largest print; of those, the most, so rows fill across.
    printer.setFontSize(12);
    const float nameWidth = std::max(1.0f, printer.textWidth(kNameLine));
    const float width = printer.scaleWidth();
    const float height = printer.scaleHeight();
    const auto scaleFor = [&](int columns) {
        const float across =
            spacing.left + static_cast<float>(columns) * (grid.cellWidth + spacing.across);
        const float down = rowTopsFor(heights, columns, spacing.down).back() + kLaidOutBottomRise;
        return std::min({1.0f, width / across, width / nameWidth, height / down});
    };
    const int most = static_cast<int>(heights.size());
    float best = 0.0f;
    for (int columns = 1; columns <= most; ++columns)
        best = std::max(best, scaleFor(columns));
    for (int columns = 1; columns <= most; ++columns)
        if (scaleFor(columns) >= best * 0.9999f)
            grid.columns = columns;
    grid.scale = best;
    grid.rowTops = rowTopsFor(heights, grid.columns, spacing.down);
    return grid;
}

void drawLaidOutProblems(PageCanvas& printer, ProblemSurface& picRetPic,
                         const PageSettings& settings, const SavedWorksheet& sheet) {
    const int n = std::min<int>(sheet.count, static_cast<int>(sheet.sheetProblems.size()));
    const std::vector<SheetProblem> problems(sheet.sheetProblems.begin(),
                                             sheet.sheetProblems.begin() + n);
    const Spacing spacing = spacingFor(settings.easy);
    const Grid grid = gridFor(printer, problems, spacing, settings.decimalSeparator);
    printer.setPageScale(grid.scale);

    printer.setFontSize(12);
    printer.printLine(kNameLine);
    const std::string title = settings.answerKey ? sheet.title + " - Answer Key" : sheet.title;
    fitTitleSize(printer, title);
    printer.printLine(title);
    printer.setFontSize(12);

    picRetPic.setFontBold(settings.chkBold == 1);
    for (int k = 0; k < n; ++k) {
        picRetPic.Cls();
        const std::size_t row = static_cast<std::size_t>(k / grid.columns);
        picRetPic.setSize(grid.cellWidth, grid.rowTops[row + 1] - grid.rowTops[row] - spacing.down);
        for (const PictureLine& line : drawProblem(problems[static_cast<std::size_t>(k)],
                                                   settings.answerKey, settings.decimalSeparator)) {
            picRetPic.setFontUnderline(line.underline);
            picRetPic.printLine(line.text);
        }
        picRetPic.setFontUnderline(false);
        const float x =
            spacing.left + static_cast<float>(k % grid.columns) * (grid.cellWidth + spacing.across);
        printer.paintPicture(picRetPic.image(), x, grid.rowTops[row]);
    }

    printer.setFontSize(kLaidOutBottomPoints);
    printer.setCurrentX(1);
    printer.setCurrentY(printer.scaleHeight() - kLaidOutBottomRise);
    printer.printLine(settings.txtAppend);
    printer.setCurrentY(0);
}

} // namespace

void DrawWorksheetPage(PageCanvas& printer, ProblemSurface& picRetPic, const PageSettings& settings,
                       const SavedWorksheet& sheet) {
    if (sheet.laidOut) {
        drawLaidOutProblems(printer, picRetPic, settings, sheet);
        return;
    }
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
