#include "worksheet/Settings.h"
#include "worksheet/ClassSet.h"

#include "print/Layout.h"
#include "print/Page.h"
#include "print/SetPages.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "support/RecordingPrinter.h"
#include "support/TempFolder.h"
#include "worksheet/Random.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace sbk3 {
namespace {

struct Line {
    int a = 0, b = 0;
    std::string op;
    bool operator<(const Line& o) const { return std::tie(a, b, op) < std::tie(o.a, o.b, o.op); }
    bool operator==(const Line&) const = default;
};

// The problems a draw makes, read back as the file's reader reads them.
std::vector<Line> draw(const ProblemSettings& settings, int count, std::uint64_t seed) {
    ClockRandom random([seed] { return seed; });
    std::string file = "\xEF\xBB\xBF\"T\",\"ADD001001\"," + std::to_string(count) + "\r\n";
    for (const std::string& line : DrawProblemLines(settings, count, random))
        file += line + "\r\n";
    std::vector<Line> lines;
    for (const Problem& p : parseWorksheet(file).problems)
        lines.push_back({p.first, p.second, p.op});
    return lines;
}

const std::string kDivide = "\xC3\xB7";

// Every rule checked over many seeded draws, column by column where it is about columns.
TEST(SettingsTest, EveryDrawnProblemKeepsTheRules) {
    ProblemSettings add;
    add.firstMin = 10, add.firstMax = 49, add.secondMin = 20, add.secondMax = 59;
    ProblemSettings sub;
    sub.addition = false, sub.subtraction = true;
    sub.subFirstMin = 10, sub.subFirstMax = 49, sub.subSecondMin = 20, sub.subSecondMax = 59;
    ProblemSettings mul;
    mul.addition = false, mul.multiplication = true;
    mul.tables.fill(false);
    mul.tables[3] = mul.tables[7] = true;
    mul.factorMin = 2, mul.factorMax = 12;
    ProblemSettings div;
    div.addition = false, div.division = true;
    div.divisors.fill(false);
    div.divisors[7] = div.divisors[12] = true;
    div.quotientMin = 0, div.quotientMax = 12;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        for (const Carrying rule : {Carrying::Any, Carrying::Never, Carrying::Always}) {
            add.carrying = sub.carrying = rule;
            for (const Line& l : draw(add, 60, seed)) {
                ASSERT_EQ(l.op, "+");
                ASSERT_TRUE(l.a >= 10 && l.a <= 49 && l.b >= 20 && l.b <= 59) << l.a << "+" << l.b;
                // Two-digit numbers regroup only from the ones into the tens: a carry out of the
                // tens only adds a digit.
                const bool carried = l.a % 10 + l.b % 10 >= 10;
                if (rule != Carrying::Any) {
                    ASSERT_EQ(carried, rule == Carrying::Always) << l.a << "+" << l.b;
                }
            }
            for (const Line& l : draw(sub, 60, seed)) {
                ASSERT_EQ(l.op, "-");
                ASSERT_GE(l.a, l.b); // never below zero
                if (rule == Carrying::Never) {
                    ASSERT_GE(l.a % 10, l.b % 10) << l.a << "-" << l.b;
                }
                if (rule == Carrying::Always) {
                    ASSERT_LT(l.a % 10, l.b % 10) << l.a << "-" << l.b;
                }
            }
        }
        for (const Line& l : draw(mul, 60, seed)) {
            ASSERT_EQ(l.op, "x");
            ASSERT_TRUE(l.b == 3 || l.b == 7);
            ASSERT_TRUE(l.a >= 2 && l.a <= 12);
        }
        for (const Line& l : draw(div, 60, seed)) {
            ASSERT_EQ(l.op, kDivide);
            ASSERT_TRUE(l.b == 7 || l.b == 12);
            ASSERT_EQ(l.a % l.b, 0); // exact
            ASSERT_LE(l.a, 99);      // 144 / 12 is never made
        }
    }
    EXPECT_EQ(QuotientCutNote(div), "So that no dividend passes 99, the quotient goes up to 8 for "
                                    "12.");
    div.useDivisors = false, div.divisorMin = 2, div.divisorMax = 9;
    div.quotientMax = 9999, div.dividendMax = 9999;
    EXPECT_EQ(QuotientCutNote(div), "So that no dividend passes 9999, the quotient goes up to 4999 "
                                    "for 2, and down to 1111 for 9.");
}

