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

// A laid-out page. At 12 points a character of the problems' face is 1/10 inch, 1.2 units
// across, and its lines follow each other at its line spacing, about 13.6 points: a little more
// than the 12 points of a unit down. Larger print scales both.
constexpr float kCharacterUnits = 1.2f;
constexpr float kPictureLineUnits = 1.2f;
constexpr float kBoldRoom = 0.3f; // a bold face may run a little wider
constexpr float kFirstRow = 4.0f;
constexpr float kInstructionsUnits = 1.2f;
constexpr int kLaidOutBottomPoints = 9; // a line a teacher can write on
constexpr float kLaidOutBottomRise = 0.9f;
constexpr int kCornerPoints = 8;

// Where the first column starts, and the room between the problems across and down.
struct Spacing {
    float left;
    float across;
    float down;
};

Spacing spacingFor(bool easy) {
    return easy ? Spacing{3.0f, 6.0f, 4.0f} : Spacing{1.0f, 2.0f, 1.0f};
}

// The problems' pictures, and the measures of the grid they go in.
struct Pictures {
    std::vector<std::vector<PictureLine>> lines; // as this page shows them
    std::vector<float> heights;                  // of the sheet's and the key's, the taller
    float width = 0;                             // of the widest, number included
    float characterUnits = kCharacterUnits;
    float labelUnits = 0; // the problem numbers' column, "12. "
    int points = 12;
};

Pictures picturesOf(const std::vector<SheetProblem>& problems, const PageLook& look, bool key,
                    std::string_view separator) {
    Pictures pictures;
    pictures.points = printPoints(look.size);
    const float scale = static_cast<float>(pictures.points) / 12.0f;
    pictures.characterUnits = kCharacterUnits * scale;
    std::size_t characters = 1;
    for (const SheetProblem& problem : problems) {
        std::size_t lines = 1;
        for (const bool asKey : {false, true}) {
            std::vector<PictureLine> picture = drawProblem(problem, asKey, separator);
            lines = std::max(lines, picture.size());
            for (const PictureLine& line : picture)
                characters = std::max(characters, characterCount(line.text));
            if (asKey == key)
                pictures.lines.push_back(std::move(picture));
        }
        pictures.heights.push_back(static_cast<float>(lines) * kPictureLineUnits * scale);
    }
    if (look.numbers)
        pictures.labelUnits = static_cast<float>(std::to_string(problems.size()).size() + 2) *
                              pictures.characterUnits;
    pictures.width = static_cast<float>(characters) * pictures.characterUnits + kBoldRoom * scale +
                     pictures.labelUnits;
    return pictures;
}

// The grid: one column width for every problem of the page; each row as tall as its tallest
// picture of the sheet and of its key, so the key's answers stand where the sheet's blanks are.
struct Grid {
    int columns = 1;
    float scale = 1.0f;
    float pitch = 0; // from one column to the next
    std::vector<float> rowTops;
};

