#include "print/Page.h"

#include "print/Layout.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "support/RecordingPrinter.h"

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

using test::RecordingPrinter;

class PageTest : public ::testing::Test {
protected:
    PageTest() { LayoutEasy(positions); }

    void print(const SavedWorksheet& sheet, int bold = 0, std::string bottom = "Bottom") {
        PrintWorksheetPage(printer, surface,
                           {positions, windowLook(false, bold, std::move(bottom))}, sheet);
    }

    RecordingPrinter printer;
    ProblemSurface surface;
    PositionTable positions;
};

SavedWorksheet sheetOf(std::vector<Problem> problems, std::string title = "Drill ADD003042") {
    SavedWorksheet sheet;
    sheet.title = std::move(title);
    sheet.sheetCode = "ADD003042";
    sheet.count = static_cast<std::int16_t>(problems.size());
    sheet.problems = std::move(problems);
    return sheet;
}

TEST_F(PageTest, ThreeProblemsInTheExactOrder) {
    print(sheetOf({{7, 12, "+"}, {0, 9, "+"}, {81, 9, "\xC3\xB7"}}));
    const std::vector<std::string> expected = {"FontSize 12", // measures the name line
                                               "PageScale 1",
                                               "FontSize 12",
                                               "Print Name______________________________",
                                               "FontSize 24",
                                               "Print Drill ADD003042",
                                               "FontSize 12",
                                               "Picture 3,4 [  7|+12_]",
                                               "Picture 13,4 [  0|+ 9_]",
                                               "Picture 23,4 [ 81|\xC3\xB7 9_]",
                                               "FontSize 6",
                                               "CurrentX 1",
                                               "CurrentY 62.4",
                                               "Print Bottom",
                                               "CurrentY 0",
                                               "EndDoc",
                                               "FontSize 12"};
    EXPECT_EQ(printer.log, expected);
}

TEST_F(PageTest, BoldOnlyForValueOne) {
    for (const int bold : {0, 1, 2}) {
        printer.log.clear();
        print(sheetOf({{1, 2, "x"}}), bold);
        const auto pictures = printer.calls("Picture");
        ASSERT_EQ(pictures.size(), 1u);
        EXPECT_EQ(pictures[0],
                  bold == 1 ? "Picture 3,4 [  1|x 2_] bold" : "Picture 3,4 [  1|x 2_]");
        EXPECT_EQ(printer.calls("FontBold").size(), 0u); // the page text is never bold
    }
}

TEST_F(PageTest, SurfaceKeepsItsFontBetweenPrintsButEachProblemStartsPlain) {
    surface.setFontUnderline(true);
    surface.setFontBold(true);
    print(sheetOf({{1, 2, "+"}}), 0);
    EXPECT_FALSE(surface.fontBold());
    EXPECT_TRUE(surface.fontUnderline()); // left on after the last problem's second line
    EXPECT_EQ(printer.calls("Picture")[0], "Picture 3,4 [  1|+ 2_]");
}

TEST_F(PageTest, NoProblemsEmptyBottomAndLongOperators) {
    print(sheetOf({}), 0, "");
    EXPECT_EQ(printer.calls("Picture").size(), 0u);
    EXPECT_EQ(printer.calls("Print").size(), 3u);
    EXPECT_EQ(printer.calls("Print").back(), "Print ");
    EXPECT_EQ(printer.calls("EndDoc").size(), 1u);

    printer.log.clear();
    print(sheetOf({{5, 3, "mod"}, {-5, 100, "+"}}));
    EXPECT_EQ(printer.calls("Picture")[0], "Picture 3,4 [  5|mod 3_]");
    EXPECT_EQ(printer.calls("Picture")[1], "Picture 13,4 [  -5|+100_]");
}

TEST_F(PageTest, ThreeHundredProblemsFillTheCompactGrid) {
    LayoutCompact(positions);
    std::vector<Problem> problems(300, Problem{4, 5, "-"});
    print(sheetOf(problems));
    const auto pictures = printer.calls("Picture");
    ASSERT_EQ(pictures.size(), 300u);
    EXPECT_EQ(pictures.front(), "Picture 1,4 [  4|- 5_]");
    EXPECT_EQ(pictures[20], "Picture 1,8 [  4|- 5_]");
    EXPECT_EQ(pictures.back(), "Picture 96,60 [  4|- 5_]");
    EXPECT_EQ(printer.log.back(), "FontSize 12");
    EXPECT_EQ(printer.fontSize, 12);
}