TEST(SettingsTest, ZeroAndOneLeftOutAndNoRepeatsUntilAllAreUsed) {
    ProblemSettings s = SettingsForType("Mixed");
    s.leaveOutZeroAndOne = true;
    for (const Line& l : draw(s, 300, 7)) {
        ASSERT_TRUE(l.a > 1 && l.b > 1) << l.a << l.op << l.b;
        if (l.op == "-") {
            ASSERT_GT(l.a - l.b, 1);
        }
        if (l.op == kDivide) {
            ASSERT_GT(l.a / l.b, 1);
        }
    }

    ProblemSettings sub = SettingsForType("Subtraction");
    sub.noRepeats = true;
    const std::size_t different = DifferentProblems(sub); // 55: a >= b, both 0..9
    ASSERT_EQ(different, 55u);
    EXPECT_FALSE(TooFewDifferentProblems(sub, 55));
    EXPECT_TRUE(TooFewDifferentProblems(sub, 56));
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const std::vector<Line> lines = draw(sub, 165, seed); // three rounds
        std::map<Line, int> seen;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            // None twice until all have come once: in each round of 55, every one once.
            ASSERT_EQ(++seen[lines[k]], static_cast<int>(k / different) + 1) << k;
            if (k > 0) {
                ASSERT_FALSE(lines[k] == lines[k - 1]) << "twice in a row at " << k;
            }
        }
    }
}

// The question about repeats counts each operation's share as the draw deals it: with 6
// additions and 5 subtractions possible, 11 problems need no repeat and get none.
TEST(SettingsTest, RepeatsAreForetoldExactlyAsTheDrawDealsThem) {
    ProblemSettings s;
    s.subtraction = true;
    s.firstMin = 0, s.firstMax = 2, s.secondMin = 0, s.secondMax = 1;
    s.subFirstMin = 0, s.subFirstMax = 2, s.subSecondMin = 0, s.subSecondMax = 1;
    s.noRepeats = true;
    ASSERT_EQ(DifferentProblems(s), 11u); // 3 x 2 sums, 5 differences that stay at 0 or above
    EXPECT_FALSE(TooFewDifferentProblems(s, 11));
    EXPECT_TRUE(TooFewDifferentProblems(s, 12));
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        const std::vector<Line> lines = draw(s, 11, seed);
        EXPECT_EQ(std::set<Line>(lines.begin(), lines.end()).size(), 11u) << seed;
    }
    // With no operation chosen there is nothing to share out, and no question.
    s.addition = s.subtraction = false;
    EXPECT_FALSE(TooFewDifferentProblems(s, 11));
}

TEST(SettingsTest, OperationsAreMixedEvenly) {
    const std::vector<Line> lines = draw(SettingsForType("Mixed"), 30, 3);
    std::map<std::string, int> per;
    for (const Line& l : lines)
        ++per[l.op];
    ASSERT_EQ(per.size(), 4u);
    for (const auto& [op, n] : per)
        EXPECT_TRUE(n == 7 || n == 8) << op << " " << n;
}

TEST(SettingsTest, TheOpeningValuesAreWhatPrintSaveMakes) {
    const struct {
        const char* type;
        const char* code;
        std::size_t different;
    } cases[] = {{"Addition", "ADD", 100},
                 {"Subtraction", "SUB", 55},
                 {"Multiplication", "MUL", 100},
                 {"Division", "DIV", 81},
                 {"Mixed", "MIX", 336}};
    for (const auto& c : cases) {
        const ProblemSettings s = SettingsForType(c.type);
        EXPECT_EQ(SettingsTypeCode(s), c.code);
        EXPECT_EQ(CheckSettings(s), std::nullopt) << c.type;
        EXPECT_EQ(DifferentProblems(s), c.different) << c.type;
    }
}

