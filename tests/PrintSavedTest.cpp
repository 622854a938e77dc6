#include "print/PageCommands.h"

#include "print/Layout.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "support/FakeDialogs.h"
#include "support/Platform.h"
#include "support/RecordingPrinter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace sbk3 {
namespace {

using test::FakeDialogs;
using test::RecordingPrinter;

class PrintSavedTest : public ::testing::Test {
protected:
    PrintSavedTest() { LayoutEasy(positions); }

    void save(const std::string& number, int count, int lines = -1) {
        std::string bytes =
            "\"Sheet " + number + "\",\"" + number + "\"," + std::to_string(count) + "\r\n";
        for (int k = 0; k < (lines < 0 ? count : lines); ++k)
            bytes += std::to_string(k % 10) + ",3,\"+\"\r\n";
        test::writeBytes(folder / number, bytes);
    }

    void run() {
        PrintSaved(controls, state,
                   {dialogs, printer, surface, positions, folder.path(), folder.path()});
    }

    void type(const std::string& number) {
        dialogs.typed = {number};
        run();
    }

    bool printed() const { return !printer.calls("EndDoc").empty(); }

    void expectNoSerial() {
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.last().text, "This number is either deleted or doesn't exist!");
        EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
        EXPECT_EQ(dialogs.last().caption, "No Serial");
        EXPECT_FALSE(printed());
        EXPECT_TRUE(printer.calls("Print").empty());
    }

    PageControls controls;
    SheetState state;
    FakeDialogs dialogs;
    RecordingPrinter printer;
    ProblemSurface surface;
    PositionTable positions;
    test::TempFolder folder;
};

TEST_F(PrintSavedTest, PrintsTheTypedNumber) {
    save("ADD003042", 3);
    type("ADD003042");
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    EXPECT_EQ(dialogs.inputs[0].prompt, "Enter the worksheet number:");
    EXPECT_EQ(dialogs.inputs[0].caption, "Print Saved");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(printer.log.front(), "FontBold 0");
    EXPECT_EQ(printer.calls("JobName"), std::vector<std::string>{"JobName ADD003042"});
    EXPECT_EQ(printer.calls("Print")[1], "Print Sheet ADD003042");
    EXPECT_EQ(printer.calls("Picture").size(), 3u);
    EXPECT_TRUE(printed());
}

// Several stored worksheets, each copies times, in one document and one box; one the layout
// cannot hold and one that is gone are named and left out.
TEST_F(PrintSavedTest, SeveralPrintAsOneDocumentWithTheirCopiesAndOneReport) {
    save("ADD003042", 3);
    save("SUB002001", 2);
    save("ADD081001", 81);
    PrintStoredSheets({"ADD003042", "ADD081001", "SUB002001", "MUL001001"}, 2, false, controls,
                      {dialogs, printer, surface, positions, folder.path(), folder.path()});
    EXPECT_EQ(printer.calls("EndDoc").size(), 1u);
    EXPECT_EQ(printer.calls("NewPage").size(), 3u);
    EXPECT_EQ(printer.calls("Picture").size(), 2u * 3u + 2u * 2u);
    EXPECT_EQ(printer.calls("JobName"), std::vector<std::string>{"JobName ADD003042-SUB002001"});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const std::string& said = dialogs.last().text;
    EXPECT_TRUE(said.starts_with("Sent 4 pages of ADD003042, SUB002001 to the printer.\n\nNot "
                                 "printed:\nWorksheet ADD081001 has 81 problems"))
        << said;
    EXPECT_NE(said.find("\nMUL001001: "), std::string::npos) << said;
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
}

TEST_F(PrintSavedTest, EmptyAnswerOrCancelEndsQuietly) {
    type("");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(printed());
}

TEST_F(PrintSavedTest, MissingAndUnsafeNumbersAreNoSerial) {
    save("ADD003042", 3);
    std::filesystem::create_directory(folder / "sub");
    test::writeBytes(folder / "sub" / "x", "\"T\",\"x\",0\r\n");
    const std::string outside = (folder.path().parent_path() / "x").string();
    for (const std::string& number : std::vector<std::string>{
             "ADD003043", "../x", "sub/x", "sub\\x", outside, ".", "..", " ADD003042"}) {
        dialogs.messages.clear();
        type(number);
        SCOPED_TRACE(number);
        expectNoSerial();
    }
}