TEST_F(PageTest, BottomLineSitsSixTenthsAboveThePrintableHeight) {
    printer.height = 64.8f;
    print(sheetOf({}));
    EXPECT_EQ(printer.calls("CurrentY")[0], "CurrentY " + test::floatText(64.8f - 0.6f));
}

float loggedScale(const RecordingPrinter& printer) {
    const auto scales = printer.calls("PageScale ");
    return scales.empty() ? 0.0f : std::stof(scales.back().substr(10));
}

TEST_F(PageTest, APageThatFitsPrintsAtFullSizeAndOneThatDoesNotShrinksJustEnough) {
    LayoutCompact(positions);
    const SavedWorksheet full = sheetOf(std::vector<Problem>(300, Problem{4, 5, "-"}));
    const struct {
        const char* paper;
        float width, height; // the printable area at full size
        float scale;
    } cases[] = {
        {"Letter, no margins", 102.0f, 66.0f, 1.0f},
        {"Letter, 1/4 in margins", 96.0f, 63.0f, 0.96f},         // 96 units across for 100
        {"A4, 1/4 in margins", 93.17f, 67.17f, 0.9317f},         // the same, narrower still
        {"a short printable area", 102.0f, 60.0f, 60.0f / 64.6f} // the grid and 0.6 down
    };
    for (const auto& c : cases) {
        printer.log.clear();
        printer.width = c.width;
        printer.height = c.height;
        print(full);
        EXPECT_FLOAT_EQ(loggedScale(printer), c.scale) << c.paper;
        // At that scale the last row ends inside the area and the bottom line starts below it.
        const float s = c.scale;
        EXPECT_LE((96 + 4) * s, c.width + 1e-3f) << c.paper;
        EXPECT_LE((60 + 4) * s, c.height) << c.paper;
        const float bottomLine = std::stof(printer.calls("CurrentY ")[0].substr(9));
        EXPECT_GE(bottomLine, 64.0f) << c.paper;
        EXPECT_FLOAT_EQ(bottomLine * s, c.height - 0.6f * s) << c.paper;
    }
    // A small sheet on the narrow paper needs no shrinking.
    printer.log.clear();
    print(sheetOf({{1, 2, "+"}}));
    EXPECT_EQ(loggedScale(printer), 1.0f);
}

TEST_F(PageTest, ATitleTooWideIsSetInTheLargestSizeThatFits) {
    const struct {
        std::size_t length;
        int points;
    } cases[] = {{40, 24}, {41, 23}, {79, 12}, {120, 8}, {300, 8}};
    for (const auto& c : cases) {
        printer.log.clear();
        print(sheetOf({}, std::string(c.length, 'W')));
        // The size set just before the title is printed.
        std::string size;
        for (const std::string& entry : printer.log) {
            if (entry.rfind("FontSize ", 0) == 0)
                size = entry;
            if (entry == "Print " + std::string(c.length, 'W'))
                break;
        }
        EXPECT_EQ(size, "FontSize " + std::to_string(c.points)) << c.length;
    }
}

TEST_F(PageTest, TheAnswerKeyIsThePageWithAnswersUnderTheRules) {
    LayoutCompact(positions);
    const SavedWorksheet sheet =
        sheetOf({{7, 3, "+"}, {9, 4, "-"}, {6, 9, "x"}, {56, 8, "\xC3\xB7"}, {1, 1, "?"}});
    print(sheet, 1);
    const std::vector<std::string> page = printer.log;
    printer.log.clear();
    PrintWorksheetPage(printer, surface, {positions, windowLook(false, 1, "Bottom"), true}, sheet);

    std::vector<std::string> expected = page;
    for (std::string& entry : expected)
        if (entry == "Print Drill ADD003042")
            entry += " - Answer Key";
    const char* answers[] = {" 10", "  5", " 54", "  7", ""};
    for (std::size_t k = 0, at = 0; k < expected.size(); ++k) {
        std::string& entry = expected[k];
        if (entry.rfind("Picture ", 0) != 0)
            continue;
        const std::size_t close = entry.find(']');
        entry.insert(close, std::string("|") + answers[at++]); // a third line, not underlined
    }
    EXPECT_EQ(printer.log, expected);
}

} // namespace
} // namespace sbk3
