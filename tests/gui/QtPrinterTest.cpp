#include "print/QtPrinter.h"

#include "common/RuntimeError.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "support/Pdf.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <regex>

namespace sbk3 {
namespace {

SavedWorksheet mixedSheet(int count) {
    SavedWorksheet sheet;
    sheet.title = "Times and more MIX" + std::to_string(count);
    sheet.count = static_cast<std::int16_t>(count);
    const char* ops[] = {"+", "-", "x", "\xC3\xB7"};
    for (int k = 0; k < count; ++k)
        sheet.problems.push_back({static_cast<std::int16_t>(10 + k % 72),
                                  static_cast<std::int16_t>(1 + k % 9), ops[k % 4]});
    return sheet;
}

class QtPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!printer.printsToFile())
            GTEST_SKIP() << "a system printer is set up; these tests read the PDF stand-in";
    }

    std::filesystem::path printPage(const SavedWorksheet& sheet, bool compact, int bold,
                                    const std::string& bottom, const std::string& job) {
        PositionTable positions;
        compact ? LayoutCompact(positions) : LayoutEasy(positions);
        printer.setJobName(job);
        PrintWorksheetPage(printer, surface, {positions, bold, bottom}, sheet);
        return folder / (job + ".pdf");
    }

    test::TempFolder folder;
    QtPrinter printer{folder.path()};
    ProblemSurface surface;
};

TEST_F(QtPrinterTest, APageIsOneLetterSizedPdfNamedAfterTheJob) {
    const auto pdf = printPage(mixedSheet(3), false, 0, "Bottom text", "ADD003042");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(printer.outputFile(), pdf.string());
    const std::string info = test::pdfInfo(pdf);
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+1\n"))) << info;
    EXPECT_NE(info.find("612 x 792 pts (letter)"), std::string::npos) << info;
    EXPECT_NE(info.find("ADD003042"), std::string::npos) << info; // the document's title
    EXPECT_NEAR(printer.scaleHeight(), 63.0f, 0.01f);             // 11 in less two 1/4 in margins
}

TEST_F(QtPrinterTest, PdfHoldsNameLineTitleEveryProblemAndTheBottomLine) {
    const SavedWorksheet sheet = mixedSheet(80);
    const std::string text =
        test::pdfText(printPage(sheet, false, 1, "Mrs Smith, class 3", "MIX080001"));
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find("Name______________________________"), std::string::npos);
    EXPECT_NE(text.find("Times and more MIX80"), std::string::npos);
    EXPECT_NE(text.find("Mrs Smith, class 3"), std::string::npos);
    // Each problem is two lines in a monospaced face; count the lower lines by operator.
    std::map<std::string, int> counts;
    for (const char* op : {"+", "-", "x", "\xC3\xB7"}) {
        const std::regex lower(std::string(op == std::string("+") ? "\\+" : op) + " [1-9]\\b");
        counts[op] = static_cast<int>(std::distance(
            std::sregex_iterator(text.begin(), text.end(), lower), std::sregex_iterator()));
    }
    EXPECT_EQ(counts["+"], 20);
    EXPECT_EQ(counts["-"], 20);
    EXPECT_EQ(counts["x"], 20);
    EXPECT_EQ(counts["\xC3\xB7"], 20);
    for (int k = 0; k < 72; ++k)
        EXPECT_NE(text.find(" " + std::to_string(10 + k)), std::string::npos) << k;
}

TEST_F(QtPrinterTest, PrintingAgainReplacesThePdf) {
    const auto pdf = printPage(mixedSheet(3), false, 0, "first", "ADD003042");
    printPage(mixedSheet(3), true, 0, "second", "ADD003042");
    const std::string text = test::pdfText(pdf);
    EXPECT_EQ(text.find("first"), std::string::npos);
    EXPECT_NE(text.find("second"), std::string::npos);
}

TEST_F(QtPrinterTest, AnAbandonedDocumentLeavesNoFile) {
    printer.setJobName("SUB001001");
    printer.printLine("half a page");
    printer.killDoc();
    EXPECT_FALSE(std::filesystem::exists(folder / "SUB001001.pdf"));
    EXPECT_EQ(printer.outputFile(), "");
}

TEST_F(QtPrinterTest, AFolderThatCannotHoldThePdfIsAPrinterError) {
    test::writeBytes(folder / "file", "x");
    QtPrinter blocked(folder / "file");
    blocked.setJobName("ADD001001");
    try {
        blocked.printLine("Name");
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.description(), "Printer error");
    }
}

} // namespace
} // namespace sbk3
