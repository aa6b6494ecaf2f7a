// Where a step through the picture list lands. Win32-free.
#pragma once

enum class StepDirection { Forward, Backward };

// Next entry after `selection` (-1 = nothing selected), wrapping to 0 past the end.
int NextEntry(int count, int selection);

// The full-screen viewer's step: wraps both ways; nothing selected steps to the first entry
// (forward) or the last (backward). Returns -1, meaning "do nothing", with fewer than two entries.
int ViewerStepTarget(int count, int selection, StepDirection direction);
