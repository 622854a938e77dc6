#include "app/MainWindow.h"

#include "print/Answers.h"
#include "print/QtPrinter.h"
#include "store/WorksheetFile.h"
#include "support/FakeDialogs.h"
#include "support/Pdf.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"
#include "worksheet/Random.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

void trigger(frmMain& window, const char* item) {
    window.findChild<QAction*>(QString::fromLatin1(item))->trigger();
}

// The real window, generator and printer adapter; only the boxes are scripted.
TEST(WorksheetRoundTripTest, SaveAndPrintThenPrintAgainInTheOtherLayout) {
    test::TempFolder folder;
    test::FakeDialogs dialogs;
    QtPrinter printer(folder.path());
    if (test::aSystemPrinterIsSetUp())
        GTEST_SKIP() << "a system printer is set up; this test reads the PDF stand-in";
    ClockRandom random;
    frmMain window(MainPorts{dialogs, printer, random, folder.path(), ".", [] {}, folder.path()});

    auto* count = window.findChild<QLineEdit*>(QStringLiteral("txtNumOfProblems"));
    count->setText(QStringLiteral("80"));
    window.findChild<QComboBox*>(QStringLiteral("cboType"))->setCurrentIndex(3); // Division
    window.findChild<QLineEdit*>(QStringLiteral("txtTitle"))
        ->setText(QStringLiteral("Share (N) out"));
    dialogs.answers = {MsgResult::Yes};
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdPrint")), Qt::LeftButton);

    const std::string number = window.sheet.SheetCode;
    ASSERT_EQ(number.substr(0, 6), "DIV080");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.inputs.empty()); // Yes prints without asking for the number
    const auto pdf = folder / (number + ".pdf");
    EXPECT_NE(dialogs.last().text.find(pdf.string()), std::string::npos) << dialogs.last().text;
    EXPECT_NE(dialogs.last().text.find(number), std::string::npos);
    std::string text = test::pdfText(pdf);
    EXPECT_NE(text.find("Share " + number + " out"), std::string::npos);
    EXPECT_FALSE(window.sheet.PrintNewSheet);

    // Again by its number, compact, bold, with a bottom line.
    window.findChild<QRadioButton*>(QStringLiteral("optCompact"))->click();
    window.findChild<QPushButton*>(QStringLiteral("chkBold"))->click();
    window.findChild<QLineEdit*>(QStringLiteral("txtAppend"))->setText(QStringLiteral("Room 12"));
    dialogs.typed = {number};
    window.findChild<QPushButton*>(QStringLiteral("cmdPrintSaved"))->click();
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    text = test::pdfText(pdf);
    EXPECT_NE(text.find("Room 12"), std::string::npos);
    EXPECT_NE(test::commandOutput("pdffonts " + test::shellQuote(pdf.string())).find("Mono-Bold"),
              std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\xF7'), 0); // UTF-8 in, UTF-8 out
    std::size_t divides = 0;
    for (std::size_t at = text.find("\xC3\xB7"); at != std::string::npos;
         at = text.find("\xC3\xB7", at + 1))
        ++divides;
    EXPECT_EQ(divides, 80u);
}

// The context menu's PDFs with the real printer adapter: the page and its answer key land where
// the user chose; a place that cannot hold a file gets a box and nothing.
TEST(WorksheetRoundTripTest, SaveAsPdfWritesThePageWhereChosenOrNothing) {
    test::TempFolder folder;
    test::TempFolder documents;
    test::FakeDialogs dialogs;
    QtPrinter printer(folder.path());
    test::ScriptedRandom random({0.0425f, 0.25f, 0.45f, 0.65f});
    frmMain window(
        MainPorts{dialogs, printer, random, folder.path(), ".", [] {}, documents.path()});
    window.findChild<QLineEdit*>(QStringLiteral("txtNumOfProblems"))->setText(QStringLiteral("8"));
    window.findChild<QComboBox*>(QStringLiteral("cboType"))->setCurrentIndex(4); // Mixed
    window.cmdPrint_Click();
    const std::string number = window.sheet.SheetCode;
    ASSERT_EQ(number, "MIX008042");

    const auto page = documents / "page.pdf";
    const auto key = documents / "key.pdf";
    dialogs.messages.clear();
    dialogs.typed = {number, number};
    dialogs.savePaths = {page.string(), key.string()};
    trigger(window, "actSaveWorksheetPdf");
    trigger(window, "actSaveAnswerKeyPdf");
    EXPECT_EQ(dialogs.saveProposals,
              (std::vector<std::string>{(documents / (number + ".pdf")).string(),
                                        (documents / (number + "-answers.pdf")).string()}));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "Worksheet " + number + " was saved as:\n" + page.string());
    const std::string pageText = test::pdfText(page);
    const std::string keyText = test::pdfText(key);
    EXPECT_NE(pageText.find("Math Worksheet - " + number), std::string::npos);
    EXPECT_EQ(pageText.find("Answer Key"), std::string::npos);
    EXPECT_NE(keyText.find("Math Worksheet - " + number + " - Answer Key"), std::string::npos);
    // Every problem of the file with its answer, in the key only.
    const SavedWorksheet sheet = readWorksheetFile(folder / number);
    for (const Problem& problem : sheet.problems) {
        const std::string answer = AnswerLine(problem);
        ASSERT_FALSE(answer.empty());
        EXPECT_NE(keyText.find(answer.substr(answer.find_first_not_of(' '))), std::string::npos);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(documents.path()),
                            std::filesystem::directory_iterator()),
              2);

    // A folder path through a plain file can hold nothing, even for root.
    test::writeBytes(documents / "plain", "x");
    dialogs.messages.clear();
    dialogs.typed = {number};
    dialogs.savePaths = {(documents / "plain" / "page.pdf").string()};
    trigger(window, "actSaveWorksheetPdf");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().text,
              "Worksheet " + number + " could not be saved as PDF: Path not found");
    EXPECT_EQ(dialogs.last().caption, "Save Worksheet as PDF");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(documents.path()),
                            std::filesystem::directory_iterator()),
              3);
}

} // namespace
} // namespace sbk3
