#include "common/RuntimeError.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace sbk3 {
namespace {

TEST(RuntimeErrorTest, OnlyADescriptionBeginningWithCapitalFMeansAMissingWorksheet) {
    EXPECT_TRUE(meansMissingWorksheet(RuntimeError(ErrorNumber::FileNotFound).description()));
    EXPECT_TRUE(meansMissingWorksheet("File name too long"));
    for (const char* other : {"file not found", "Path not found", "Input past end of file", ""})
        EXPECT_FALSE(meansMissingWorksheet(other)) << other;
    // By the description, not the number.
    EXPECT_FALSE(
        meansMissingWorksheet(RuntimeError(ErrorNumber::FileNotFound, "Gone").description()));
}

TEST(RuntimeErrorTest, SystemErrorsAreNumberedAndDescribedInTheProgramsOwnWords) {
    const struct {
        int error;
        int number;
        const char* description;
    } cases[] = {{ENOSPC, 61, "Disk full"},         {EFBIG, 61, "Disk full"},
                 {ENOENT, 76, "Path not found"},    {ENOTDIR, 76, "Path not found"},
                 {EACCES, 70, "Permission denied"}, {EIO, 75, "Path/File access error"}};
    for (const auto& c : cases) {
        const RuntimeError error(errorNumberOfErrno(c.error));
        EXPECT_EQ(error.number(), c.number) << c.error;
        EXPECT_EQ(error.description(), c.description) << c.error;
        // No system failure can pass for a missing worksheet, whatever the locale.
        EXPECT_FALSE(meansMissingWorksheet(error.description())) << c.error;
    }
}

} // namespace
} // namespace sbk3