// Each row's top for the pictures' heights in that many columns; the last entry is where the
// last row's room ends.
std::vector<float> rowTopsFor(const std::vector<float>& heights, int columns, float top,
                              float down) {
    std::vector<float> tops{top};
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

// Where the last row's room ends, as rowTopsFor's last entry, without keeping the rows.
float bottomOf(const std::vector<float>& heights, int columns, float top, float down) {
    float bottom = top;
    for (std::size_t start = 0; start < heights.size();
         start += static_cast<std::size_t>(columns)) {
        const auto end = std::min(heights.size(), start + static_cast<std::size_t>(columns));
        bottom += *std::max_element(heights.begin() + static_cast<std::ptrdiff_t>(start),
                                    heights.begin() + static_cast<std::ptrdiff_t>(end)) +
                  down;
    }
    return bottom;
}

// As many columns as give the largest print; of those, the most, so rows fill across. Spread,
// the fewest that still fit at that size, and the room left over shared out between them.
Grid gridFor(const Pictures& pictures, const Spacing& spacing, float top, float width, float height,
             float nameWidth, bool spread) {
    std::vector<float> heights = pictures.heights;
    if (heights.empty())
        heights.push_back(1.0f);
    const float pitch = pictures.width + spacing.across;
    const auto acrossScale = [&](int columns) {
        return width / (spacing.left + static_cast<float>(columns) * pitch);
    };
    const auto scaleFor = [&](int columns) {
        const float down = bottomOf(heights, columns, top, spacing.down) + kLaidOutBottomRise;
        return std::min({1.0f, acrossScale(columns), width / nameWidth, height / down});
    };
    // More columns only ever narrow the print across: once that alone is below the best, no
    // more columns can do better.
    const int most = static_cast<int>(heights.size());
    std::vector<float> scales{0.0f}; // by number of columns
    Grid grid;
    grid.scale = 0.0f;
    for (int columns = 1; columns <= most && acrossScale(columns) >= grid.scale * 0.9999f;
         ++columns) {
        scales.push_back(scaleFor(columns));
        grid.scale = std::max(grid.scale, scales.back());
    }
    for (int columns = static_cast<int>(scales.size()) - 1; columns >= 1; --columns)
        if (scales[static_cast<std::size_t>(columns)] >= grid.scale * 0.9999f) {
            grid.columns = columns;
            if (!spread)
                break;
        }
    grid.pitch = pitch;
    grid.rowTops = rowTopsFor(heights, grid.columns, top, spacing.down);
    if (spread && grid.scale >= 1.0f) {
        const auto rows = static_cast<float>(grid.rowTops.size() - 1);
        const float spare = height - kLaidOutBottomRise - grid.rowTops.back();
        grid.rowTops = rowTopsFor(heights, grid.columns, top, spacing.down + spare / rows);
        grid.pitch = std::max(pitch, (width - spacing.left) / static_cast<float>(grid.columns));
    }
    return grid;
}

// "Name___  Date___  Score: ____ / 20", or the name line alone.
std::string topLine(const PageLook& look, int count) {
    if (!look.header)
        return kNameLine;
    return "Name________________________   Date______________   Score: ____ / " +
           std::to_string(count);
}

void drawLaidOutProblems(PageCanvas& printer, ProblemSurface& picRetPic,
                         const PageSettings& settings, const PageLook& look,
                         const SavedWorksheet& sheet) {
    const int n = std::min<int>(sheet.count, static_cast<int>(sheet.sheetProblems.size()));
    const std::vector<SheetProblem> problems(sheet.sheetProblems.begin(),
                                             sheet.sheetProblems.begin() + n);
    const Spacing spacing = spacingFor(look.easy);
    const Pictures pictures =
        picturesOf(problems, look, settings.answerKey, settings.decimalSeparator);
    const std::string top = topLine(look, n);
    printer.setFontSize(12);
    const float firstRow = kFirstRow + (look.instructions.empty() ? 0.0f : kInstructionsUnits);
    const Grid grid =
        gridFor(pictures, spacing, firstRow, printer.scaleWidth(), printer.scaleHeight(),
                std::max(1.0f, printer.textWidth(top)), look.spread);
    printer.setPageScale(grid.scale);

    printer.setFontSize(12);
    printer.printLine(top);
    const std::string title = settings.answerKey ? sheet.title + " - Answer Key" : sheet.title;
    fitTitleSize(printer, title);
    printer.printLine(title);
    printer.setFontSize(12);
    if (!look.instructions.empty())
        printer.printLine(look.instructions);

    picRetPic.setFontBold(look.chkBold == 1);
    for (int k = 0; k < n; ++k) {
        const std::size_t row = static_cast<std::size_t>(k / grid.columns);
        const float x = spacing.left + static_cast<float>(k % grid.columns) * grid.pitch;
        const float height = grid.rowTops[row + 1] - grid.rowTops[row] - spacing.down;
        if (look.numbers) {
            picRetPic.Cls();
            picRetPic.setFontPoints(pictures.points);
            picRetPic.setSize(pictures.labelUnits, pictures.heights[static_cast<std::size_t>(k)]);
            picRetPic.setFontUnderline(false);
            picRetPic.printLine(std::to_string(k + 1) + ".");
            printer.paintPicture(picRetPic.image(), x, grid.rowTops[row]);
        }
        picRetPic.Cls();
        picRetPic.setFontPoints(pictures.points);
        picRetPic.setSize(pictures.width - pictures.labelUnits, height);
        for (const PictureLine& line : pictures.lines[static_cast<std::size_t>(k)]) {
            picRetPic.setFontUnderline(line.underline);
            picRetPic.printLine(line.text);
        }
        picRetPic.setFontUnderline(false);
        printer.paintPicture(picRetPic.image(), x + pictures.labelUnits, grid.rowTops[row]);
    }

    printer.setFontSize(kLaidOutBottomPoints);
    printer.setCurrentX(1);
    printer.setCurrentY(printer.scaleHeight() - kLaidOutBottomRise);
    printer.printLine(look.txtAppend);
    if (look.numberPlace == NumberPlace::Corner) {
        printer.setFontSize(kCornerPoints);
        printer.setCurrentX(printer.scaleWidth() - printer.textWidth(sheet.sheetCode) - 0.5f);
        printer.setCurrentY(printer.scaleHeight() - kLaidOutBottomRise);
        printer.printLine(sheet.sheetCode);
    }
    printer.setCurrentY(0);
}

} // namespace

void DrawWorksheetPage(PageCanvas& printer, ProblemSurface& picRetPic, const PageSettings& settings,
                       const SavedWorksheet& sheet) {
    if (sheet.laidOut) {
        // A worksheet made with settings keeps the look it was handed out with.
        drawLaidOutProblems(printer, picRetPic, settings, sheet.look ? *sheet.look : settings.look,
                            sheet);
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

    picRetPic.setFontBold(settings.look.chkBold == 1);
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
    printer.printLine(settings.look.txtAppend);
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