TEST_F(PrintSavedTest, LetterCaseDoesNotMatterButAnExactMatchWins) {
    save("ADD003042", 3);
    type("add003042");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(printer.calls("Print")[1], "Print Sheet ADD003042");

    if (!test::namesDifferByCase(folder.path()))
        return; // names that differ only in letter case cannot both exist there
    test::writeBytes(folder / "add003042", "\"Lower\",\"add003042\",0\r\n");
    printer.log.clear();
    type("add003042");
    EXPECT_EQ(printer.calls("Print")[1], "Print Lower");
    printer.log.clear();
    type("ADD003042");
    EXPECT_EQ(printer.calls("Print")[1], "Print Sheet ADD003042");
}

TEST_F(PrintSavedTest, EasyReadingHoldsEightyProblems) {
    save("ADD080001", 80);
    save("ADD081001", 81);
    type("ADD080001");
    EXPECT_EQ(printer.calls("Picture").size(), 80u);

    printer.log.clear();
    type("ADD081001");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().caption, "Worksheet Can Not Be Processed");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_NE(dialogs.last().text.find("80"), std::string::npos);
    EXPECT_NE(dialogs.last().text.find("Easy Reading"), std::string::npos);
    EXPECT_FALSE(printed());

    controls.look.easy = false;
    LayoutCompact(positions);
    for (const char* number : {"ADD080001", "ADD081001"}) {
        printer.log.clear();
        type(number);
        EXPECT_TRUE(printed()) << number;
    }
    EXPECT_EQ(printer.calls("Picture").size(), 81u);
}

TEST_F(PrintSavedTest, DamagedFilesAreReportedAndNothingIsPrinted) {
    save("ADD005001", 5, 3); // fewer lines than the count
    save("ADD002001", 2, 4); // more lines than the count: prints two
    save("MUL301001", 301);  // above the largest worksheet
    test::writeBytes(folder / "SUB001001", "\"T\",\"SUB001001\",1\r\nx,1,\"-\"\r\n");
    controls.look.easy = false;
    LayoutCompact(positions);

    const struct {
        const char* number;
        const char* message;
    } cases[] = {{"ADD005001", "Worksheet ADD005001 could not be printed: Input past end of file"},
                 {"MUL301001", "Worksheet MUL301001 could not be printed: Subscript out of range"},
                 {"SUB001001", "Worksheet SUB001001 could not be printed: Type mismatch"}};
    for (const auto& c : cases) {
        dialogs.messages.clear();
        printer.log.clear();
        type(c.number);
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.number;
        EXPECT_EQ(dialogs.last().text, c.message);
        EXPECT_EQ(dialogs.last().caption, "Print Saved");
        EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
        EXPECT_FALSE(printed()) << c.number;
        EXPECT_TRUE(printer.calls("Print").empty()) << c.number;
    }

    printer.log.clear();
    dialogs.messages.clear();
    type("ADD002001");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(printer.calls("Picture").size(), 2u);
}

TEST_F(PrintSavedTest, WhatIsNoWorksheetFileIsRefusedAtOnceAndLeftClosed) {
    std::filesystem::create_directory(folder / "DIR");
    test::writeBytes(folder / "BIG", "\"T\",\"BIG\",1\r\n" + std::string(2 << 20, ' '));
    std::vector<std::pair<std::string, std::string>> cases = {
        {"DIR", "DIR is not a worksheet file."}, {"BIG", "BIG is too large to be a worksheet."}};
    // Where the system has FIFOs: one with no writer, which reading must not wait on, and a
    // link to an endless device.
    if (test::makeFifo(folder / "FIFO")) {
        std::filesystem::create_symlink("/dev/zero", folder / "ZERO");
        cases.push_back({"FIFO", "FIFO is not a worksheet file."});
        cases.push_back({"ZERO", "ZERO is not a worksheet file."});
    }
    const std::optional<std::size_t> before = test::openFiles();
    for (const auto& [number, message] : cases) {
        dialogs.messages.clear();
        const auto start = std::chrono::steady_clock::now();
        type(number);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << number;
        ASSERT_EQ(dialogs.messages.size(), 1u) << number;
        EXPECT_EQ(dialogs.last().text, message);
        EXPECT_EQ(dialogs.last().caption, "Print Saved");
        EXPECT_FALSE(printed()) << number;
    }
    EXPECT_EQ(test::openFiles(), before);
}

