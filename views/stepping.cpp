#include "views/stepping.h"

int NextEntry(int count, int selection) {
    const int next = selection + 1;
    return next > count - 1 ? 0 : next;
}

int ViewerStepTarget(int count, int selection, StepDirection direction) {
    if (count < 2) return -1;
    if (direction == StepDirection::Forward) return NextEntry(count, selection);
    const int previous = selection - 1;
    return previous < 0 ? count - 1 : previous;
}

AheadEntries ViewerAheadEntries(int count, int selection) {
    const int forward = ViewerStepTarget(count, selection, StepDirection::Forward);
    const int backward = ViewerStepTarget(count, selection, StepDirection::Backward);
    return AheadEntries{forward, backward == forward ? -1 : backward};
}

AheadEntries SlideShowAheadEntries(int count, int selection) {
    const int next = count > 0 ? NextEntry(count, selection) : -1;
    return AheadEntries{next == selection ? -1 : next, -1};
}
