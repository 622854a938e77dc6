#include "store/WorksheetList.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace sbk3 {
namespace {

TEST(WorksheetListTest, NamesOfTheWorksheetNumbersForm) {
    for (const char* name : {"ADD007042", "SUB300999", "MIX001000", "DIV002.5042", "MUL009,5001"})
        EXPECT_TRUE(looksLikeWorksheetNumber(name)) << name;
    for (const char* name : {"add007042", "ADD07042", "ADD0070421", "XYZ007042", "ADD007042.pdf",
                             "ADD00704A", "ADD.5042", ""})
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
#ifndef _WIN32
    ::mkfifo((folder / "ADD001007").c_str(), 0644); // never waited on
#endif
    test::writeBytes(folder / "ADD001008",
                     "\"Big\",\"ADD001008\",1\r\n" + std::string(2 << 20, ' '));

    const std::vector<ListedWorksheet> listed = ListWorksheets(folder.path());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].number, "SUB001002");
    EXPECT_EQ(listed[0].title, "Newest, with a comma");
    EXPECT_EQ(listed[1].number, "MIX001003");
    EXPECT_EQ(listed[1].title, "He said \"go\"");
    EXPECT_EQ(listed[2].number, "ADD001001");
    EXPECT_TRUE(ListWorksheets(folder / "missing").empty());
}

} // namespace
} // namespace sbk3
