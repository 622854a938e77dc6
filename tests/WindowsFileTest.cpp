// What only Windows has: files held open without sharing, wide-character paths, CREATE_NEW.
// The POSIX counterparts (FIFOs, links, fork) are in PrintSavePosixTest and SharedFolderTest.
// CMake builds it for Windows only.

#include "common/FileExists.h"
#include "store/WorksheetFile.h"
#include "support/FakeDialogs.h"
#include "support/ScriptedRandom.h"
#include "support/Stem.h"
#include "support/TempFolder.h"
#include "worksheet/PrintSave.h"

#include <gtest/gtest.h>

#include <thread>
#include <windows.h>

namespace sbk3 {
namespace {

TEST(WindowsFileTest, ExclusiveCreationNeverReplacesWhatIsThere) {
    test::TempFolder folder;
    test::writeBytes(folder / "ADD001001", "keep me");
    std::filesystem::create_directory(folder / "ADD001002");
    EXPECT_FALSE(NewWorksheetFile::create(folder / "ADD001001", "\"T\",\"ADD001001\",1"));
    EXPECT_FALSE(NewWorksheetFile::create(folder / "ADD001002", "\"T\",\"ADD001002\",1"));
    EXPECT_EQ(test::readBytes(folder / "ADD001001"), "keep me");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "ADD001002"));

    // Print/Save whose every draw meets the folder: the draws count, and nothing is touched.
    test::FakeDialogs dialogs;
    test::ScriptedRandom random({0.0025f});
    SheetState state;
    PrintSave({"1", true, "Addition", "T"}, state, {dialogs, random, folder.path(), ".", {}});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Sorry please delete some worksheets!");
    EXPECT_EQ(random.draws, 1000);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "ADD001002"));
}

TEST(WindowsFileTest, GreekFolderAndTitleRoundTrip) {
    test::TempFolder base;
    const auto folder = base.path() / pathFromUtf8("\xCE\xA6\xCF\x8D\xCE\xBB\xCE\xBB\xCE\xB1");
    std::filesystem::create_directory(folder);
    const std::string title = "\xCE\x91\xCF\x81\xCE\xB9\xCE\xB8\xCE\xBC\xCF\x8C\xCF\x82 (N)";
    test::FakeDialogs dialogs;
    test::ScriptedRandom random({0.0425f, 0.95f, 0.15f});
    SheetState state;
    PrintSave({"2", true, "Addition", title}, state, {dialogs, random, folder, ".", {}});
    ASSERT_EQ(state.SheetCode, "ADD002042");
    EXPECT_TRUE(FileExists(folder / "ADD002042"));
    const SavedWorksheet sheet = readWorksheetFile(folder / "ADD002042");
    EXPECT_EQ(sheet.title, "\xCE\x91\xCF\x81\xCE\xB9\xCE\xB8\xCE\xBC\xCF\x8C\xCF\x82 ADD002042");
    EXPECT_EQ(sheet.problems.size(), 2u);
    // Beyond Windows-1252: UTF-8 with a byte-order mark, CR LF, as on Linux.
    const std::string bytes = test::readBytes(folder / "ADD002042");
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST(WindowsFileTest, FileExistsIsFalseForAFileHeldWithoutReadSharing) {
    test::TempFolder folder;
    const auto path = folder / "ADD001001";
    test::writeBytes(path, "x");
    EXPECT_TRUE(FileExists(path));
    const HANDLE held = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileExists(path));
    ::CloseHandle(held);
    EXPECT_TRUE(FileExists(path));
    std::filesystem::create_directory(folder / "DIR");
    EXPECT_FALSE(FileExists(folder / "DIR"));
    EXPECT_FALSE(FileExists(folder / "missing"));
}

// Two savers in one nearly full stem at the same moment, drawing the same numbers in the same
// order: threads here, where there is no fork.
TEST(WindowsFileTest, TwoSaversNeverShareANumber) {
    test::TempFolder folder;
    const std::vector<float> script = test::fillStemButEvery25th(folder.path(), "ADD005");
    const auto saver = [&](int who) {
        test::ScriptedRandom same(script);
        test::FakeDialogs answers;
        for (int k = 0; k < 25; ++k) {
            SheetState mine;
            PrintSave({"5", true, "Mixed", "Saver " + std::to_string(who) + " (N)"}, mine,
                      {answers, same, folder.path(), ".", {}});
        }
    };
    std::thread first(saver, 0);
    std::thread second(saver, 1);
    first.join();
    second.join();
    EXPECT_EQ(test::checkRacedSheets(folder.path(), "Saver", false), script.size());
}

} // namespace
} // namespace sbk3
