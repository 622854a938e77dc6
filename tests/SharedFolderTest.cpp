// Shared class folders and unusual machines, on a real POSIX file system: file-size limits,
// other users in a sticky folder, names swapped during a save, a file system that stops moving,
// a umask that takes the owner's write bit, folder names in any bytes, names near the limit.
// Cases that depend on permissions run in a child process as another user, which root cannot
// bypass; they are skipped where the tests do not run as root.
#include "common/NativeFile.h"
#include "common/RuntimeError.h"
#include "print/PageCommands.h"
#include "store/WorksheetFile.h"
#include "store/WorksheetList.h"
#include "support/FakeDialogs.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"
#include "worksheet/ClassSet.h"
#include "worksheet/PrintSave.h"
#include "worksheet/Random.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sbk3 {
namespace {

constexpr uid_t kTeacherA = 61001;
constexpr uid_t kTeacherB = 61002;

// Runs body in a child process, as user uid when given; its exit status, or 128 + the signal
// that ended it.
int inChild(const std::function<int()>& body, uid_t uid = 0) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (uid != 0 && (::setgid(uid) != 0 || ::setuid(uid) != 0))
            ::_exit(99);
        int result = 98;
        try {
            result = body();
        } catch (...) {
        }
        ::_exit(result);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

class SharedFolderTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::FakeDialogs dialogs;
    SheetState state;

    void save(RequestControls controls, RandomPort& random, const std::filesystem::path& where) {
        PrintSave(controls, state, {dialogs, random, where, ".", {}});
    }
    // A folder other users may write in, as a class folder is.
    std::filesystem::path sharedFolder(const char* name, std::filesystem::perms mode) {
        std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
        const auto shared = folder / name;
        std::filesystem::create_directory(shared);
        std::filesystem::permissions(shared, mode);
        return shared;
    }
};

// With the system's default action a write past the limit would end the program without a
// word and leave half a worksheet; the program's start-up makes it a full disk instead.
TEST_F(SharedFolderTest, AFileSizeLimitIsAFullDiskNeverTheProgramsEnd) {
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_DFL);
        prepareProcessForFiles();
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 1500;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        test::ScriptedRandom random{{0.0425f, 0.95f, 0.15f}};
        save({"300", false, "Mixed", "Test (N)"}, random, folder.path());
        if (dialogs.messages.size() != 1 ||
            dialogs.last().text != "Worksheet MIX300042 could not be saved: Disk full")
            return 1;
        try {
            replaceFileContents(folder / "MIX300042.pdf", std::string(16384, 'x'));
            return 2;
        } catch (const RuntimeError& error) {
            if (error.description() != "Disk full")
                return 3;
        }
        return entriesIn(folder.path()) == 0 ? 0 : 4;
    });
    EXPECT_EQ(status, 0) << "128 + 25 is SIGXFSZ";
}

TEST_F(SharedFolderTest, AnotherUsersPdfInAStickyFolderIsNeverADeadEnd) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    const auto shared = sharedFolder("class", std::filesystem::perms(01777));
    const auto page = shared / "ADD005592.pdf";
    const auto written = [&](const char* bytes) {
        return [&, bytes] {
            const auto where = replaceFileContentsOrBeside(page, bytes);
            return where == page ? 10 : where == shared / "ADD005592-61002.pdf" ? 20 : 1;
        };
    };
    EXPECT_EQ(inChild(written("A's page"), kTeacherA), 10);
    // B may not rename over A's file in a sticky folder: B's page goes beside it, B's own.
    EXPECT_EQ(inChild(written("B's page"), kTeacherB), 20);
    EXPECT_EQ(inChild(written("B's page again"), kTeacherB), 20);
    EXPECT_EQ(test::readBytes(page), "A's page");
    EXPECT_EQ(test::readBytes(shared / "ADD005592-61002.pdf"), "B's page again");
    EXPECT_EQ(entriesIn(shared), 2u); // no temporary file left
}

// Someone moves the worksheet away while it is saved and links another worksheet at its name:
// not one line goes into the other worksheet, and nothing that is not the save's own is removed.
TEST_F(SharedFolderTest, ANameSwappedDuringASaveNeverWritesIntoAnotherWorksheet) {
    test::TempFolder outside;
    const std::string other =
        "\"Other\",\"ADD003042\",3\r\n1,2,\"+\"\r\n3,4,\"+\"\r\n5,6,\"+\"\r\n";
    test::writeBytes(folder / "ADD003042", other);
    class Swapping : public test::ScriptedRandom {
    public:
        Swapping(const test::TempFolder& folder, const test::TempFolder& outside)
            : ScriptedRandom({0.0425f, 0.95f, 0.15f}), m_folder(folder), m_outside(outside) {}
        float rtcRandomNext() override {
            if (draws == 31) { // ten problems in
                std::filesystem::rename(m_folder / "MIX300042", m_outside / "moved");
                std::filesystem::create_hard_link(m_folder / "ADD003042", m_folder / "MIX300042");
            }
            return ScriptedRandom::rtcRandomNext();
        }

    private:
        const test::TempFolder& m_folder;
        const test::TempFolder& m_outside;
    } random(folder, outside);
    save({"300", false, "Mixed", "Test (N)"}, random, folder.path());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text,
              "Worksheet MIX300042 could not be saved: Path/File access error");
    EXPECT_EQ(test::readBytes(folder / "ADD003042"), other);
    EXPECT_EQ(test::readBytes(folder / "MIX300042"), other); // the link, left where it was
    EXPECT_FALSE(state.PrintNewSheet);
}