TEST_F(PrintSavedTest, AnOldFileWithALineBreakAndQuotesInItsTitlePrintsOnOneLine) {
    test::writeBytes(folder / "ADD001001",
                     "\"Week 1\r\n\"Sums\"\",\"ADD001001\",1\r\n7,3,\"+\"\r\n");
    type("ADD001001");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(printer.calls("Print")[1], "Print Week 1  \"Sums\"");
    EXPECT_EQ(printer.calls("Picture").size(), 1u);
}

TEST_F(PrintSavedTest, ANewSheetPrintsWithoutAskingAndTheFlagClearsOnEveryWayOut) {
    save("ADD003042", 3);
    save("ADD090001", 90);
    save("ADD005001", 5, 2);

    state = {"ADD003042", true};
    run();
    EXPECT_TRUE(dialogs.inputs.empty());
    EXPECT_TRUE(printed());
    EXPECT_FALSE(state.PrintNewSheet);

    for (const char* number : {"ADD090001", "ADD005001", "ADD999999"}) {
        state = {number, true};
        run();
        EXPECT_FALSE(state.PrintNewSheet) << number;
        EXPECT_TRUE(dialogs.inputs.empty()) << number;
    }
    // A later click asks again.
    dialogs.typed = {""};
    run();
    EXPECT_EQ(dialogs.inputs.size(), 1u);
}

TEST_F(PrintSavedTest, APrinterFailureAbandonsTheDocumentAndRestoresTheFont) {
    save("ADD003042", 3);
    // FontBold, JobName, FontSize, PageScale, FontSize, Print, FontSize, Print, FontSize, Picture
    printer.failAtCall = 9;
    printer.fontSize = 12;
    type("ADD003042");
    EXPECT_EQ(printer.log[9], "FAILED Picture 3,4 [  0|+ 3_]");
    EXPECT_EQ(std::vector<std::string>(printer.log.begin() + 10, printer.log.end()),
              (std::vector<std::string>{"KillDoc", "FontSize 12", "FontBold 0"}));
    EXPECT_FALSE(printer.documentOpen);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Worksheet ADD003042 could not be printed: Printer error");
    EXPECT_FALSE(state.PrintNewSheet);
}

TEST_F(PrintSavedTest, AFailureOnceThePageIsUnderWayIsNeverTakenForAMissingNumber) {
    save("ADD003042", 3);
    printer.failure = RuntimeError(ErrorNumber::FileNotFound); // while printing: no number
    printer.failAtCall = 18;                                   // EndDoc
    type("ADD003042");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Worksheet ADD003042 could not be printed: File not found");
    EXPECT_EQ(dialogs.last().caption, "Print Saved");
}

TEST_F(PrintSavedTest, TheMissingNumberRuleGoesByTheDescription) {
    save("ADD003042", 3);
    // The first call of the command is the printer's bold, before the file is read.
    printer.failAtCall = 0;
    printer.failure = RuntimeError(ErrorNumber::PrinterError, "Fault in the printer");
    type("ADD003042");
    EXPECT_EQ(dialogs.last().caption, "No Serial");
    printer.log.clear();
    printer.failure = RuntimeError(ErrorNumber::FileNotFound, "Gone");
    type("ADD003042");
    EXPECT_EQ(dialogs.last().caption, "Print Saved");
    EXPECT_EQ(dialogs.last().text.substr(dialogs.last().text.size() - 6), ": Gone");
}

TEST_F(PrintSavedTest, APausedPrinterHoldingThePageIsToldOf) {
    save("ADD003042", 3);
    printer.outcome = {PageOutcome::Kind::HeldByPrinter, "Office", {}};
    type("add003042"); // named by its own number, whatever the case typed
    EXPECT_EQ(printer.calls("JobName"), std::vector<std::string>{"JobName ADD003042"});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Worksheet ADD003042 was sent to the printer Office, which is "
                                   "paused. It will print when the printer is resumed.");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.last().caption, "Print Saved");
}

TEST_F(PrintSavedTest, TheNumberBoxOffersTheStoredWorksheets) {
    save("ADD003042", 3);
    type("");
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    EXPECT_EQ(dialogs.inputs[0].offeredFolder, folder.path());
}

