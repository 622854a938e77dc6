#include "common/FileExists.h"

#include "support/Platform.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

using test::TempFolder;

TEST(FileExistsTest, TrueOnlyForAReadableRegularFile) {
    TempFolder folder;
    test::writeBytes(folder / "ADD007042", "content");
    std::filesystem::create_directory(folder / "DIR");
    if (test::makeFifo(folder / "FIFO")) {
        EXPECT_FALSE(FileExists(folder / "FIFO")); // and it does not block
    }

    EXPECT_TRUE(FileExists(folder / "ADD007042"));
    EXPECT_FALSE(FileExists(folder / "missing"));
    EXPECT_FALSE(FileExists(folder / "DIR"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(folder / "no-such-folder" / "ADD007042"));
    EXPECT_FALSE(FileExists(folder / "ADD007042" / "below-a-file"));
}

TEST(FileExistsTest, LeavesFilesAsTheyWere) {
    TempFolder folder;
    test::writeBytes(folder / "kept", "bytes");
    FileExists(folder / "kept");
    FileExists(folder / "absent");
    EXPECT_EQ(test::readBytes(folder / "kept"), "bytes");
    EXPECT_FALSE(std::filesystem::exists(folder / "absent"));
}

TEST(FileExistsTest, TenThousandCallsDoNotRunOutOfDescriptors) {
    TempFolder folder;
    test::writeBytes(folder / "sheet", "x");
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(FileExists(folder / "sheet")) << "call " << i;
    EXPECT_FALSE(FileExists(folder / "other"));
}

} // namespace
} // namespace sbk3
