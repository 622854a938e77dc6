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
        PrintWorksheetPage(printer, surface, {positions, bold, std::move(bottom)}, sheet);
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
    const std::vector<std::string> expected = {"FontSize 12",
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

} // namespace
} // namespace sbk3
