// What counts as a picture, and which sound file belongs to one. Win32-free. Names are UTF-16
// as the wide file functions give them (wchar_t is 16 bits on Windows; the unit tests run with
// whatever it is natively, which the rules do not depend on).
#pragma once

#include <cstddef>

// 1..5 for JPG, BMP, PCX, PSD, TIF (by the up-to-three characters after the last dot,
// case-insensitive), 0 for anything else.
int PictureKindOf(const wchar_t* name);

// Rewrites `name` in place into its companion sound's name: everything after the last dot is
// replaced by "WAV". Returns false, leaving `name` untouched, when there is no dot or the result
// would not fit in `capacity` characters with its terminator.
bool MakeCompanionName(wchar_t* name, size_t capacity);
