#include "worksheet/PrintSave.h"

#include "store/WorksheetFile.h"
#include "support/FakeDialogs.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedRandom.h"
#include "support/Stem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace sbk3 {
namespace {

using test::FakeDialogs;
using test::ScriptedRandom;

const char* kPromptStart = "Do you want to print worksheet number ";
const char* kPromptEnd = " right now? Please keep note of this number in case you lose the copy "
                         "you printed or if you want to print it later.";

class PrintSaveTest : public ::testing::Test {
protected:
    RequestControls controls{"5", true, "Addition", "Drill (N)"};
    SheetState state;
    FakeDialogs dialogs;
    ScriptedRandom random{{0.0425f, 0.95f, 0.15f}};
    test::TempFolder folder;
    int printSavedRuns = 0;
    bool flagWhenPrintSavedRan = false;

    void run(const std::filesystem::path& where) {
        PrintSave(controls, state, {dialogs, random, where, ".", [this] {
                                        ++printSavedRuns;
                                        flagWhenPrintSavedRan = state.PrintNewSheet;
                                        state.PrintNewSheet = false;
                                    }});
    }
    void run() { run(folder.path()); }

    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()));
    }
};

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

#ifndef _WIN32 // a file size limit (RLIMIT_FSIZE) exists on POSIX only
TEST_F(PrintSaveTest, AWriteThatFailsMidwayLeavesNoFile) {
    FakeDialogs headerDialogs;
    {
        test::FileSizeLimit full(60); // the header and a few lines
        controls.numOfProblems = "30";
        run();
        // Not even the header fits: the file just made goes too.
        full.set(10);
        random = ScriptedRandom({0.5f});
        PrintSave(controls, state, {headerDialogs, random, folder.path(), ".", {}});
    }
    ASSERT_EQ(headerDialogs.messages.size(), 1u);
    EXPECT_EQ(headerDialogs.last().text, "Worksheet ADD030500 could not be saved: Disk full");
    EXPECT_FALSE(std::filesystem::exists(folder / "ADD030500"));

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Worksheet ADD030042 could not be saved: Disk full");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_FALSE(std::filesystem::exists(folder / "ADD030042"));
    EXPECT_FALSE(state.PrintNewSheet);
    EXPECT_EQ(printSavedRuns, 0);
}

// FIFOs and symbolic links; on Windows see WindowsFileTest.
TEST_F(PrintSaveTest, ANameTakenInAnyFormIsDrawnAgainAndNeverTouched) {
    test::TempFolder outside;
    test::writeBytes(outside / "precious", "keep me");
    const auto taken = folder / "ADD005042";
    const struct {
        const char* kind;
        std::function<void()> make;
        std::function<bool()> untouched;
    } cases[] = {
        {"folder", [&] { ::mkdir(taken.c_str(), 0755); },
         [&] { return std::filesystem::is_directory(taken); }},
        {"FIFO", [&] { ::mkfifo(taken.c_str(), 0644); },
         [&] { return std::filesystem::is_fifo(std::filesystem::symlink_status(taken)); }},
        {"dangling link", [&] { std::filesystem::create_symlink(outside / "new", taken); },
         [&] { return !std::filesystem::exists(outside / "new"); }},
        {"link to a file outside",
         [&] { std::filesystem::create_symlink(outside / "precious", taken); },
         [&] { return test::readBytes(outside / "precious") == "keep me"; }},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(taken);
        c.make();
        // Every draw names the taken entry: each one counts, and the search gives up.
        random = ScriptedRandom({0.0425f});
        dialogs.messages.clear();
        run();
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.kind;
        EXPECT_EQ(dialogs.last().text, "Sorry please delete some worksheets!") << c.kind;
        EXPECT_EQ(random.draws, 1000) << c.kind;
        EXPECT_EQ(state.SheetCode, "ADD005") << c.kind;
        // With another number free it goes there.
        random = ScriptedRandom({0.0425f, 0.0435f, 0.5f});
        run();
        EXPECT_EQ(state.SheetCode, "ADD005043") << c.kind;
        EXPECT_TRUE(c.untouched()) << c.kind;
        EXPECT_EQ(filesInFolder(), 2u) << c.kind;
        std::filesystem::remove(folder / "ADD005043");
    }
}

// Two copies of the program saving into one nearly full stem at the same moment, drawing the
// same numbers in the same order: each number goes to one of them, and every file holds its
// own header and exactly its own lines. (fork; Windows runs two threads, in WindowsFileTest.)
TEST_F(PrintSaveTest, TwoProcessesNeverShareANumber) {
    constexpr int kFree = 40;
    const std::vector<float> script = test::fillStemButEvery25th(folder.path(), "ADD005");
    ASSERT_EQ(script.size(), static_cast<std::size_t>(kFree));
    for (int round = 0; round < 5; ++round) {
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        pid_t children[2];
        for (int child = 0; child < 2; ++child) {
            children[child] = ::fork();
            ASSERT_GE(children[child], 0);
            if (children[child] == 0) {
                ::close(go[1]);
                char byte;
                (void)!::read(go[0], &byte, 1); // returns once the parent closes its end
                ScriptedRandom same(script);
                FakeDialogs answers;
                for (int k = 0; k < kFree / 2 + 5; ++k) {
                    SheetState mine;
                    const RequestControls request{"5", true, "Mixed",
                                                  "Child " + std::to_string(child) + " (N)"};
                    PrintSave(request, mine, {answers, same, folder.path(), ".", {}});
                }
                ::_exit(0);
            }
        }
        ::close(go[0]);
        ::close(go[1]);
        for (const pid_t pid : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        EXPECT_EQ(test::checkRacedSheets(folder.path(), "Child", true),
                  static_cast<std::size_t>(kFree))
            << "round " << round;
    }
}

#endif

// A random port that lets a test act between the lines Print/Save writes.
class RandomWithHook : public RandomPort {
public:
    RandomWithHook(std::vector<float> script, int atDraw, std::function<void()> hook)
        : m_inner(std::move(script)), m_atDraw(atDraw), m_hook(std::move(hook)) {}
    void rtcRandomize() override { m_inner.rtcRandomize(); }
    float rtcRandomNext() override {
        if (m_inner.draws == m_atDraw)
            m_hook();
        return m_inner.rtcRandomNext();
    }

private:
    ScriptedRandom m_inner;
    int m_atDraw;
    std::function<void()> m_hook;
};

#ifndef _WIN32 // Windows refuses to rename a file open for writing: no swap can happen there
TEST_F(PrintSaveTest, AFailureRemovesOnlyTheFileThisCommandMade) {
    // Between two lines the new file is moved away and a folder put in its place: the next
    // line cannot be written, and the folder is not removed.
    const auto path = folder / "ADD005042";
    RandomWithHook swapping({0.0425f, 0.95f, 0.15f}, 5, [&] {
        std::filesystem::rename(path, folder / "moved");
        std::filesystem::create_directory(path);
    });
    PrintSave(controls, state, {dialogs, swapping, folder.path(), ".", {}});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text.rfind("Worksheet ADD005042 could not be saved: ", 0), 0u)
        << dialogs.last().text;
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::symlink_status(path)));
    // The line opened before the swap still went to the file made here.
    EXPECT_EQ(test::readBytes(folder / "moved"), "\"Drill ADD005042\",\"ADD005042\",5\r\n"
                                                 "9,1,\"+\"\r\n0,9,\"+\"\r\n1,0,\"+\"\r\n");
    EXPECT_FALSE(state.PrintNewSheet);
}

#endif

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
