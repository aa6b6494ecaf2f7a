// What counts as a picture, and which sound file belongs to one. Win32-free.
#pragma once

#include <cstddef>

// 1..5 for JPG, BMP, PCX, PSD, TIF (by the up-to-three characters after the last dot,
// case-insensitive), 0 for anything else.
int PictureKindOf(const char* name);

// Rewrites `name` in place into its companion sound's name: everything after the last dot is
// replaced by "WAV". Returns false, leaving `name` untouched, when there is no dot or the result
// would not fit in `capacity` bytes with its terminator.
bool MakeCompanionName(char* name, size_t capacity);