// A broken file system whose write() answers 0: the save gives its box at once, never spins.
TEST_F(SharedFolderTest, AWriteThatMovesNothingIsAnErrorNotALoop) {
    static int calls = 0;
    calls = 0;
    replaceSystemWriteForTests([](int, const void*, std::size_t) -> long {
        ++calls;
        return 0;
    });
    test::ScriptedRandom random{{0.0425f}};
    save({"5", true, "Addition", "Drill"}, random, folder.path());
    replaceSystemWriteForTests(nullptr);
    EXPECT_EQ(calls, 3);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text,
              "Worksheet ADD005042 could not be saved: Path/File access error");
    EXPECT_EQ(entriesIn(folder.path()), 0u);
}

TEST_F(SharedFolderTest, AUmaskWithoutTheOwnersWriteBitStillSaves) {
    const auto shared = sharedFolder("open", std::filesystem::perms(0777));
    const int status = inChild(
        [&] {
            ::umask(0222);
            test::ScriptedRandom random{{0.0425f, 0.95f, 0.15f}};
            save({"5", true, "Addition", "Drill (N)"}, random, shared);
            struct stat data {};
            ::stat((shared / "ADD005042").c_str(), &data);
            // Saved whole; the rest of the mode as the umask has it.
            return dialogs.messages.size() == 1 && dialogs.last().buttons == MsgButtons::YesNo &&
                           readWorksheetFile(shared / "ADD005042").problems.size() == 5 &&
                           (data.st_mode & 0777) == 0644
                       ? 0
                       : 1;
        },
        ::geteuid() == 0 ? kTeacherA : 0);
    EXPECT_EQ(status, 0);
}

// A folder name that is no UTF-8 (Latin-1 "Klässe") is used as the bytes it is, from the save to
// the list and the reprint.
TEST_F(SharedFolderTest, AFolderNameInAnyBytesIsUsedAsItIs) {
    const std::filesystem::path latin1 = folder.path() / std::string("Kl\xE4sse");
    std::filesystem::create_directory(latin1);
    test::ScriptedRandom random{{0.0425f, 0.95f, 0.15f}};
    save({"5", true, "Addition", "Drill (N)"}, random, latin1);
    EXPECT_EQ(dialogs.last().buttons, MsgButtons::YesNo) << dialogs.last().text;
    EXPECT_TRUE(std::filesystem::is_regular_file(latin1 / "ADD005042"));
    ASSERT_EQ(ListWorksheets(latin1).size(), 1u);
    const auto found = FindWorksheetFile(latin1, "add005042");
    ASSERT_TRUE(found);
    EXPECT_EQ(readWorksheetFile(*found).problems.size(), 5u);
    replaceFileContents(latin1 / "ADD005042.pdf", "page");
    EXPECT_EQ(test::readBytes(latin1 / "ADD005042.pdf"), "page");
    EXPECT_EQ(entriesIn(folder.path()), 1u); // nothing anywhere else
}

// The temporary name beside a file is shortened to the system's limit, never the target's.
TEST_F(SharedFolderTest, NamesNearTheSystemsLimitAreWrittenWhole) {
    for (const std::size_t length : {243u + 4u, 251u, 255u}) {
        const auto target = folder / (std::string(length - 4, 'N') + ".pdf");
        EXPECT_LE(temporaryNameFor(target, ".123456.part").filename().native().size(), 255u);
        replaceFileContents(target, "page");
        EXPECT_EQ(test::readBytes(target), "page") << length;
        EXPECT_EQ(entriesIn(folder.path()), 1u) << length;
        std::filesystem::remove(target);
    }
}

// The disk fills up in the middle of a class set: the versions before stay stored and are named,
// the one it hit leaves nothing, and nothing after it is made.
TEST_F(SharedFolderTest, AFullDiskInTheMiddleOfAClassSetKeepsTheVersionsBefore) {
    static int writes = 0;
    writes = 0;
    replaceSystemWriteForTests([](int fd, const void* data, std::size_t size) -> long {
        if (++writes > 4) { // two worksheets: a header, then all 40 lines at once; then full
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, data, size);
    });
    ClassSetRequest request;
    request.problems = 40;
    request.versions = 5;
    ClockRandom random([] { return 42u; });
    const StoredVersions stored = StoreVersions(request, "Drill", folder.path(), random, ".");
    replaceSystemWriteForTests(nullptr);
    ASSERT_EQ(stored.numbers.size(), 2u);
    EXPECT_NE(stored.failure.find("could not be saved: Disk full"), std::string::npos);
    EXPECT_EQ(entriesIn(folder.path()), 2u);
    for (const std::string& number : stored.numbers)
        EXPECT_EQ(readWorksheetFile(folder / number).sheetProblems.size(), 40u);
}

} // namespace
} // namespace sbk3