TEST_F(PrintSavedTest, AnswerKeysAndPdfsFindTheirWorksheetLikePrintSaved) {
    save("ADD003042", 3);
    save("ADD090001", 90);
    // The context menu's three, in the table's order after Print Saved.
    const auto command = [&](std::size_t row) {
        return [&, row] {
            RunPageCommand(
                pageCommands()[row], controls, state,
                {dialogs, printer, surface, positions, folder.path(), folder / "Documents"});
        };
    };
    const struct {
        const char* caption;
        std::function<void()> run;
        const char* document;
        bool pdf;
    } commands[] = {
        {"Print Answer Key", command(1), "ADD003042-answers", false},
        {"Save Worksheet as PDF", command(2), "ADD003042", true},
        {"Save Answer Key as PDF", command(3), "ADD003042-answers", true},
    };
    for (const auto& c : commands) {
        const auto fresh = [&] {
            dialogs.messages.clear();
            dialogs.inputs.clear();
            dialogs.saveProposals.clear();
            dialogs.savePaths.clear();
            printer.log.clear();
        };
        // The same box, the same refusals.
        fresh();
        dialogs.typed = {"ADD999999"};
        c.run();
        ASSERT_EQ(dialogs.inputs.size(), 1u) << c.caption;
        EXPECT_EQ(dialogs.inputs[0].prompt, "Enter the worksheet number:");
        EXPECT_EQ(dialogs.inputs[0].caption, c.caption);
        EXPECT_EQ(dialogs.last().caption, "No Serial") << c.caption;
        // 90 problems in Easy Reading: a worksheet is refused; its answer key goes on the
        // Compact Test layout, which any sheet of it was printed on.
        fresh();
        dialogs.typed = {"ADD090001"};
        c.run();
        const bool key = std::string(c.document).find("answers") != std::string::npos;
        if (!key) {
            EXPECT_EQ(dialogs.last().caption, "Worksheet Can Not Be Processed") << c.caption;
            EXPECT_TRUE(dialogs.saveProposals.empty());
        } else if (!c.pdf) {
            EXPECT_TRUE(dialogs.messages.empty()) << c.caption;
            const auto pictures = printer.calls("Picture");
            ASSERT_EQ(pictures.size(), 90u);
            PositionTable compact;
            LayoutCompact(compact);
            EXPECT_EQ(pictures[89].rfind("Picture " + test::floatText(compact(90).X) + "," +
                                             test::floatText(compact(90).Y) + " ",
                                         0),
                      0u)
                << pictures[89];
        } else {
            EXPECT_EQ(dialogs.saveProposals.size(), 1u) << c.caption; // asked where; Cancel
        }
        // Found, and for a PDF first a place asked for; Cancel there makes nothing.
        if (c.pdf) {
            fresh();
            dialogs.typed = {"add003042"};
            c.run();
            ASSERT_EQ(dialogs.saveProposals.size(), 1u);
            EXPECT_EQ(dialogs.saveProposals[0],
                      (folder / "Documents" / (std::string(c.document) + ".pdf")).string());
            EXPECT_FALSE(printed()) << c.caption;
            EXPECT_TRUE(dialogs.messages.empty());
        }
        fresh();
        dialogs.typed = {"add003042"};
        dialogs.savePaths = {"/chosen/page.pdf"};
        printer.outcome =
            c.pdf ? PageOutcome{PageOutcome::Kind::WrittenToFile, "/chosen/page.pdf", {}}
                  : PageOutcome{};
        c.run();
        EXPECT_TRUE(printed()) << c.caption;
        EXPECT_EQ(printer.calls("JobName"),
                  std::vector<std::string>{std::string("JobName ") + c.document});
        EXPECT_EQ(printer.calls("PdfTarget").size(), c.pdf ? 1u : 0u);
        const bool answers = std::string(c.document).find("answers") != std::string::npos;
        EXPECT_EQ(printer.calls("Print")[1],
                  answers ? "Print Sheet ADD003042 - Answer Key" : "Print Sheet ADD003042");
        if (c.pdf) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.last().text, "Worksheet ADD003042 was saved as:\n/chosen/page.pdf");
            EXPECT_EQ(dialogs.last().caption, c.caption);
        } else {
            EXPECT_TRUE(dialogs.messages.empty());
        }
    }
}

TEST_F(PrintSavedTest, APdfStandInIsNamedAfterPrinting) {
    save("ADD003042", 3);
    printer.outcome = {PageOutcome::Kind::WrittenToFile, "/somewhere/ADD003042.pdf", {}};
    type("ADD003042");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.last().text.find("ADD003042"), std::string::npos);
    EXPECT_NE(dialogs.last().text.find("/somewhere/ADD003042.pdf"), std::string::npos);
    EXPECT_EQ(dialogs.last().caption, "Sumbrook 3");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::None);
}

} // namespace
} // namespace sbk3
