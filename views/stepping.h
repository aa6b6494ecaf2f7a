// Where a step through the picture list lands. Win32-free.
#pragma once

enum class StepDirection { Forward, Backward };

// Next entry after `selection` (-1 = nothing selected), wrapping to 0 past the end.
int NextEntry(int count, int selection);

// The full-screen viewer's step: wraps both ways; nothing selected steps to the first entry
// (forward) or the last (backward). Returns -1, meaning "do nothing", with fewer than two entries.
int ViewerStepTarget(int count, int selection, StepDirection direction);

// The entries a view decodes ahead while `selection` shows, the likelier first; -1 where there is
// none, and never the selection itself.
struct AheadEntries {
    int first;
    int second;
};

// The viewer's: where a step forward lands, then where a step backward does.
AheadEntries ViewerAheadEntries(int count, int selection);

// The slide show's: the next slide.
AheadEntries SlideShowAheadEntries(int count, int selection);
