#include "worksheet/PrintSave.h"

#include "store/WorksheetFile.h"
#include "support/FakeDialogs.h"
#include "support/PrintSaveFixture.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>

namespace sbk3 {
namespace {

using test::FakeDialogs;
using test::kPromptEnd;
using test::kPromptStart;
using test::PrintSaveTest;
using test::ScriptedRandom;

TEST_F(PrintSaveTest, StoresTheWorksheetAndAsksToPrintIt) {
    run();
    EXPECT_EQ(state.SheetCode, "ADD005042");
    EXPECT_EQ(test::readBytes(folder / "ADD005042"),
              "\"Drill ADD005042\",\"ADD005042\",5\r\n9,1,\"+\"\r\n0,9,\"+\"\r\n1,0,\"+\"\r\n"
              "9,1,\"+\"\r\n0,9,\"+\"\r\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const Message& question = dialogs.last();
    EXPECT_EQ(question.text, std::string(kPromptStart) + "ADD005042" + kPromptEnd);
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.icon, MsgIcon::Question);
    EXPECT_EQ(question.caption, "Sumbrook 3");
    // No: the file stays, nothing is printed, the flag is clear.
    EXPECT_EQ(printSavedRuns, 0);
    EXPECT_FALSE(state.PrintNewSheet);
    // One reseed for the number, one per problem.
    EXPECT_EQ(random.reseeds, 6);
}

TEST_F(PrintSaveTest, YesRunsPrintSavedWithTheFlagSet) {
    dialogs.answers = {MsgResult::Yes};
    run();
    EXPECT_EQ(printSavedRuns, 1);
    EXPECT_TRUE(flagWhenPrintSavedRan);
    EXPECT_FALSE(state.PrintNewSheet);
}

TEST_F(PrintSaveTest, FileHasOneLinePerProblemEachEndedByCrLf) {
    for (const char* count : {"1", "5", "300"}) {
        controls = {count, false, "Mixed", "T"};
        run();
        const std::string bytes = test::readBytes(folder / state.SheetCode);
        std::size_t lines = 0;
        for (std::size_t at = bytes.find("\r\n"); at != std::string::npos;
             at = bytes.find("\r\n", at + 2))
            ++lines;
        EXPECT_EQ(lines, static_cast<std::size_t>(std::stoi(count)) + 1) << count;
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), static_cast<long>(lines));
        EXPECT_EQ(readWorksheetFile(folder / state.SheetCode).problems.size(),
                  static_cast<std::size_t>(std::stoi(count)));
    }
}

TEST_F(PrintSaveTest, AFailedCheckWritesNothingAndLeavesTheNumberEmpty) {
    const struct {
        const char* count;
        bool easy;
        const char* message;
    } cases[] = {{"", true, "You must have at least 1 math problem."},
                 {"abc", false, "You must have at least 1 math problem."},
                 {"81", true, "The number of problems can range from 1 to 80 in easy mode."},
                 {"301", false, "The number of problems can range from 1 to 300."}};
    for (const auto& c : cases) {
        state.SheetCode = "OLD";
        dialogs.messages.clear();
        controls.numOfProblems = c.count;
        controls.easy = c.easy;
        run();
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.count;
        EXPECT_EQ(dialogs.last().text, c.message);
        EXPECT_EQ(dialogs.last().buttons, MsgButtons::Ok);
        EXPECT_EQ(dialogs.last().icon, MsgIcon::None);
        EXPECT_EQ(dialogs.last().caption, "Sumbrook 3");
        EXPECT_EQ(state.SheetCode, "");
    }
    EXPECT_EQ(filesInFolder(), 0u);
    EXPECT_EQ(random.draws, 0);
}

TEST_F(PrintSaveTest, AllThousandNumbersTakenAsksToDeleteWorksheets) {
    for (int part = 0; part < 1000; ++part) {
        char name[16];
        std::snprintf(name, sizeof name, "ADD005%03d", part);
        test::writeBytes(folder / name, "x");
    }
    run();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Sorry please delete some worksheets!");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::None);
    EXPECT_EQ(state.SheetCode, "ADD005");
    EXPECT_EQ(random.draws, 1000);
    EXPECT_EQ(filesInFolder(), 1000u);
}

