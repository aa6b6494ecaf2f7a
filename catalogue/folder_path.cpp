#include "catalogue/folder_path.h"

#include <cwchar>

bool AddTrailingBackslash(wchar_t* path, size_t capacity) {
    size_t length = 0;
    while (length < capacity && path[length] != L'\0') ++length;
    if (length == 0 || length >= capacity) return false;
    if (path[length - 1] == L'\\') return true;
    if (length + 2 > capacity) return false;
    path[length] = L'\\';
    path[length + 1] = L'\0';
    return true;
}
