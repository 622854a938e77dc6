#include "common/Text.h"

#include "common/Decimal.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace sbk3 {
namespace {

TEST(QtTest, WrapsTextInQuotesWithoutEscaping) {
    EXPECT_EQ(Qt("abc"), "\"abc\"");
    EXPECT_EQ(Qt(""), "\"\"");
    EXPECT_EQ(Qt("\""), "\"\"\"");
    EXPECT_EQ(Qt("a, \"b\""), "\"a, \"b\"\"");
}

TEST(Pad2Test, GivesTwoCharactersFrom0To99AndSignedFormsElsewhere) {
    const struct {
        std::int16_t n;
        const char* text;
    } cases[] = {{0, " 0"},
                 {9, " 9"},
                 {10, "10"},
                 {99, "99"},
                 {100, "100"},
                 {-1, " -1"},
                 {-5, " -5"},
                 {-12, " -12"},
                 {std::numeric_limits<std::int16_t>::max(), "32767"},
                 {std::numeric_limits<std::int16_t>::min(), " -32768"}};
    for (const auto& c : cases)
        EXPECT_EQ(Pad2(c.n), c.text) << c.n;
}

TEST(DecimalTest, NumbersAtTheStartOfATextWhateverTheirSize) {
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        const char* text;
        std::optional<double> value;
        std::size_t used;
    } cases[] = {
        {"2.5x", 2.5, 3},       {".5", 0.5, 2},           {"+3", 3.0, 2},
        {"-7e1", -70.0, 4},     {"1e", 1.0, 1},           {"1e-400", 0.0, 6},
        {"1e400", infinity, 5}, {"-1e400", -infinity, 6}, {"abc", std::nullopt, 0},
        {"-", std::nullopt, 0}, {".", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        std::size_t used = 0;
        EXPECT_EQ(scanDecimal(c.text, &used), c.value) << c.text;
        if (c.value) {
            EXPECT_EQ(used, c.used) << c.text;
        }
    }
}

} // namespace
} // namespace sbk3
