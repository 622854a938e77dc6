#include "print/QtPrinter.h"

#include "common/RuntimeError.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "support/FileSizeLimit.h"
#include "support/Pdf.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <algorithm>
#include <regex>
#include <sys/stat.h>

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
        if (test::aSystemPrinterIsSetUp())
            GTEST_SKIP() << "a system printer is set up; these tests read the PDF stand-in";
    }

    std::filesystem::path printPage(const SavedWorksheet& sheet, bool compact, int bold,
                                    const std::string& bottom, const std::string& job) {
        PositionTable positions;
        compact ? LayoutCompact(positions) : LayoutEasy(positions);
        printer.setJobName(job);
        outcome = PrintWorksheetPage(printer, surface, {positions, windowLook(false, bold, bottom)},
                                     sheet);
        return folder / (job + ".pdf");
    }

    test::TempFolder folder;
    QtPrinter printer{folder.path()};
    ProblemSurface surface;
    PageOutcome outcome; // of the last page printed
};

// The paper of the user's locale, with 1/4 in margins: 18 pt a side.
struct Paper {
    QLocale locale;
    const char* pdfinfo;
    double width, height; // points
    float scale300;       // the scale of a 300-problem Compact Test page
};
const Paper kLetter{QLocale(QLocale::English, QLocale::UnitedStates), "612 x 792 pts (letter)", 612,
                    792, 0.96f};
const Paper kA4{QLocale(QLocale::German, QLocale::Germany), "595 x 842 pts (A4)", 595, 842,
                static_cast<float>((595.0 - 36) / 6 / 100)};

class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(m_old); }

private:
    QLocale m_old;
};

bool isOperator(const std::string& word) {
    return word == "+" || word == "-" || word == "x" || word == "\xC3\xB7";
}

TEST_F(QtPrinterTest, APageIsOnePdfOnTheLocalesPaperNamedAfterTheJob) {
    for (const Paper& paper : {kLetter, kA4}) {
        LocaleScope scope(paper.locale);
        const auto pdf = printPage(mixedSheet(3), false, 0, "Bottom text", "ADD003042");
        EXPECT_EQ(outcome.kind, PageOutcome::Kind::WrittenToFile);
        EXPECT_EQ(outcome.where, pdf.string());
        const std::string info = test::pdfInfo(pdf);
        EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+1\n"))) << info;
        EXPECT_NE(info.find(paper.pdfinfo), std::string::npos) << info;
        EXPECT_NE(info.find("ADD003042"), std::string::npos) << info; // the document's title
        EXPECT_NEAR(printer.scaleWidth(), (paper.width - 36) / 6, 0.01);
        EXPECT_NEAR(printer.scaleHeight(), (paper.height - 36) / 12, 0.01);
        printer.killDoc();
    }
}

TEST_F(QtPrinterTest, ThreeHundredProblemsFitLetterAndA4ScaledAsOne) {
    for (const Paper& paper : {kLetter, kA4}) {
        LocaleScope scope(paper.locale);
        const auto pdf = printPage(mixedSheet(300), true, 0, "Bottom", "MIX300001");
        const std::vector<test::PdfWord> words = test::pdfWords(pdf);
        std::vector<double> firstRow;
        double lowestProblem = 0;
        int operators = 0;
        for (const test::PdfWord& w : words) {
            EXPECT_GE(w.xMin, 18 - 0.5) << w.text;
            EXPECT_LE(w.xMax, paper.width - 18 + 0.5) << w.text;
            EXPECT_LE(w.yMax, paper.height - 18 + 0.5) << w.text;
            if (!isOperator(w.text))
                continue;
            ++operators;
            lowestProblem = std::max(lowestProblem, w.yMax);
            if (w.yMin < 18 + 6 * 12 * paper.scale300) // the first row's operator line
                firstRow.push_back(w.xMin);
        }
        EXPECT_EQ(operators, 300) << paper.pdfinfo;
        // Columns keep their pitch of 5 units, scaled.
        ASSERT_EQ(firstRow.size(), 20u) << paper.pdfinfo;
        std::sort(firstRow.begin(), firstRow.end());
        for (std::size_t c = 1; c < firstRow.size(); ++c)
            EXPECT_NEAR(firstRow[c] - firstRow[c - 1], 30 * paper.scale300, 0.05);
        // The bottom line starts below the last row's picture, not inside it.
        const auto bottom = std::find_if(words.begin(), words.end(),
                                         [](const test::PdfWord& w) { return w.text == "Bottom"; });
        ASSERT_NE(bottom, words.end());
        EXPECT_GE(bottom->yMin, 18 + 64 * 12 * paper.scale300 - 0.5);
        EXPECT_GT(bottom->yMin, lowestProblem);
    }
}

