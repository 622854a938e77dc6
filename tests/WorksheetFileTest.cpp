#include "store/WorksheetFile.h"

#include "common/RuntimeError.h"
#include "support/Platform.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

using test::TempFolder;

// Writes a worksheet the way Print/Save does: header, then one open-append-close per line.
void writeSheet(const std::filesystem::path& path, const std::string& header,
                const std::vector<std::string>& lines) {
    std::filesystem::remove(path);
    const std::optional<NewWorksheetFile> made = NewWorksheetFile::create(path, header);
    ASSERT_TRUE(made);
    for (const std::string& line : lines) {
        WorksheetAppender file(*made);
        file.writeLine(line);
        file.close();
    }
}

int errorNumber(const std::string& bytes) {
    try {
        parseWorksheet(bytes);
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST(WorksheetFileTest, WorkedExamplesComeOutByteForByte) {
    TempFolder folder;
    writeSheet(
        folder / "ADD003042", headerLine("Drill ADD003042", "ADD003042", 3),
        {problemLine(7, 3, "+", true), problemLine(0, 9, "+", true), problemLine(5, 5, "+", true)});
    EXPECT_EQ(test::readBytes(folder / "ADD003042"),
              "\"Drill ADD003042\",\"ADD003042\",3\r\n7,3,\"+\"\r\n0,9,\"+\"\r\n5,5,\"+\"\r\n");

    writeSheet(folder / "MIX004517", headerLine("Mixed practice", "MIX004517", 4),
               {problemLine(3, 5, "+", false), problemLine(9, 4, "-", true),
                problemLine(18, 9, "\xC3\xB7", true), problemLine(0, 7, "x", false)});
    EXPECT_EQ(test::readBytes(folder / "MIX004517"),
              "\"Mixed practice\",\"MIX004517\",4\r\n3,5,+\r\n9,4,\"-\"\r\n18,9,\"\xF7\"\r\n"
              "0,7,x\r\n");
}

TEST(WorksheetFileTest, TitlesReadBackUnchanged) {
    const char* titles[] = {"Commas, here, and there",
                            "  leading and trailing blanks  ",
                            "",
                            "He said \"add\", then \"stop\"",
                            "\"",
                            "\"quoted\",\"X\",3",
                            "Caf\xC3\xA9 \xE2\x82\xAC", // fits Windows-1252
                            "\xCE\x91\xCF\x81\xCE\xB9\xCE\xB8\xCE\xBC\xCF\x8C\xCF\x82", // Greek
                            "\xE7\xAE\x97\xE6\x9C\xAF (N) \"x\""};                      // Chinese
    TempFolder folder;
    for (const char* title : titles) {
        const auto path = folder / "DIV002001";
        writeSheet(path, headerLine(title, "DIV002001", 2),
                   {problemLine(18, 9, "\xC3\xB7", true), problemLine(8, 2, "\xC3\xB7", true)});
        const SavedWorksheet sheet = readWorksheetFile(path);
        EXPECT_EQ(sheet.title, title);
        EXPECT_EQ(sheet.sheetCode, "DIV002001") << title;
        ASSERT_EQ(sheet.problems.size(), 2u) << title;
        EXPECT_EQ(sheet.problems[1], (Problem{8, 2, "\xC3\xB7"})) << title;
    }
}

TEST(WorksheetFileTest, OnlyTitlesBeyondWindows1252AreWrittenAsUtf8) {
    TempFolder folder;
    writeSheet(folder / "a", headerLine("\xCE\xB1", "DIV001001", 1),
               {problemLine(18, 9, "\xC3\xB7", true)});
    EXPECT_EQ(test::readBytes(folder / "a"),
              "\xEF\xBB\xBF\"\xCE\xB1\",\"DIV001001\",1\r\n18,9,\"\xC3\xB7\"\r\n");
    writeSheet(folder / "b", headerLine("\xE2\x82\xAC", "DIV001001", 1),
               {problemLine(18, 9, "\xC3\xB7", true)});
    EXPECT_EQ(test::readBytes(folder / "b"), "\"\x80\",\"DIV001001\",1\r\n18,9,\"\xF7\"\r\n");
}

TEST(WorksheetFileTest, RecordReadingFollowsFieldsAcrossLines) {
    const SavedWorksheet sheet = parseWorksheet(
        "  \"T, x\" , \"ADD002001\" , 2\r\n 7 , 3 ,  +  \r\n4\r\n5,\"x\"\r\nextra,lines,here\r\n");
    EXPECT_EQ(sheet.title, "T, x");
    EXPECT_EQ(sheet.count, 2);
    const std::vector<Problem> expected = {{7, 3, "+"}, {4, 5, "x"}};
    EXPECT_EQ(sheet.problems, expected);

    // Lines past the count are never read; LF-only line ends read too.
    const SavedWorksheet lf = parseWorksheet("\"T\",\"ADD001001\",1\n1,2,\"+\"\nnot,a,problem\n");
    EXPECT_EQ(lf.problems, (std::vector<Problem>{{1, 2, "+"}}));
}

TEST(WorksheetFileTest, FailuresCarryTheRunTimeErrorTheyStandFor) {
    const struct {
        const char* bytes;
        int number;
    } cases[] = {
        {"\"T\",\"ADD003001\",3\r\n1,2,\"+\"\r\n3,4,\"+\"\r\n", 62}, // a line short
        {"\"T\",\"ADD001001\",1\r\n", 62},                           // header only
        {"", 62},                                                    // empty file
        {"\"T\",\"ADD001001\",1\r\n1,2", 62},                        // cut mid-record
        {"\"T\",\"ADD001001\",1\r\nseven,2,\"+\"\r\n", 13},          // not a number
        {"\"T\",\"ADD001001\",x\r\n", 13},                           // count not a number
        {"\"T\",\"ADD001001\",1\r\n40000,2,\"+\"\r\n", 6},           // beyond 16 bits
        {"\"T\",\"ADD001001\",-40000\r\n", 6},
        {"\"T\",\"ADD001001\",0\r\n", 0}, // nothing to read
        {"\"T\",\"ADD001001\",-5\r\n", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorNumber(c.bytes), c.number) << c.bytes;
}

TEST(WorksheetFileTest, ACountAbove300FailsBeforeA301stEntry) {
    std::string bytes = "\"T\",\"MUL301001\",301\r\n";
    for (int i = 0; i < 301; ++i)
        bytes += "1,2,\"x\"\r\n";
    EXPECT_EQ(errorNumber(bytes), 9);

    std::string full = "\"T\",\"MUL300001\",300\r\n";
    for (int i = 0; i < 300; ++i)
        full += std::to_string(i % 10) + ",2,\"x\"\r\n";
    const SavedWorksheet sheet = parseWorksheet(full);
    ASSERT_EQ(sheet.problems.size(), 300u);
    EXPECT_EQ(sheet.problems[299], (Problem{9, 2, "x"}));
}

TEST(WorksheetFileTest, AMissingFileIsFileNotFound) {
    TempFolder folder;
    try {
        readWorksheetFile(folder / "ADD007042");
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 53);
        EXPECT_EQ(error.description(), "File not found");
    }
}

// A worksheet swapped for a link is not read through it: what is printed is what was listed.
TEST(WorksheetFileTest, ALinkIsNeverReadThrough) {
    TempFolder folder;
    test::writeBytes(folder / "outside", "\"Outside\",\"ADD001001\",1\r\n1,2,\"+\"\r\n");
    ASSERT_NO_THROW(readWorksheetFile(folder / "outside"));
    std::error_code noLinks;
    std::filesystem::create_symlink(folder / "outside", folder / "ADD001001", noLinks);
    if (noLinks)
        GTEST_SKIP() << "no links here: " << noLinks.message();
    try {
        readWorksheetFile(folder / "ADD001001");
        FAIL() << "read through the link";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.code(), ErrorNumber::BadFileMode);
    }
}

// Reading takes what is there, not what the size said: a file that grew since it was asked, or
// one whose size reads 0 (as the system's own /proc files do), is read whole; and every file
// read is closed again.
TEST(WorksheetFileTest, AFileIsReadWholeWhateverItsSizeSaidAndClosed) {
    if (std::filesystem::exists("/proc/self/status")) {
        const std::string status = readWorksheetBytes("/proc/self/status");
        EXPECT_NE(status.find("\nPid:"), std::string::npos) << status.size();
    }
    TempFolder folder;
    test::writeBytes(folder / "ADD001001", "\"T\",\"ADD001001\",1\r\n1,2,\"+\"\r\n");
    const std::optional<std::size_t> before = test::openFiles();
    for (int k = 0; k < 3; ++k)
        readWorksheetFile(folder / "ADD001001");
    EXPECT_EQ(test::openFiles(), before);
}

TEST(WorksheetFileTest, AFailedCreationLeavesNothingBehind) {
    TempFolder folder;
    test::writeBytes(folder / "plain", "x");
    // A folder path that runs through a regular file cannot hold files, even for root.
    EXPECT_THROW(NewWorksheetFile::create(folder / "plain" / "ADD001001", "\"T\",\"ADD001001\",1"),
                 RuntimeError);
    EXPECT_THROW(WorksheetAppender(folder / "plain" / "ADD001001", FileEncoding::Windows1252),
                 RuntimeError);
}

} // namespace
} // namespace sbk3
