#include "store/WorksheetList.h"

#include "support/Platform.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>

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

TEST(WorksheetListTest, StoredWorksheetsNewestFirstWithTheirTitles) {
    test::TempFolder folder;
    const auto write = [&](const std::string& name, const std::string& bytes, int age) {
        test::writeBytes(folder / name, bytes);
        const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(age);
        std::filesystem::last_write_time(folder / name, when);
    };
    write("ADD001001", "\"Oldest\",\"ADD001001\",1\r\n1,2,\"+\"\r\n", 30);
    write("SUB001002", "\"Newest, with a comma\",\"SUB001002\",1\r\n5,2,\"-\"\r\n", 1);
    write("MIX001003", "\"He said \"go\"\",\"MIX001003\",1\r\n5,2,+\r\n", 5);
    write("DIV001004", "not a worksheet at all", 2);         // no header: left out
    write("notes.txt", "\"T\",\"notes\",1\r\n1,2,+\r\n", 3); // not a number's form
    write("ADD001005.pdf", "%PDF-1.4", 0);
    std::filesystem::create_directory(folder / "ADD001006");
    test::makeFifo(folder / "ADD001007"); // never waited on, where the system has FIFOs
    test::writeBytes(folder / "ADD001008",
                     "\"Big\",\"ADD001008\",1\r\n" + std::string(2 << 20, ' '));

    const std::vector<ListedWorksheet> listed = ListWorksheets(folder.path());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].number, "SUB001002");
    EXPECT_EQ(listed[0].title, "Newest, with a comma");
    EXPECT_EQ(listed[1].number, "MIX001003");
    EXPECT_EQ(listed[1].title, "He said \"go\"");
    EXPECT_EQ(listed[2].number, "ADD001001");
    for (const ListedWorksheet& sheet : listed)
        EXPECT_FALSE(sheet.incomplete) << sheet.number;
    EXPECT_TRUE(ListWorksheets(folder / "missing").empty());
}

// A save cut off by a crash or a full disk leaves fewer lines than the header's count: listed,
// marked and after every whole one however new, never deleted.
TEST(WorksheetListTest, ACutOffWorksheetIsListedLastAndMarked) {
    test::TempFolder folder;
    test::writeBytes(folder / "ADD300001", "\"Cut\",\"ADD300001\",300\r\n1,2,\"+\"\r\n3,");
    test::writeBytes(folder / "ADD002002",
                     "\"Whole\",\"ADD002002\",2\r\n1,2,\"+\"\r\n3,4,\"+\"\r\n");
    std::filesystem::last_write_time(folder / "ADD002002",
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::hours(48));
    const std::vector<ListedWorksheet> listed = ListWorksheets(folder.path());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], (ListedWorksheet{"ADD002002", "Whole", false}));
    EXPECT_EQ(listed[1], (ListedWorksheet{"ADD300001", "Cut", true}));
    EXPECT_TRUE(std::filesystem::exists(folder / "ADD300001"));
}

} // namespace
} // namespace sbk3