TEST_F(QtPrinterTest, ALongTitleIsSetSmallerToFitAcross) {
    LocaleScope scope(kLetter.locale);
    SavedWorksheet sheet = mixedSheet(10);
    sheet.title = "Practice for the whole of the third grade, week twelve, Monday ADD010042";
    sheet.title += std::string(79 - sheet.title.size(), '!');
    const auto pdf = printPage(sheet, false, 0, "", "ADD010042");
    double right = 0;
    for (const test::PdfWord& w : test::pdfWords(pdf))
        if (w.yMax < 18 + 4 * 12) // above the grid: name line and title
            right = std::max(right, w.xMax);
    EXPECT_GT(right, 400);
    EXPECT_LE(right, 612 - 18 + 0.5);
    EXPECT_NE(test::pdfText(pdf).find("ADD010042!"), std::string::npos);
}

TEST_F(QtPrinterTest, APictureIsCutAtItsOwnEdges) {
    LocaleScope scope(kLetter.locale);
    SavedWorksheet sheet;
    sheet.title = "Wide";
    sheet.count = 1;
    sheet.problems = {{32767, -32768, "+"}};
    const auto pdf = printPage(sheet, true, 1, "", "ADD001001");
    // Slot 1 of Compact Test: 1 unit (6 pt) in and 4 units (48 pt) down from the margins.
    const std::vector<unsigned char> inside = test::pdfGreys(pdf, 24, 66, 24, 48);
    const std::vector<unsigned char> beside = test::pdfGreys(pdf, 49, 66, 20, 48);
    ASSERT_FALSE(inside.empty());
    ASSERT_FALSE(beside.empty());
    EXPECT_LT(*std::min_element(inside.begin(), inside.end()), 100); // the digits are there
    EXPECT_EQ(*std::min_element(beside.begin(), beside.end()), 255); // and nothing beyond
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

// A Year 1 sheet in Extra large print, numbered: how many problems go on a row depends on how
// wide its text is, which a small preview must measure as the printed page does.
SavedWorksheet extraLargeSheet() {
    std::string bytes = "\"Year 1\",\"ADD012001\",12,\"forms 1\"\r\n" + pageLine([] {
                            PageLook look = windowLook(true, 1, "Room 7");
                            look.size = PrintSize::ExtraLarge;
                            look.numbers = look.header = true;
                            return look;
                        }()) +
                        "\r\n";
    for (int k = 0; k < 12; ++k)
        bytes += std::to_string(k % 10) + ",10,\"+\",\"column\"\r\n";
    return parseWorksheet(bytes);
}

// The library's preview is the printed page: drawn by the same code, on the same paper, at the
// same places. Compared in squares of 16 points, as ink, with the PDF as poppler draws it: glyphs
// are hinted differently on screen, so the ink may move by a point, never more.
TEST_F(QtPrinterTest, ThePreviewIsThePrintedPage) {
    for (const Paper& paper : {kLetter, kA4}) {
        LocaleScope scope(paper.locale);
        for (const bool answerKey : {false, true}) {
            PositionTable positions;
            LayoutEasy(positions);
            const SavedWorksheet sheet = answerKey ? extraLargeSheet() : mixedSheet(30);
            printer.setJobName("preview");
            PrintWorksheetPage(printer, surface,
                               {positions, windowLook(false, 1, "Room 7"), answerKey}, sheet);
            const auto width = static_cast<int>(paper.width);
            const auto height = static_cast<int>(paper.height);
            const std::vector<unsigned char> printed =
                test::pdfGreys(folder / "preview.pdf", 0, 0, width, height);
            // The key is previewed small, as in a narrow library window, and looked at as large.
            const int dpi = answerKey ? 39 : 72;
            const QImage preview =
                printer
                    .drawPreview(surface, {positions, windowLook(false, 1, "Room 7"), answerKey},
                                 sheet, dpi)
                    .scaled(static_cast<int>(paper.width), static_cast<int>(paper.height))
                    .convertToFormat(QImage::Format_Grayscale8);
            ASSERT_EQ(preview.size(), QSize(width, height));
            ASSERT_EQ(printed.size(), static_cast<std::size_t>(width * height));
            const auto ink = [&](bool ofPdf, int left, int top, int size, int margin) {
                int sum = 0;
                for (int y = std::max(0, top - margin); y < std::min(height, top + size + margin);
                     ++y)
                    for (int x = std::max(0, left - margin);
                         x < std::min(width, left + size + margin); ++x)
                        sum += 255 - (ofPdf ? printed[static_cast<std::size_t>(y * width + x)]
                                            : preview.constScanLine(y)[x]);
                return sum;
            };
            // A square's ink is found in the other page's square, or within two points of it; the
            // small preview's, within four of a square twice as large.
            const int kSquare = answerKey ? 32 : 16;
            const int near = answerKey ? 4 : 2;
            int inked = 0, differing = 0;
            for (int top = 0; top + kSquare <= height; top += kSquare)
                for (int left = 0; left + kSquare <= width; left += kSquare) {
                    const int pdfInk = ink(true, left, top, kSquare, 0);
                    const int previewInk = ink(false, left, top, kSquare, 0);
                    inked += pdfInk > 0;
                    differing += pdfInk * 2 > ink(false, left, top, kSquare, near) * 3 + 255 ||
                                 previewInk * 2 > ink(true, left, top, kSquare, near) * 3 + 255;
                }
            EXPECT_GT(inked, answerKey ? 20 : 60);
            EXPECT_LT(differing, inked / 20) << paper.pdfinfo << (answerKey ? " key" : "");
        }
    }
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
}

std::size_t filesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST_F(QtPrinterTest, APdfThatCannotBeWrittenWholeLeavesTheOldOneAndNothingElse) {
    test::writeBytes(folder / "ADD003042.pdf", "the old page");
    {
        test::FileSizeLimit full(2000); // the new page cannot be written whole
        printPage(mixedSheet(3), false, 0, "", "ADD003042");
    }
    EXPECT_EQ(outcome.kind, PageOutcome::Kind::Failed);
    EXPECT_EQ(outcome.reason, "Disk full");
    EXPECT_EQ(test::readBytes(folder / "ADD003042.pdf"), "the old page");
    EXPECT_EQ(filesIn(folder.path()), 1u);

    // A folder that cannot hold files, even for root.
    test::writeBytes(folder / "file", "x");
    QtPrinter blocked(folder / "file");
    blocked.setJobName("ADD001001");
    blocked.printLine("Name");
    const PageOutcome failed = blocked.endDoc();
    EXPECT_EQ(failed.kind, PageOutcome::Kind::Failed);
    EXPECT_EQ(failed.reason, "Path not found");
}

// A PDF file chosen by name that is a stored worksheet, or any file but a PDF, is refused and
// kept as it was; an earlier PDF there is replaced.
// A PDF cut short (a full disk, a writer that stopped) is never taken for a page.
TEST(QtPrinterPdfTest, OnlyAWholePdfIsTakenForAPage) {
    const QByteArray whole = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\ntrailer\n%%EOF\n";
    EXPECT_TRUE(isCompletePdf(whole));
    EXPECT_FALSE(isCompletePdf(whole.left(whole.size() - 7))); // its end cut off
    EXPECT_FALSE(isCompletePdf(whole + QByteArray(40, ' ')));  // the mark far from the end
    EXPECT_FALSE(isCompletePdf("PDF-1.4\n%%EOF\n"));
    EXPECT_FALSE(isCompletePdf({}));
}

TEST_F(QtPrinterTest, APdfTargetReplacesOnlyAPdf) {
    const std::string worksheet = "\"T\",\"ADD001001\",1\r\n1,2,\"+\"\r\n";
    test::writeBytes(folder / "ADD001001", worksheet);
    test::writeBytes(folder / "empty", "");
    test::writeBytes(folder / "old.pdf", "%PDF-1.4 old");
    for (const char* name : {"ADD001001", "empty", "old.pdf"}) {
        printer.setPdfTarget((folder / name).string());
        printer.printLine("Name");
        outcome = printer.endDoc();
        if (std::string(name) == "old.pdf") {
            EXPECT_EQ(outcome.kind, PageOutcome::Kind::WrittenToFile);
            EXPECT_NE(test::readBytes(folder / name).find("%%EOF"), std::string::npos);
        } else {
            EXPECT_EQ(outcome.kind, PageOutcome::Kind::Failed) << name;
            EXPECT_EQ(outcome.reason,
                      std::string(name) + " is not a PDF file, so it was not replaced");
        }
    }
    EXPECT_EQ(test::readBytes(folder / "ADD001001"), worksheet);
    EXPECT_EQ(test::readBytes(folder / "empty"), "");
}

TEST_F(QtPrinterTest, ALinkOrFifoInThePdfsPlaceIsReplacedNeverWrittenThrough) {
    test::TempFolder outside;
    test::writeBytes(outside / "precious", "keep me");
    std::filesystem::create_symlink(outside / "precious", folder / "ADD003042.pdf");
    ::mkfifo((folder / "SUB003042.pdf").c_str(), 0644);
    for (const char* job : {"ADD003042", "SUB003042"}) {
        const auto pdf = printPage(mixedSheet(3), false, 0, "", job);
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(pdf))) << job;
        EXPECT_EQ(test::readBytes(pdf).substr(0, 5), "%PDF-") << job;
    }
    EXPECT_EQ(test::readBytes(outside / "precious"), "keep me");
    EXPECT_EQ(filesIn(folder.path()), 2u);
}

} // namespace
} // namespace sbk3
