#include "common/Text.h"

#include <gtest/gtest.h>

#include <limits>

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

} // namespace
} // namespace sbk3