TEST_F(PrintSaveTest, TakenNumbersAreDrawnAgainAndTwoSheetsGetDifferentNumbers) {
    random = ScriptedRandom({0.0425f});
    controls.numOfProblems = "1";
    run();
    const std::string first = state.SheetCode;
    random = ScriptedRandom({0.0425f, 0.0435f});
    run();
    EXPECT_EQ(first, "ADD001042");
    EXPECT_EQ(state.SheetCode, "ADD001043");
    EXPECT_TRUE(std::filesystem::exists(folder / first));
    EXPECT_TRUE(std::filesystem::exists(folder / state.SheetCode));
}

TEST_F(PrintSaveTest, StoredTitleHoldsTheNumberOnce) {
    controls = {"10", true, "Subtraction", "Quiz (N) / (N)"};
    random = ScriptedRandom({0.999f, 0.5f, 0.5f});
    run();
    EXPECT_EQ(state.SheetCode, "SUB010999");
    EXPECT_EQ(readWorksheetFile(folder / "SUB010999").title, "Quiz SUB010999 / (N)");
}

TEST_F(PrintSaveTest, NonWholeCountsRoundHalfToEven) {
    controls.numOfProblems = "2.5";
    run();
    EXPECT_EQ(state.SheetCode, "ADD002.5042");
    EXPECT_EQ(readWorksheetFile(folder / "ADD002.5042").count, 2);
    controls.numOfProblems = "9.5";
    run();
    EXPECT_EQ(readWorksheetFile(folder / state.SheetCode).count, 10);
}

TEST_F(PrintSaveTest, AnUnwritableFolderGivesOneMessageAndTheProgramGoesOn) {
    test::writeBytes(folder / "file", "x");
    run(folder / "file"); // a folder path through a regular file: no file can be made there
    ASSERT_EQ(dialogs.messages.size(), 1u);
    // The program's own words, the same on every system and in every language.
    EXPECT_EQ(dialogs.last().text, "Worksheet ADD005042 could not be saved: Path not found");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.last().caption, "Sumbrook 3");
    EXPECT_FALSE(state.PrintNewSheet);
    EXPECT_EQ(printSavedRuns, 0);

    dialogs.messages.clear();
    run(); // the next one works
    EXPECT_TRUE(std::filesystem::exists(folder / state.SheetCode));
}

// Any failure, not only the program's own errors: an allocation that fails half-way gives the
// save's box, never an escape into the event loop, and the half-made file goes.
TEST_F(PrintSaveTest, RunningOutOfMemoryHalfWayGivesTheBoxAndLeavesNoFile) {
    class Exhausted : public ScriptedRandom {
    public:
        using ScriptedRandom::ScriptedRandom;
        float rtcRandomNext() override {
            if (draws == 4) // the number, the first problem, then half of the second
                throw std::bad_alloc();
            return ScriptedRandom::rtcRandomNext();
        }
    } exhausted{{0.0425f, 0.95f, 0.15f}};
    PrintSave(controls, state, {dialogs, exhausted, folder.path(), ".", {}});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Worksheet ADD005042 could not be saved: Out of memory");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(filesInFolder(), 0u);
    EXPECT_FALSE(state.PrintNewSheet);
}

TEST_F(PrintSaveTest, APastedLineBreakInTheTitleIsStoredAsBlanks) {
    controls.title = "Line\rone\nand\r\n\"two\" (N)";
    run();
    const std::string bytes = test::readBytes(folder / "ADD005042");
    EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")),
              "\"Line one and  \"two\" ADD005042\",\"ADD005042\",5");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 6);
    const SavedWorksheet sheet = readWorksheetFile(folder / "ADD005042");
    EXPECT_EQ(sheet.title, "Line one and  \"two\" ADD005042");
    EXPECT_EQ(sheet.problems.size(), 5u);
}

} // namespace
} // namespace sbk3
