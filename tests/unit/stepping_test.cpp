#include "views/stepping.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewerStepTarget, WrapsBothWays) {
    // Three entries P1 P2 P3, P2 selected.
    EXPECT_EQ(ViewerStepTarget(3, 1, StepDirection::Forward), 2);
    EXPECT_EQ(ViewerStepTarget(3, 2, StepDirection::Forward), 0);
    EXPECT_EQ(ViewerStepTarget(3, 0, StepDirection::Backward), 2);
    EXPECT_EQ(ViewerStepTarget(3, 2, StepDirection::Backward), 1);
    EXPECT_EQ(ViewerStepTarget(2, 1, StepDirection::Forward), 0);
    EXPECT_EQ(ViewerStepTarget(2, 0, StepDirection::Backward), 1);
}

TEST(ViewerStepTarget, NothingSelectedGoesToFirstOrLast) {
    EXPECT_EQ(ViewerStepTarget(5, -1, StepDirection::Forward), 0);
    EXPECT_EQ(ViewerStepTarget(5, -1, StepDirection::Backward), 4);
}

TEST(ViewerStepTarget, FewerThanTwoEntriesDoNothing) {
    for (StepDirection direction : {StepDirection::Forward, StepDirection::Backward}) {
        EXPECT_EQ(ViewerStepTarget(1, 0, direction), -1);
        EXPECT_EQ(ViewerStepTarget(1, -1, direction), -1);
        EXPECT_EQ(ViewerStepTarget(0, -1, direction), -1);
    }
}

TEST(NextEntry, WalksTheListInOrderAndWraps) {
    int index = -1;
    const int expected[] = {0, 1, 2, 3, 0, 1};
    for (int want : expected) {
        index = NextEntry(4, index);
        EXPECT_EQ(index, want);
    }
    EXPECT_EQ(NextEntry(1, 0), 0);
}

}  // namespace
