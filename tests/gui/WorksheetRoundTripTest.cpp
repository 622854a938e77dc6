#include "app/MainWindow.h"

#include "print/QtPrinter.h"
#include "support/FakeDialogs.h"
#include "support/Pdf.h"
#include "support/TempFolder.h"
#include "worksheet/Random.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

// The real window, generator and printer adapter; only the boxes are scripted.
TEST(WorksheetRoundTripTest, SaveAndPrintThenPrintAgainInTheOtherLayout) {
    test::TempFolder folder;
    test::FakeDialogs dialogs;
    QtPrinter printer(folder.path());
    if (!printer.printsToFile())
        GTEST_SKIP() << "a system printer is set up; this test reads the PDF stand-in";
    ClockRandom random;
    frmMain window(MainPorts{dialogs, printer, random, folder.path(), ".", [] {}});

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

} // namespace
} // namespace sbk3
