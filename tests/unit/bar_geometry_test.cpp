#include "views/bar_geometry.h"

#include <gtest/gtest.h>

namespace {

// The bars must tile the screen: adjacent, none empty, the last reaching the right edge.
void ExpectBarsTile(int screenWidth) {
    int next = 0;
    for (int i = 0; i < kTestBarCount; ++i) {
        const BarSpan bar = TestBarSpan(screenWidth, i);
        EXPECT_EQ(bar.left, next) << "bar " << i << " on " << screenWidth;
        EXPECT_GT(bar.width, 0);
        next = bar.left + bar.width;
    }
    EXPECT_EQ(next, screenWidth);
}

TEST(TestBarSpan, CommonScreens) {
    const int starts1024[] = {0, 146, 292, 438, 584, 730, 876};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(TestBarSpan(1024, i).left, starts1024[i]);
    EXPECT_EQ(TestBarSpan(1024, 0).width, 146);
    EXPECT_EQ(TestBarSpan(1024, 6).width, 148);
    EXPECT_EQ(TestBarSpan(1280, 6).left, 1092);
    EXPECT_EQ(TestBarSpan(1280, 6).width, 188);
    EXPECT_EQ(TestBarSpan(800, 6).left, 684);
    EXPECT_EQ(TestBarSpan(800, 6).width, 116);
    for (int width : {1024, 1280, 800, 640, 1920, 7, 13}) ExpectBarsTile(width);
}

TEST(TestBarSpan, MultipleOfSevenGivesEqualBars) {
    for (int i = 0; i < 7; ++i) EXPECT_EQ(TestBarSpan(1120, i).width, 160);
    ExpectBarsTile(1120);
}

TEST(GreyStripTop, IsTheBottomFiftyRows) {
    EXPECT_EQ(GreyStripTop(768), 718);
    EXPECT_EQ(GreyStripTop(1024), 974);
    EXPECT_EQ(GreyStripTop(600), 550);
}

}  // namespace
