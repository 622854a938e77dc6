#include "worksheet/Generator.h"

#include "store/WorksheetFile.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"
#include "worksheet/Random.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace sbk3 {
namespace {

using test::ScriptedRandom;

const std::string kDivide = "\xC3\xB7";

std::string line(const char* type, std::vector<float> draws) {
    ScriptedRandom random(std::move(draws));
    return MakeProblemLine(type, random).value_or("<none>");
}

TEST(GeneratorTest, ScriptedDrawsMakeTheKnownLines) {
    EXPECT_EQ(line("Addition", {0.95f, 0.15f}), "9,1,\"+\"");
    EXPECT_EQ(line("Subtraction", {0.95f, 0.15f}), "9,1,\"-\"");
    EXPECT_EQ(line("Subtraction", {0.15f, 0.95f}), "9,1,\"-\"");
    EXPECT_EQ(line("Multiplication", {0.95f, 0.15f}), "9,1,\"x\"");
    EXPECT_EQ(line("Division", {0.95f, 0.15f}), "18,9,\"" + kDivide + "\"");
    EXPECT_EQ(line("Division", {0.15f, 0.95f}), "18,2,\"" + kDivide + "\"");

    EXPECT_EQ(line("Mixed", {0.1f, 0.95f, 0.15f}), "8,1,+");
    EXPECT_EQ(line("Mixed", {0.6f, 0.95f, 0.15f}), "8,1,x");
    EXPECT_EQ(line("Mixed", {0.3f, 0.95f, 0.15f}), "9,1,\"-\"");
    EXPECT_EQ(line("Mixed", {0.3f, 0.15f, 0.95f}), "9,1,\"-\"");
    EXPECT_EQ(line("Mixed", {0.8f, 0.95f, 0.15f}), "18,9,\"" + kDivide + "\"");
}

TEST(GeneratorTest, LargestDrawsStayInRange) {
    const float top = 0x1.fffffep-1f; // the largest float below 1
    EXPECT_EQ(line("Addition", {top, top}), "9,9,\"+\"");
    EXPECT_EQ(line("Division", {top, top}), "81,9,\"" + kDivide + "\"");
    EXPECT_EQ(line("Mixed", {0.0f, top, top}), "8,8,+");
    EXPECT_EQ(line("Mixed", {top, 0.0f, 0.0f}), "1,1,\"" + kDivide + "\"");
    EXPECT_EQ(line("Addition", {0.0f, 0.0f}), "0,0,\"+\"");
}

TEST(GeneratorTest, ReseedsAndDrawsPerType) {
    const struct {
        const char* type;
        int reseeds;
        int draws;
    } cases[] = {
        {"Addition", 1, 2}, {"Subtraction", 1, 2}, {"Multiplication", 1, 2}, {"Division", 1, 2},
        {"Mixed", 2, 3},    {"mixed", 0, 0},       {"ADDITION", 0, 0},       {"", 0, 0}};
    for (const auto& c : cases) {
        ScriptedRandom random({0.3f, 0.7f, 0.2f});
        const auto made = MakeProblemLine(c.type, random);
        EXPECT_EQ(random.reseeds, c.reseeds) << c.type;
        EXPECT_EQ(random.draws, c.draws) << c.type;
        EXPECT_EQ(made.has_value(), c.draws > 0) << c.type;
    }
}

TEST(GeneratorTest, WritesOneLineToTheOpenFileAndNothingForAnUnknownType) {
    test::TempFolder folder;
    const auto path = folder / "ADD002001";
    const auto made = NewWorksheetFile::create(path, headerLine("T", "ADD002001", 2));
    ASSERT_TRUE(made);
    ScriptedRandom random({0.95f, 0.15f});
    {
        WorksheetAppender file(*made);
        WriteProblem("Addition", file, random);
        WriteProblem("Addition ", file, random);
        file.close();
    }
    EXPECT_EQ(test::readBytes(path), "\"T\",\"ADD002001\",2\r\n9,1,\"+\"\r\n");
}

// Many real draws: bounds generous enough never to fail by chance.
class RealDrawsTest : public ::testing::Test {
protected:
    std::vector<Problem> draw(const char* type, int count) {
        std::vector<Problem> problems;
        for (int i = 0; i < count; ++i) {
            const auto made = MakeProblemLine(type, m_random);
            const SavedWorksheet sheet = parseWorksheet("\"\",\"\",1\r\n" + made.value() + "\r\n");
            problems.push_back(sheet.problems.front());
        }
        return problems;
    }

    ClockRandom m_random;
};

TEST_F(RealDrawsTest, AdditionAndMultiplicationUseEveryDigit) {
    for (const char* type : {"Addition", "Multiplication"}) {
        std::set<int> firsts;
        std::set<int> seconds;
        for (const Problem& p : draw(type, 2000)) {
            ASSERT_TRUE(p.first >= 0 && p.first <= 9 && p.second >= 0 && p.second <= 9);
            firsts.insert(p.first);
            seconds.insert(p.second);
        }
        EXPECT_EQ(firsts.size(), 10u) << type;
        EXPECT_EQ(seconds.size(), 10u) << type;
    }
}

TEST_F(RealDrawsTest, SubtractionNeverGoesBelowZero) {
    int equal = 0;
    for (const Problem& p : draw("Subtraction", 5000)) {
        ASSERT_GE(p.first, p.second);
        ASSERT_LE(p.first, 9);
        equal += p.first == p.second;
    }
    EXPECT_GT(equal, 350); // about 500 expected
    EXPECT_LT(equal, 650);
}

TEST_F(RealDrawsTest, DivisionAlwaysComesOutEven) {
    std::set<int> divisors;
    for (const Problem& p : draw("Division", 3000)) {
        ASSERT_TRUE(p.second >= 1 && p.second <= 9) << p.second;
        ASSERT_EQ(p.first % p.second, 0);
        ASSERT_LE(p.first / p.second, 9);
        ASSERT_GE(p.first / p.second, 1);
        divisors.insert(p.second);
    }
    EXPECT_EQ(divisors.size(), 9u);
}

TEST_F(RealDrawsTest, MixedSpreadsOverTheFourOperators) {
    std::map<std::string, int> counts;
    for (const Problem& p : draw("Mixed", 8000)) {
        ++counts[p.op];
        if (p.op == "+" || p.op == "x") {
            ASSERT_LE(p.first, 8);
            ASSERT_LE(p.second, 8);
        }
    }
    ASSERT_EQ(counts.size(), 4u);
    for (const auto& [op, count] : counts)
        EXPECT_NEAR(count, 2000, 300) << op;
}

} // namespace
} // namespace sbk3
