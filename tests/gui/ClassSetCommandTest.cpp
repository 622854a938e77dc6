#include "app/ClassSetCommand.h"

#include "print/Layout.h"
#include "print/Surface.h"
#include "support/FakeDialogs.h"
#include "support/RecordingPrinter.h"
#include "support/TempFolder.h"
#include "worksheet/Random.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sbk3 {
namespace {

class ClassSetCommandTest : public ::testing::Test {
protected:
    ClassSetCommandTest() {
        LayoutEasy(positions);
        request.settings = SettingsForType("Addition");
        request.problems = 10;
        request.versions = 4;
        request.copies = 2;
        request.keys = AnswerKeys::AfterEach;
        request.title = "Set (N)";
        request.look = windowLook(true, 0, "Bottom");
    }

    // The set made with a progress that stops once done reaches stopAt; the steps it was told.
    ClassSetResult runStoppingAt(std::size_t stopAt) {
        return RunClassSet(request, ports(), [&](std::size_t done, std::size_t steps) {
            told.emplace_back(done, steps);
            return done < stopAt;
        });
    }
    ClassSetPorts ports() {
        return {dialogs, printer, surface, positions, random, folder.path(), "."};
    }
    std::size_t stored() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()));
    }

    test::TempFolder folder;
    test::FakeDialogs dialogs;
    test::RecordingPrinter printer;
    ClockRandom random{[] { return std::uint64_t{7}; }};
    ProblemSurface surface;
    PositionTable positions;
    ClassSetRequest request;
    std::vector<std::pair<std::size_t, std::size_t>> told;
};

// Progress counts every version stored, then every page drawn (4 versions, 4 x (2 copies + key)
// pages: 16 steps), and ends at all of them.
TEST_F(ClassSetCommandTest, ProgressCountsVersionsThenPages) {
    const ClassSetResult result = runStoppingAt(1000);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.pages, 12u);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.front(), (std::pair<std::size_t, std::size_t>{0, 16}));
    EXPECT_EQ(told.back(), (std::pair<std::size_t, std::size_t>{16, 16}));
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(printer.calls("EndDoc").size(), 1u);

    // Keys at the end: every worksheet's copies first, then the keys, in the versions' order.
    printer.log.clear();
    request.keys = AnswerKeys::AtTheEnd;
    request.copies = 1;
    request.versions = 2;
    const ClassSetResult atTheEnd = runStoppingAt(1000);
    std::vector<std::string> titles;
    for (const std::string& line : printer.calls("Print Set "))
        titles.push_back(line.substr(6));
    const std::vector<std::string>& numbers = atTheEnd.stored.numbers;
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_EQ(titles, (std::vector<std::string>{"Set " + numbers[0], "Set " + numbers[1],
                                                "Set " + numbers[0] + " - Answer Key",
                                                "Set " + numbers[1] + " - Answer Key"}));
}

// Stopped while storing: the versions stored so far stay stored and are named; nothing printed.
// Stopped while drawing pages: every version stays, the document is abandoned.
TEST_F(ClassSetCommandTest, StoppingKeepsWhatWasStoredAndPrintsNothing) {
    ClassSetResult result = runStoppingAt(2);
    EXPECT_TRUE(result.stopped);
    ASSERT_EQ(result.stored.numbers.size(), 2u);
    EXPECT_EQ(stored(), 2u);
    EXPECT_TRUE(printer.log.empty());
    const Message box = ClassSetReport(request, result);
    EXPECT_EQ(box.text, "Stopped. Made 2 worksheets (" + result.stored.numbers[0] + ", " +
                            result.stored.numbers[1] +
                            "); nothing was printed. Each worksheet can be printed by its number.");

    told.clear();
    result = runStoppingAt(4 + 5); // the fifth page
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.stored.numbers.size(), 4u);
    EXPECT_EQ(stored(), 6u);
    EXPECT_EQ(printer.calls("EndDoc").size(), 0u);
    EXPECT_EQ(printer.calls("KillDoc").size(), 1u);
    EXPECT_EQ(ClassSetReport(request, result).text.rfind("Stopped. Made 4 worksheets", 0), 0u);
}

} // namespace
} // namespace sbk3

namespace sbk3 {
namespace {

// A set's numbers are drawn, so the report names them rather than a false range; a large set
// names ten and counts the rest.
TEST(ClassSetReportTest, TheNumbersAreNamedNotRanged) {
    ClassSetRequest request;
    request.pdfPath = "/tmp/set.pdf";
    ClassSetResult result;
    result.pages = 24;
    result.outcome = {PageOutcome::Kind::WrittenToFile, "/tmp/set.pdf", {}};
    for (int k = 0; k < 12; ++k)
        result.stored.numbers.push_back("MIX020" + std::to_string(100 + k * 37));
    EXPECT_EQ(ClassSetReport(request, result)
                  .text.rfind(
                      "Made 12 worksheets (MIX020100, MIX020137, MIX020174, MIX020211, MIX020248, "
                      "MIX020285, MIX020322, MIX020359, MIX020396, MIX020433 and 2 more): 24 pages",
                      0),
              0u)
        << ClassSetReport(request, result).text;
}

} // namespace
} // namespace sbk3
