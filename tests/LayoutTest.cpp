#include "print/Layout.h"

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

TEST(LayoutTest, TellingSlotsOfBothLayouts) {
    PositionTable compact;
    LayoutCompact(compact);
    EXPECT_EQ(compact(1), (Position{1, 4}));
    EXPECT_EQ(compact(20), (Position{96, 4}));
    EXPECT_EQ(compact(21), (Position{1, 8}));
    EXPECT_EQ(compact(81), (Position{1, 20}));
    EXPECT_EQ(compact(300), (Position{96, 60}));

    PositionTable easy;
    LayoutEasy(easy);
    EXPECT_EQ(easy(1), (Position{3, 4}));
    EXPECT_EQ(easy(10), (Position{93, 4}));
    EXPECT_EQ(easy(11), (Position{3, 12}));
    EXPECT_EQ(easy(80), (Position{93, 60}));
    EXPECT_EQ(easy(81), (Position{0, 0}));
    EXPECT_EQ(easy(300), (Position{0, 0}));
}

TEST(LayoutTest, EasyAfterCompactKeepsTheCompactTail) {
    PositionTable table;
    LayoutCompact(table);
    LayoutEasy(table);
    EXPECT_EQ(table(80), (Position{93, 60}));
    EXPECT_EQ(table(81), (Position{1, 20}));
    EXPECT_EQ(table(300), (Position{96, 60}));

    PositionTable twice;
    LayoutCompact(twice);
    LayoutEasy(twice);
    LayoutEasy(twice);
    for (int k = 1; k <= 300; ++k)
        EXPECT_EQ(twice(k), table(k)) << k;
}

} // namespace
} // namespace sbk3
