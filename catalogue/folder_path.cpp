#include "catalogue/folder_path.h"

#include <cstring>

bool AddTrailingBackslash(char* path, size_t capacity) {
    const size_t length = strnlen(path, capacity);
    if (length == 0 || length >= capacity) return false;
    if (path[length - 1] == '\\') return true;
    if (length + 2 > capacity) return false;
    path[length] = '\\';
    path[length + 1] = '\0';
    return true;
}
