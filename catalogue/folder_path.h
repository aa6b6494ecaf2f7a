// Folder paths held by the program end in one backslash. Win32-free; paths are UTF-16.
#pragma once

#include <cstddef>

// Appends "\" unless `path` already ends in one. Returns false, leaving `path` untouched, when
// the path is empty or there is no room for the backslash and terminator in `capacity`
// characters: a path cut short would name another folder, so such a path is refused rather than
// truncated.
bool AddTrailingBackslash(wchar_t* path, size_t capacity);
