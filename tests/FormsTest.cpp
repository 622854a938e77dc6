#include "common/ProblemForms.h"

#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "support/RecordingPrinter.h"
#include "support/TempFolder.h"
#include "worksheet/ClassSet.h"
#include "worksheet/Preset.h"
#include "worksheet/Random.h"
#include "worksheet/Settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <regex>

namespace sbk3 {
namespace {

const std::string kDivide = "\xC3\xB7";

// A stored number in hundredths, read without the program's own reader.
long long hundredths(const std::string& text) {
    const std::size_t point = text.find('.');
    long long value = std::stoll(text.substr(0, point)) * 100;
    if (point != std::string::npos) {
        std::string fraction = text.substr(point + 1);
        fraction.resize(2, '0');
        value += std::stoll(fraction);
    }
    return value;
}

// What the key must show, worked out from the stored line's own text.
std::string expectedAnswer(const std::string& line) {
    std::smatch m;
    EXPECT_TRUE(std::regex_search(line, m, std::regex(R"(^([0-9.]+),([0-9.]+),"([^"]+)\")")))
        << line;
    const long long a = hundredths(m[1]), b = hundredths(m[2]);
    const std::string op = m[3];
    const int places = static_cast<int>(std::max(
        {m[1].str().find('.') == std::string::npos ? 0
                                                   : m[1].str().size() - m[1].str().find('.') - 1,
         m[2].str().find('.') == std::string::npos
             ? 0
             : m[2].str().size() - m[2].str().find('.') - 1}));
    if (op == kDivide)
        return std::to_string(a / b) + (a % b ? " r " + std::to_string((a % b) / 100) : "");
    const long long result = op == "+" ? a + b : op == "-" ? a - b : a * b / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, static_cast<double>(result) / 100.0);
    return text;
}

struct Made {
    std::vector<std::string> lines; // as stored, without the header
    SavedWorksheet sheet;           // as read back
};

// Versions made as a class set makes them, into real files, and read back.
std::vector<Made> makeVersions(const ProblemSettings& settings, int problems, int versions,
                               std::uint64_t seed) {
    test::TempFolder folder;
    ClockRandom random([seed] { return seed; });
    ClassSetRequest request;
    request.settings = settings;
    request.problems = problems;
    request.versions = versions;
    const StoredVersions stored = StoreVersions(request, "Set (N)", folder.path(), random, ".");
    EXPECT_EQ(stored.failure, "");
    std::vector<Made> made;
    for (const std::string& number : stored.numbers) {
        const std::string bytes = test::readBytes(folder / number);
        Made one;
        std::size_t at = bytes.find("\r\n") + 2;
        for (std::size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
            // A Windows-1252 file: its one byte F7 is the division sign.
            const std::string line = bytes.substr(at, end - at);
            if (line.starts_with("\"")) // the page, set and settings lines
                continue;
            one.lines.push_back(std::regex_replace(line, std::regex("\xF7"), kDivide));
        }
        one.sheet = readWorksheetFile(folder / number);
        // Each version knows its set and the settings it was made with.
        const SetPlace place{stored.numbers.front(), static_cast<int>(made.size()) + 1, versions};
        EXPECT_EQ(one.sheet.set, versions > 1 ? std::optional(place) : std::nullopt);
        EXPECT_EQ(parsePreset(one.sheet.settings), std::optional(request));
        made.push_back(std::move(one));
    }
    return made;
}

std::string joined(const std::vector<PictureLine>& lines) {
    std::string text;
    for (const PictureLine& line : lines)
        text += line.text + "|";
    return text;
}

// Year 1 to Year 5 sets in every form: each problem keeps its settings, and its key shows the
// answer worked out anew from the file; the sheet leaves the place for it blank.
TEST(FormsTest, EveryFormStoresItsNumbersAndItsKeyAnswersThemExactly) {
    ProblemSettings year5;
    year5.addition = year5.subtraction = year5.multiplication = year5.division = true;
    year5.firstMin = 1000, year5.firstMax = 9999, year5.secondMin = 100, year5.secondMax = 999;
    year5.subFirstMin = 1000, year5.subFirstMax = 9999, year5.subSecondMin = 100,
    year5.subSecondMax = 999;
    year5.factorMin = 10, year5.factorMax = 99, year5.useTables = false, year5.secondFactorMin = 10,
    year5.secondFactorMax = 99;
    year5.dividendMin = 1000, year5.dividendMax = 9999, year5.quotientMax = 9999;
    year5.remainders = Remainders::Always;
    year5.carrying = Carrying::Always;
    ProblemSettings decimals;
    decimals.subtraction = decimals.multiplication = true;
    decimals.places = 2, decimals.factorPlaces = 1;
    decimals.subFirstMax = 99;
    for (const FormInfo& form : forms()) {
        for (ProblemSettings s : {year5, decimals}) {
            for (std::size_t op = 0; op < s.forms.size(); ++op)
                s.forms.at(op) = form.serves(operators()[op]) ? form.form : Form::Column;
            ASSERT_TRUE(UsesLaidOutPage(s));
            ASSERT_EQ(CheckSettings(s), std::nullopt);
            for (const Made& made : makeVersions(s, 40, 2, 7)) {
                ASSERT_TRUE(made.sheet.laidOut);
                ASSERT_EQ(made.sheet.sheetProblems.size(), 40u);
                for (std::size_t k = 0; k < made.lines.size(); ++k) {
                    const SheetProblem& p = made.sheet.sheetProblems[k];
                    EXPECT_EQ(sheetProblemLine(p), made.lines[k]); // read back as written
                    const std::string key = joined(drawProblem(p, true, "."));
                    const std::string sheet = joined(drawProblem(p, false, "."));
                    const std::string answer = expectedAnswer(made.lines[k]);
                    EXPECT_NE(key.find(answer), std::string::npos) << made.lines[k] << " " << key;
                    // The sheet differs from the key only where the answer (or the blank
                    // number) goes: an empty line in columns, a line to write on in sentences.
                    const std::vector<PictureLine> onSheet = drawProblem(p, false, ".");
                    const std::vector<PictureLine> onKey = drawProblem(p, true, ".");
                    ASSERT_EQ(onSheet.size(), onKey.size());
                    int differ = 0;
                    for (std::size_t line = 0; line < onSheet.size(); ++line) {
                        if (onSheet[line] == onKey[line])
                            continue;
                        ++differ;
                        const bool written = onSheet[line].text.empty() ||
                                             onSheet[line].text.find("____") != std::string::npos;
                        EXPECT_TRUE(written) << sheet;
                    }
                    EXPECT_EQ(differ, 1) << sheet;
                    if (p.op->text == "+" && s.places == 0) {
                        EXPECT_GE(p.first.units, 1000);
                        EXPECT_LE(p.second.units, 999);
                        EXPECT_TRUE(RegroupsAdding(p.first.units, p.second.units));
                    }
                    if (p.op->text == kDivide) {
                        EXPECT_NE(p.first.units % p.second.units, 0) << made.lines[k];
                        EXPECT_GE(p.first.units, 1000);
                    }
                    if (s.places == 2 && p.op->text == "-") {
                        EXPECT_EQ(made.lines[k].find('.') + 3, made.lines[k].find(','));
                    }
                }
            }
        }
    }
}

// Sums and differences within a range: "within 20" is what it says.
TEST(FormsTest, AnswerRangesAndRemaindersHold) {
    ProblemSettings s;
    s.subtraction = s.division = true;
    s.firstMax = s.secondMax = 20, s.sumMax = 20;
    s.subFirstMax = 20, s.subSecondMax = 20, s.differenceMin = 5, s.differenceMax = 9;
    s.remainders = Remainders::Allowed;
    s.forms = {Form::Missing, Form::Missing, Form::Column, Form::Sentence};
    s.blank = MissingBlank::First;
    bool someRemainder = false, someExact = false;
    for (const Made& made : makeVersions(s, 60, 3, 11))
        for (const SheetProblem& p : made.sheet.sheetProblems) {
            const long long answer = answerOf(p)->value.units;
            if (p.op->text == "+") {
                EXPECT_LE(answer, 20);
            }
            if (p.op->text == "-") {
                EXPECT_TRUE(answer >= 5 && answer <= 9) << answer;
            }
            if (p.form == Form::Missing) {
                EXPECT_EQ(p.blank, Blank::First);
            }
            if (p.op->text == kDivide) {
                EXPECT_EQ(p.form, Form::Sentence);
                (answerOf(p)->remainder != 0 ? someRemainder : someExact) = true;
            }
        }
    EXPECT_TRUE(someRemainder && someExact);
}

TEST(FormsTest, RegroupingCountsEveryColumnButACarryThatOnlyAddsADigit) {
    EXPECT_TRUE(RegroupsAdding(7, 5)); // the ones are the only column
    EXPECT_FALSE(RegroupsAdding(4, 5));
    EXPECT_TRUE(RegroupsAdding(15, 17));        // ones into tens
    EXPECT_FALSE(RegroupsAdding(45, 60));       // out of the tens only: 105
    EXPECT_TRUE(RegroupsAdding(150, 170));      // tens into hundreds
    EXPECT_TRUE(RegroupsAdding(1500, 1700));    // hundreds into thousands
    EXPECT_FALSE(RegroupsAdding(5000, 5000));   // out of the thousands only
    EXPECT_TRUE(RegroupsAdding(9, 91));         // a one-digit number beside a longer one
    EXPECT_TRUE(RegroupsAdding(5, 7, 1));       // 0.5 + 0.7: tenths into ones
    EXPECT_FALSE(RegroupsAdding(12, 13, 1));    // 1.2 + 1.3
    EXPECT_TRUE(RegroupsSubtracting(32, 7));    // from the tens into the ones
    EXPECT_TRUE(RegroupsSubtracting(305, 150)); // from the hundreds into the tens
    EXPECT_TRUE(RegroupsSubtracting(4000, 1));  // across every zero
    EXPECT_FALSE(RegroupsSubtracting(4567, 1234));
    EXPECT_FALSE(RegroupsSubtracting(9, 9));
}

// A laid-out file that cannot be printed as stored is refused with the reason, whatever is
// wrong with it; a file of today's format with something after its count reads as today.
TEST(FormsTest, ALaidOutFileThatCannotBePrintedIsRefusedWithTheReason) {
    const auto refusal = [](const std::string& problem, const std::string& mark = "forms 1") {
        const std::string file = "\"T\",\"ADD001001\",1,\"" + mark + "\"\r\n" + problem + "\r\n";
        try {
            parseWorksheet(file);
        } catch (const RuntimeError& error) {
            return error.description();
        }
        return std::string("read");
    };
    EXPECT_EQ(refusal("4728,6,\"+\",\"column\""), "read");
    EXPECT_EQ(refusal("4728,6,\"+\",\"column\"", "forms 2"),
              "it was made by a later version of Sumbrook 3 (\"forms 2\").");
    EXPECT_EQ(refusal("4728,6,\"+\",\"spiral\""),
              "problem 1 has the form \"spiral\", which this version does not know.");
    EXPECT_EQ(refusal("12345,6,\"+\",\"column\""),
              "problem 1 holds \"12345\", which is no number from 0 to 9999 with at most 2 "
              "decimal places.");
    EXPECT_EQ(refusal("1.234,6,\"+\",\"column\""),
              "problem 1 holds \"1.234\", which is no number from 0 to 9999 with at most 2 "
              "decimal places.");
    EXPECT_EQ(refusal("48,0,\"\xF7\",\"long\""),
              "problem 1 cannot be printed: it divides by zero.");
    EXPECT_EQ(refusal("48,6,\"+\",\"long\""),
              "problem 1 cannot be printed: the form \"Long division\" does not serve +.");
    EXPECT_EQ(refusal("4.8,6,\"\xF7\",\"sentence\""),
              "problem 1 cannot be printed: a division must be of whole numbers.");
    EXPECT_EQ(refusal("48,6,\"+\",\"missing\",\"third\""),
              "problem 1 leaves \"third\" blank, which is none of its numbers.");
    EXPECT_EQ(refusal("48,6,\"+\""), "problem 1 is not complete.");
    // No problem line at all: the file ends early, as one of today's would.
    EXPECT_THROW(parseWorksheet("\"T\",\"ADD001001\",2,\"forms 1\"\r\n7,5,\"+\",\"column\"\r\n"),
                 RuntimeError);
    // Today's reader: anything after the count is the first problem's first field.
    const SavedWorksheet today = parseWorksheet("\"T\",\"ADD001001\",1,7\r\n5,\"+\"\r\n");
    EXPECT_FALSE(today.laidOut);
    EXPECT_EQ(today.problems.at(0), (Problem{7, 5, "+"}));
}

// Settings within what Print/Save's page holds draw lines of today's format; a class set stores
// even those laid out, with the look of its page.
TEST(FormsTest, SettingsWithinTodaysPageStayInTodaysFormat) {
    for (const char* type : {"Addition", "Subtraction", "Multiplication", "Division", "Mixed"})
        EXPECT_FALSE(UsesLaidOutPage(SettingsForType(type))) << type;
    ProblemSettings s = SettingsForType("Mixed");
    s.firstMax = s.subFirstMax = 99;
    EXPECT_FALSE(UsesLaidOutPage(s));
    for (const auto& change : std::vector<void (*)(ProblemSettings&)>{
             [](ProblemSettings& x) { x.firstMax = 100; },
             [](ProblemSettings& x) { x.subSecondMax = 100; },
             [](ProblemSettings& x) { x.factorMax = 13; },
             [](ProblemSettings& x) { x.dividendMax = 100; },
             [](ProblemSettings& x) { x.remainders = Remainders::Allowed; },
             [](ProblemSettings& x) { x.places = 1; },
             [](ProblemSettings& x) { x.factorPlaces = 1; },
             [](ProblemSettings& x) { x.forms[Multiply] = Form::Sentence; }}) {
        ProblemSettings laid = s;
        change(laid);
        EXPECT_TRUE(UsesLaidOutPage(laid));
    }
    test::TempFolder folder;
    ClockRandom random([] { return 3ULL; });
    ClassSetRequest request;
    request.settings = s;
    const StoredVersions stored = StoreVersions(request, "T", folder.path(), random, ".");
    const std::string bytes = test::readBytes(folder / stored.numbers.at(0));
    EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")),
              "\"T\",\"" + stored.numbers.at(0) + "\",30,\"forms 1\"");
    EXPECT_TRUE(readWorksheetFile(folder / stored.numbers.at(0)).look);
    EXPECT_EQ(DrawProblemLines(s, 1, random).at(0).find("column"), std::string::npos);
}

// The page: every picture's box holds its widest line and all its lines, the key's answer ends
// under the numbers' last digits, and sheet and key put each problem at the same place.
TEST(FormsTest, ThePageHoldsEveryNumberWholeAndTheKeyLinesUpWithItsColumns) {
    SavedWorksheet sheet;
    sheet.title = "Year 5";
    sheet.laidOut = true;
    const auto number = [](long long units, int places) { return Number{units, places}; };
    const auto& ops = operators();
    sheet.sheetProblems = {
        {number(4728, 0), number(396, 0), &ops[0], Form::Column, Blank::None},
        {number(9999, 0), number(9999, 0), &ops[0], Form::Column, Blank::None},
        {number(325, 2), number(15, 1), &ops[0], Form::Column, Blank::None},
        {number(4728, 0), number(6, 0), &ops[3], Form::LongDivision, Blank::None},
        {number(31, 0), number(3, 0), &ops[3], Form::Sentence, Blank::None},
        {number(7, 0), number(5, 0), &ops[1], Form::Missing, Blank::Second},
        {number(125, 1), number(4, 0), &ops[2], Form::Column, Blank::None},
        {number(7, 0), number(396, 0), &ops[0], Form::Column, Blank::None},
        {number(15, 1), number(25, 1), &ops[2], Form::Sentence, Blank::None},
    };
    sheet.count = static_cast<std::int16_t>(sheet.sheetProblems.size());
    PositionTable positions;
    LayoutCompact(positions);
    std::vector<std::vector<std::string>> pictures;
    for (const bool key : {false, true}) {
        test::RecordingPrinter printer;
        ProblemSurface surface;
        DrawWorksheetPage(printer, surface, {positions, windowLook(false, 0, "Bottom"), key, ","},
                          sheet);
        pictures.push_back(printer.calls("Picture"));
        EXPECT_EQ(printer.calls("Picture").size(), sheet.sheetProblems.size());
    }
    // Rows fill across: as many columns as fit at full size (96 units, pictures 18.3 wide and 2
    // apart, the first at 1), so four to the first row and the fifth below.
    const auto top = [](const std::string& picture) {
        return picture.substr(picture.find(',') + 1, picture.find(' ', 8) - picture.find(',') - 1);
    };
    EXPECT_EQ(top(pictures[0][3]), top(pictures[0][0])) << pictures[0][3];
    EXPECT_NE(top(pictures[0][4]), top(pictures[0][0])) << pictures[0][4];
    for (std::size_t k = 0; k < pictures[0].size(); ++k) {
        // Same place on the sheet and the key.
        EXPECT_EQ(pictures[0][k].substr(0, pictures[0][k].find('[')),
                  pictures[1][k].substr(0, pictures[1][k].find('[')));
    }
    EXPECT_NE(pictures[1][0].find("[  4728|+  396_|  5124]"), std::string::npos) << pictures[1][0];
    EXPECT_NE(pictures[1][1].find("[  9999|+ 9999_| 19998]"), std::string::npos) << pictures[1][1];
    EXPECT_NE(pictures[1][2].find("[  3,25|+ 1,5 _|  4,75]"), std::string::npos) << pictures[1][2];
    EXPECT_NE(pictures[1][3].find("[   788| _____|6)4728|"), std::string::npos) << pictures[1][3];
    EXPECT_NE(pictures[1][4].find("[31 \xC3\xB7 3 = 10 r 1]"), std::string::npos) << pictures[1][4];
    EXPECT_NE(pictures[0][5].find("[7 - ____ = 2]"), std::string::npos) << pictures[0][5];
    EXPECT_NE(pictures[1][5].find("[7 - 5 = 2]"), std::string::npos) << pictures[1][5];
    EXPECT_NE(pictures[1][6].find("[  12,5|x    4_|  50,0]"), std::string::npos) << pictures[1][6];
    // The second number wider than the first still stands a blank apart from its sign.
    EXPECT_NE(pictures[1][7].find("[    7|+ 396_|  403]"), std::string::npos) << pictures[1][7];
    // A hand-made product of two decimals keeps the places of both.
    EXPECT_NE(pictures[1][8].find("[1,5 x 2,5 = 3,75]"), std::string::npos) << pictures[1][8];
    for (const auto& picture : pictures[1]) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(picture, m, std::regex(R"(box ([0-9.]+)x([0-9.]+))")))
            << picture;
        const std::string lines =
            picture.substr(picture.find('[') + 1, picture.rfind(']') - picture.find('[') - 1);
        std::size_t widest = 0, count = 1;
        for (std::size_t at = 0, end; at <= lines.size(); at = end + 1, ++count) {
            end = std::min(lines.find('|', at), lines.size());
            std::string line = lines.substr(at, end - at);
            if (!line.empty() && line.back() == '_')
                line.pop_back();
            widest = std::max(widest, characterCount(line));
        }
        EXPECT_LE(static_cast<double>(widest) * 1.2, std::stod(m[1])) << picture;
        // Lines follow each other at the face's spacing, 13.6 points for 12 (1.13 units).
        EXPECT_LE(static_cast<double>(count - 1) * 1.14, std::stod(m[2])) << picture;
    }
}

} // namespace
} // namespace sbk3
