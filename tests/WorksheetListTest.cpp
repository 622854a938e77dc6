#include "store/WorksheetList.h"

#include "support/Platform.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <system_error>

namespace sbk3 {
namespace {

TEST(WorksheetListTest, NamesOfTheWorksheetNumbersForm) {
    // Whatever the locale's decimal separator: an Arabic one is U+066B, two bytes of UTF-8.
    for (const char* name : {"ADD007042", "SUB300999", "MIX001000", "DIV002.5042", "MUL009,5001",
                             "ADD002\xD9\xAB"
                             "5042",
                             "SUB012\xD9\xAB"
                             "75999"})
        EXPECT_TRUE(looksLikeWorksheetNumber(name)) << name;
    for (const char* name : {"add007042", "ADD07042", "ADD0070421", "XYZ007042", "ADD007042.pdf",
                             "ADD00704A", "ADD.5042", "", "ADD002/5042", "ADD002\n5042",
                             "ADD002..,,,5042", "ADD002.042", "ADD002.5042x"})
        EXPECT_FALSE(looksLikeWorksheetNumber(name)) << name;
}

// Only worksheets are listed, each from one bounded read of its first bytes: nothing else in the
// folder is ever opened in a way that waits, or read whole.
TEST(WorksheetListTest, OnlyWorksheetsAreListedWithWhatTheirHeaderSays) {
    test::TempFolder folder;
    test::writeBytes(folder / "ADD001001", "\"Oldest\",\"ADD001001\",1\r\n1,2,\"+\"\r\n");
    test::writeBytes(folder / "SUB002002",
                     "\"With, a comma\",\"SUB002002\",2\r\n5,2,\"-\"\r\n6,1,\"-\"\r\n");
    test::writeBytes(folder / "MIX001003", "\"He said \"go\"\",\"MIX001003\",1\r\n5,2,+\r\n");
    // A worksheet with a long tail is listed from its header alone, and not taken as cut off.
    test::writeBytes(folder / "ADD001009",
                     "\"Long\",\"ADD001009\",1\r\n1,2,+\r\n" + std::string(20000, ' ') + "\r\n");
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(30);
    std::filesystem::last_write_time(folder / "ADD001001", when);

    // Everything that is no worksheet: garbage, a count no worksheet has, another name, a folder,
    // a FIFO, a link to a worksheet, 2 MB under a worksheet's name.
    test::writeBytes(folder / "DIV001004", "not a worksheet at all");
    test::writeBytes(folder / "DIV001010", "\"Zero\",\"DIV001010\",0\r\n");
    test::writeBytes(folder / "DIV301011", "\"Too many\",\"DIV301011\",301\r\n");
    test::writeBytes(folder / "ADD001012", std::string(kListingReadBytes + 10, '"'));
    test::writeBytes(folder / "notes.txt", "\"T\",\"notes\",1\r\n1,2,+\r\n");
    test::writeBytes(folder / "ADD001005.pdf", "%PDF-1.4");
    std::filesystem::create_directory(folder / "ADD001006");
    test::makeFifo(folder / "ADD001007"); // never waited on, where the system has FIFOs
    test::writeBytes(folder / "ADD001008",
                     "\"Big\",\"ADD001008\",1\r\n" + std::string(2 << 20, ' '));
    std::error_code noLinks;
    std::filesystem::create_symlink(folder / "ADD001001", folder / "ADD001013", noLinks);

    std::vector<ListedWorksheet> listed = ListWorksheets(folder.path());
    std::sort(listed.begin(), listed.end(),
              [](const auto& a, const auto& b) { return a.number < b.number; });
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[0].number, "ADD001001");
    EXPECT_EQ(listed[0].title, "Oldest");
    EXPECT_NEAR(static_cast<double>(listed[0].madeAt),
                static_cast<double>(std::chrono::duration_cast<std::chrono::seconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count() -
                                    30 * 3600),
                5.0);
    EXPECT_EQ(listed[1].number, "ADD001009");
    EXPECT_EQ(listed[2].title, "He said \"go\"");
    EXPECT_EQ(listed[3].title, "With, a comma");
    EXPECT_EQ(listed[3].count, 2);
    for (const ListedWorksheet& sheet : listed)
        EXPECT_FALSE(sheet.incomplete) << sheet.number;
    EXPECT_TRUE(ListWorksheets(folder / "missing").empty());
    // Removed between the folder's listing and the read.
    EXPECT_FALSE(readListedWorksheet(folder / "ADD009999"));
}

// A save cut off by a crash or a full disk leaves fewer lines than the header's count: listed
// and marked, never deleted.
TEST(WorksheetListTest, ACutOffWorksheetIsListedAndMarked) {
    test::TempFolder folder;
    test::writeBytes(folder / "ADD300001", "\"Cut\",\"ADD300001\",300\r\n1,2,\"+\"\r\n3,");
    const std::optional<ListedWorksheet> cut = readListedWorksheet(folder / "ADD300001");
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->incomplete);
    EXPECT_EQ(cut->count, 300);
    EXPECT_TRUE(std::filesystem::exists(folder / "ADD300001"));
}

} // namespace
} // namespace sbk3
