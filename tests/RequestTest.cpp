#include "worksheet/Request.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace sbk3 {
namespace {

TEST(CountValueTest, ReadsTheNumberAtTheStartOfTheText) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"30", 30}, {"1 2", 12},  {"12a", 12},  {"", 0},      {"-3", -3},
                 {"abc", 0}, {"1e2", 100}, {"2.5", 2.5}, {"9.5", 9.5}, {".5", 0.5},
                 {"+7", 7},  {" 8 ", 8},   {"0.6", 0.6}, {"1,5", 1},   {"5-", 5},
                 {"1e", 1},  {"-", 0},     {"e5", 0},    {"2.", 2}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(CountValue(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(CountValue("9e999")));
}

TEST(CountValueTest, PointIsTheSeparatorWhateverTheCLocale) {
    // The GUI sets the C library's locale from the environment; a German one reads "2,5" as 2.5
    // through strtod. Only the program's own reader counts here.
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_DOUBLE_EQ(CountValue("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(CountValue("2,5"), 2.0);
    if (german)
        std::setlocale(LC_NUMERIC, "C");
}

TEST(CheckRequestTest, ChecksRunInOrderWithTheirMessages) {
    const char* atLeastOne = "You must have at least 1 math problem.";
    const char* easyMode = "The number of problems can range from 1 to 80 in easy mode.";
    const char* upTo300 = "The number of problems can range from 1 to 300.";
    const struct {
        double count;
        bool easy;
        const char* message;
    } cases[] = {{0, true, atLeastOne}, {-3, false, atLeastOne}, {0.6, true, atLeastOne},
                 {1, true, nullptr},    {80, true, nullptr},     {80, false, nullptr},
                 {81, true, easyMode},  {81, false, nullptr},    {300, false, nullptr},
                 {301, false, upTo300}, {500, true, easyMode},   {80.4, true, easyMode}};
    for (const auto& c : cases) {
        const auto message = CheckRequest(c.count, c.easy);
        if (c.message)
            EXPECT_EQ(message, c.message) << c.count << (c.easy ? " easy" : " compact");
        else
            EXPECT_FALSE(message) << c.count << (c.easy ? " easy" : " compact");
    }
}

TEST(WorksheetNumberTest, TypeCountAndRandomPartMakeTheNumber) {
    EXPECT_EQ(TypeCode("Addition") + CountCode(7, ".") + RandomPartText(42), "ADD007042");
    EXPECT_EQ(TypeCode("Mixed") + CountCode(150, ".") + RandomPartText(5), "MIX150005");
    EXPECT_EQ(TypeCode("Subtraction"), "SUB");
    EXPECT_EQ(TypeCode("Multiplication"), "MUL");
    EXPECT_EQ(TypeCode("Division"), "DIV");
    EXPECT_EQ(TypeCode("addition"), "");
    EXPECT_EQ(RandomPartText(0), "000");
    EXPECT_EQ(RandomPartText(999), "999");
}

TEST(WorksheetNumberTest, CountCodeOfWholeAndNonWholeCounts) {
    const struct {
        double count;
        const char* separator;
        const char* code;
    } cases[] = {{7, ".", "007"},     {42, ".", "042"},       {150, ".", "150"},
                 {12, ".", "012"},    {300, ".", "300"},      {2.5, ".", "002.5"},
                 {3.5, ".", "003.5"}, {9.5, ".", ""},         {99.5, ".", ""},
                 {2.5, ",", "002,5"}, {12.25, ",", "012,25"}, {150.5, ",", "150,5"},
                 {301, ".", ""},      {-1, ".", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(CountCode(c.count, c.separator), c.code) << c.count;
}

TEST(StoredTitleTest, ReplacesOnlyTheFirstExactPlaceholder) {
    EXPECT_EQ(StoredTitle("Quiz (N) / (N)", "SUB010999"), "Quiz SUB010999 / (N)");
    EXPECT_EQ(StoredTitle("No placeholder", "SUB010999"), "No placeholder");
    EXPECT_EQ(StoredTitle("", "SUB010999"), "");
    EXPECT_EQ(StoredTitle("lower (n) stays", "SUB010999"), "lower (n) stays");
    EXPECT_EQ(StoredTitle("(N)", "ADD007042"), "ADD007042");
}

TEST(NumberOfProblemsTest, RoundsHalvesToEven) {
    EXPECT_EQ(NumberOfProblems(1.5), 2);
    EXPECT_EQ(NumberOfProblems(2.5), 2);
    EXPECT_EQ(NumberOfProblems(3.5), 4);
    EXPECT_EQ(NumberOfProblems(9.5), 10);
    EXPECT_EQ(NumberOfProblems(12), 12);
    EXPECT_EQ(NumberOfProblems(299.6), 300);
}

} // namespace
} // namespace sbk3
