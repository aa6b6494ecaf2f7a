#include "views/stepping.h"

#include <gtest/gtest.h>

#include <string>

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

namespace {

TEST(AheadEntries, NextFirstWithTheStepsWrapAndNeverTheSelection) {
    struct Row {
        int count, selection;
        AheadEntries viewer, slideShow;
    } rows[] = {
        {5, 2, {3, 1}, {3, -1}},  {5, 4, {0, 3}, {0, -1}},    {5, 0, {1, 4}, {1, -1}},     {5, -1, {0, 4}, {0, -1}},
        {2, 0, {1, -1}, {1, -1}}, {1, 0, {-1, -1}, {-1, -1}}, {0, -1, {-1, -1}, {-1, -1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.count) + " entries, " + std::to_string(row.selection) + " selected");
        const AheadEntries viewer = ViewerAheadEntries(row.count, row.selection);
        EXPECT_EQ(viewer.first, row.viewer.first);
        EXPECT_EQ(viewer.second, row.viewer.second);
        const AheadEntries slide = SlideShowAheadEntries(row.count, row.selection);
        EXPECT_EQ(slide.first, row.slideShow.first);
        EXPECT_EQ(slide.second, row.slideShow.second);
    }
}

}  // namespace