TEST(SettingsTest, SettingsThatCannotBeMetAreRefusedWithTheReason) {
    const auto refusal = [](auto change) {
        ProblemSettings s;
        change(s);
        return CheckSettings(s).value_or("");
    };
    EXPECT_EQ(refusal([](ProblemSettings& s) { s.addition = false; }),
              "Choose at least one operation.");
    EXPECT_EQ(refusal([](ProblemSettings& s) { s.firstMin = 12; }),
              "The smallest of the first numbers is larger than the largest.");
    EXPECT_EQ(refusal([](ProblemSettings& s) {
                  s.carrying = Carrying::Always;
                  s.firstMax = s.secondMax = 4; // 4 + 4 never carries
              }),
              "No addition problem fits these settings: with these numbers there is never "
              "carrying. Widen the ranges or choose Any.");
    EXPECT_EQ(refusal([](ProblemSettings& s) {
                  s.addition = false, s.subtraction = true;
                  s.subFirstMin = 0, s.subFirstMax = 3, s.subSecondMin = 5, s.subSecondMax = 9;
              }),
              "No subtraction problem fits these settings: the first number must be at least "
              "the second, so nothing goes below zero.");
    EXPECT_EQ(refusal([](ProblemSettings& s) {
                  s.multiplication = true;
                  s.tables.fill(false);
              }),
              "Choose at least one times table.");
    EXPECT_EQ(refusal([](ProblemSettings& s) {
                  s.division = true;
                  s.divisors.fill(false);
                  s.divisors[1] = true;
                  s.leaveOutZeroAndOne = true;
              }),
              "No division problem fits these settings once problems with 0 or 1 are left out.");
    ClassSetRequest request;
    request.problems = 81;
    EXPECT_EQ(CheckClassSet(request, true),
              "The number of problems can range from 1 to 80 in easy mode.");
    request.problems = 30, request.versions = 41;
    EXPECT_EQ(CheckClassSet(request, false), "The number of versions can range from 1 to 40.");
}

class ClassSetTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    ClockRandom random{[] { return 42u; }};
};

TEST_F(ClassSetTest, VersionsAreStoredAsWorksheetsEachUnderItsOwnNumber) {
    ClassSetRequest request;
    request.settings.firstMin = request.settings.secondMin = 10;
    request.settings.firstMax = request.settings.secondMax = 44;
    request.settings.carrying = Carrying::Never;
    request.problems = 20;
    request.versions = 3;
    const StoredVersions stored =
        StoreVersions(request, "Sums (N) for class 3", folder.path(), random, ".");
    EXPECT_EQ(stored.failure, "");
    ASSERT_EQ(stored.numbers.size(), 3u);
    EXPECT_EQ(std::set<std::string>(stored.numbers.begin(), stored.numbers.end()).size(), 3u);
    for (const std::string& number : stored.numbers) {
        EXPECT_EQ(number.substr(0, 6), "ADD020");
        const SavedWorksheet sheet = readWorksheetFile(folder / number);
        EXPECT_EQ(sheet.title, "Sums " + number + " for class 3");
        ASSERT_EQ(sheet.sheetProblems.size(), 20u);
        EXPECT_GE(sheet.sheetProblems[0].first.units, 10);
        EXPECT_TRUE(sheet.look); // stored with its page
    }
}

TEST(SetPagesTest, PagesInOrderAsOneDocument) {
    EXPECT_EQ(SetPageOrder(2, 2, true, false),
              (std::vector<SetPage>{
                  {0, false}, {0, false}, {0, true}, {1, false}, {1, false}, {1, true}}));
    EXPECT_EQ(SetPageOrder(2, 1, true, true),
              (std::vector<SetPage>{{0, false}, {1, false}, {0, true}, {1, true}}));

    SavedWorksheet sheet{"Sheet", "ADD003001", 3, {{99, 99, "+"}, {7, 3, "+"}, {12, 12, "x"}},
                         false,   {}};
    PositionTable positions;
    LayoutEasy(positions);
    ProblemSurface surface;
    test::RecordingPrinter printer;
    PrintSetPages(printer, surface, {positions, windowLook(true, 0, "Bottom")}, {sheet},
                  SetPageOrder(1, 2, true, false));
    EXPECT_EQ(printer.calls("NewPage").size(), 2u);
    EXPECT_EQ(printer.calls("EndDoc").size(), 1u);
    // The key's answers right-aligned in the problem's three columns: 198 is not clipped.
    const auto pictures = printer.calls("Picture");
    ASSERT_EQ(pictures.size(), 9u);
    EXPECT_NE(pictures[6].find("[ 99|+99_|198]"), std::string::npos) << pictures[6];
    EXPECT_NE(pictures[8].find("[ 12|x12_|144]"), std::string::npos) << pictures[8];
}

} // namespace
} // namespace sbk3
