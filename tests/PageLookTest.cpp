#include "common/PageLook.h"

#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "support/RecordingPrinter.h"
#include "support/TempFolder.h"
#include "worksheet/ClassSet.h"
#include "worksheet/Random.h"
#include "worksheet/Request.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sbk3 {
namespace {

PageLook yearOneLook() {
    PageLook look = windowLook(true, 1, "Well \"done\"!");
    look.size = PrintSize::ExtraLarge;
    look.numbers = look.header = true;
    look.instructions = "Fill in the missing number.";
    look.numberPlace = NumberPlace::Corner;
    return look;
}

// What a page drew: every call the recording printer saw.
std::vector<std::string> drawn(const SavedWorksheet& sheet, const PageLook& window,
                               bool key = false) {
    PositionTable positions;
    LayoutEasy(positions);
    test::RecordingPrinter printer;
    ProblemSurface surface;
    DrawWorksheetPage(printer, surface, {positions, window, key, "."}, sheet);
    return printer.log;
}

bool has(const std::vector<std::string>& log, const std::string& part) {
    return std::any_of(log.begin(), log.end(), [&](const std::string& call) {
        return call.find(part) != std::string::npos;
    });
}

// The top of each picture of the problems (not the numbers'), in the order drawn.
std::vector<std::string> problemPictures(const std::vector<std::string>& log) {
    std::vector<std::string> pictures;
    for (const std::string& call : log)
        if (call.rfind("Picture ", 0) == 0 && call.find(".]") == std::string::npos)
            pictures.push_back(call);
    return pictures;
}

// A set made with its look is stored with it and printed with it again, whatever the window's
// look is then: the size, the numbers, the header with the count, the instructions, the number
// in the corner, Bold and the bottom line.
TEST(PageLookTest, ASheetMadeWithALookIsPrintedWithItWhateverTheWindowSays) {
    test::TempFolder folder;
    ClockRandom random([] { return 5ULL; });
    ClassSetRequest request;
    request.problems = 12;
    request.title = "Year 1 - (N)";
    request.look = yearOneLook();
    const StoredVersions stored = StoreVersions(request, request.title, folder.path(), random, ".");
    ASSERT_EQ(stored.failure, "");
    const std::string bytes = test::readBytes(folder / stored.numbers.at(0));
    EXPECT_NE(bytes.find("\r\n\"page\",\"easy\",1,\"extra large\",0,1,1,\"corner\",\"Fill in the "
                         "missing number.\",\"Well 'done'!\"\r\n"),
              std::string::npos)
        << bytes;
    const SavedWorksheet sheet = readWorksheetFile(folder / stored.numbers.at(0));
    ASSERT_TRUE(sheet.look);
    PageLook expected = yearOneLook();
    expected.txtAppend = "Well 'done'!";
    EXPECT_EQ(*sheet.look, expected);
    EXPECT_EQ(sheet.title, "Year 1"); // the number goes in the corner instead

    const std::vector<std::string> page = drawn(sheet, windowLook(false, 0, "Window's line"));
    EXPECT_TRUE(
        has(page, "Print Name________________________   Date______________   Score: ____ / 12"));
    EXPECT_TRUE(has(page, "Print Fill in the missing number."));
    EXPECT_TRUE(has(page, "Print Well 'done'!"));
    EXPECT_FALSE(has(page, "Window's line"));
    EXPECT_TRUE(has(page, "Print " + stored.numbers.at(0)));
    EXPECT_TRUE(has(page, "[1.]") && has(page, "[12.]"));
    for (const std::string& picture : problemPictures(page)) {
        EXPECT_NE(picture.find(" bold"), std::string::npos) << picture;
        EXPECT_NE(picture.find(" points 20"), std::string::npos) << picture;
    }
    // The same page as the stored look drawn for a sheet without one.
    SavedWorksheet bare = sheet;
    bare.look.reset();
    EXPECT_EQ(drawn(bare, expected), page);
    // The key, too.
    EXPECT_TRUE(has(drawn(sheet, windowLook(false, 0, ""), true), "Answer Key"));
}

TEST(PageLookTest, LargerPrintPutsFewerOnARowAndSpreadUsesThePage) {
    SavedWorksheet sheet;
    sheet.title = "T";
    sheet.laidOut = true;
    sheet.count = 20;
    for (int k = 0; k < 20; ++k)
        sheet.sheetProblems.push_back(
            {Number{10 + k, 0}, Number{7, 0}, &operators()[0], Form::Column, Blank::None});
    const auto firstRowAndLastTop = [&](PageLook look) {
        const std::vector<std::string> pictures = problemPictures(drawn(sheet, look));
        const auto top = [](const std::string& p) {
            return p.substr(p.find(',') + 1, p.find(' ', 8) - p.find(',') - 1);
        };
        int across = 0;
        while (across < static_cast<int>(pictures.size()) &&
               top(pictures[static_cast<std::size_t>(across)]) == top(pictures[0]))
            ++across;
        return std::pair(across, std::stof(top(pictures.back())));
    };
    PageLook look = windowLook(false, 0, "");
    const auto [normal, normalLast] = firstRowAndLastTop(look);
    look.size = PrintSize::Large;
    const auto [large, largeLast] = firstRowAndLastTop(look);
    look.size = PrintSize::ExtraLarge;
    const auto [extra, extraLast] = firstRowAndLastTop(look);
    EXPECT_GT(normal, large);
    EXPECT_GT(large, extra);
    look.spread = true;
    const auto [spread, spreadLast] = firstRowAndLastTop(look);
    EXPECT_LE(spread, extra);
    // Spread: 3 columns, so 7 rows of 6 units (3 lines of 20 points) with 1 between: 53 units
    // of a 63-unit page. The 9 left over are shared out between the rows, so the last row
    // starts at 53.8, not 46, and ends just above the bottom line.
    EXPECT_EQ(spread, 3);
    EXPECT_NEAR(spreadLast, 53.8f, 0.1f);
}

TEST(PageLookTest, AnythingButAWholePageLineIsRefusedAndTitlesLoseOnlyTheirNumber) {
    const std::string header = "\"T\",\"ADD001001\",1,\"forms 1\"\r\n";
    const std::string problem = "7,5,\"+\",\"column\"\r\n";
    EXPECT_EQ(*parseWorksheet(header + pageLine(yearOneLook()) + "\r\n" + problem).look, [] {
        PageLook l = yearOneLook();
        l.txtAppend = "Well 'done'!";
        return l;
    }());
    EXPECT_FALSE(parseWorksheet(header + problem).look); // made before pages were kept
    for (const char* damaged : {"\"page\",\"easy\",2,\"normal\",0,0,0,\"title\",\"\",\"\"",
                                "\"page\",\"wide\",0,\"normal\",0,0,0,\"title\",\"\",\"\"",
                                "\"page\",\"easy\",0,\"huge\",0,0,0,\"title\",\"\",\"\"",
                                "\"page\",\"easy\",0,\"normal\",0,0,0,\"middle\",\"\",\"\"",
                                "\"page\",\"easy\",0,\"normal\",0,0,0", "\"set\",\"ADD001001\",0,3",
                                "\"set\",\"ADD001001\",4,3", "\"set\",\"../x\",1,3",
                                "\"set\",\"ADD001001\",1,3,9", "\"set\",\"ADD001001\",1"}) {
        try {
            parseWorksheet(header + damaged + "\r\n" + problem);
            ADD_FAILURE() << damaged;
        } catch (const RuntimeError& error) {
            const std::string which = damaged[1] == 'p' ? "page" : "set";
            EXPECT_EQ(error.description(),
                      "its " + which + " line \"" + std::string(damaged) + "\" is damaged.");
        }
        // A list still shows it, as a worksheet of its own.
        EXPECT_FALSE(parseWorksheet(header + damaged + "\r\n" + problem, true).set);
    }
    // The set and settings lines, each where it is there, in either company.
    const SavedWorksheet version =
        parseWorksheet(header + pageLine(yearOneLook()) + "\r\n" + setLine({"ADD001001", 3, 3}) +
                       "\r\n" + settingsLine("a = 1\nb = \"2\"\n") + "\r\n" + problem);
    EXPECT_EQ(version.set, (SetPlace{"ADD001001", 3, 3}));
    EXPECT_EQ(version.settings, "a = 1\nb = '2'\n");
    EXPECT_EQ(version.sheetProblems.size(), 1u);
    EXPECT_EQ(parseWorksheet(header + setLine({"ADD001001", 1, 2}) + "\r\n" + problem, true).set,
              (SetPlace{"ADD001001", 1, 2}));
    EXPECT_EQ(TitleWithoutNumber("Sums - (N)"), "Sums");
    EXPECT_EQ(TitleWithoutNumber("(N) Sums"), " Sums");
    EXPECT_EQ(TitleWithoutNumber("Sums"), "Sums");
}

} // namespace
} // namespace sbk3
