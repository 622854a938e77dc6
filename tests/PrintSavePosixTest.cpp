// Print/Save on a POSIX file system: a file-size limit for a full disk, names taken by folders,
// FIFOs and links, two processes racing, a file moved away while it is written. (Windows has its
// own counterparts in WindowsFileTest.cpp.)
#include "common/NativeFile.h"
#include "common/RuntimeError.h"
#include "store/WorksheetFile.h"
#include "support/FileSizeLimit.h"
#include "support/PrintSaveFixture.h"
#include "support/Stem.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sbk3 {
namespace {

using test::FakeDialogs;
using test::PrintSaveTest;
using test::RandomWithHook;
using test::ScriptedRandom;

// The system's own answers: reading a folder is an error, never a loop; a FIFO cannot be flushed
// to a disk, which is no failure of the write.
TEST(NativeFilePosixTest, FailuresAreReportedAndUnflushableFilesAreNoFailure) {
    test::TempFolder folder;
    NativeFile opened = NativeFile::openForReading(folder.path());
    char byte = 0;
    EXPECT_THROW(opened.read(&byte, 1), RuntimeError);

    ASSERT_EQ(::mkfifo((folder / "ADD001001").c_str(), 0600), 0);
    const int reader = ::open((folder / "ADD001001").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    NativeFile fifo = NativeFile::openForAppend(folder / "ADD001001");
    EXPECT_NO_THROW(fifo.flushToDisk());
    ::close(reader);
}

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

// FIFOs and symbolic links.
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

} // namespace
} // namespace sbk3
