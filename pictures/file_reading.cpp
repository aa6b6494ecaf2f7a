#include "pictures/file_reading.h"

#include <algorithm>
#include <new>

bool ReadFileStart(const WCHAR* path, uint64_t limit, Overlong overlong, std::vector<uint8_t>* bytes,
                   uint64_t* fileSize) {
    // Shared in every way, so that even for the moment of reading nobody else is kept from writing,
    // renaming or deleting the file.
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0;
    if (ok) {
        *fileSize = static_cast<uint64_t>(size.QuadPart);
        ok = *fileSize <= limit || overlong == Overlong::ReadTheStart;
    }
    if (ok) {
        try {
            bytes->resize(static_cast<size_t>(std::min(*fileSize, limit)));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    DWORD read = 0;
    ok =
        ok && ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) && read == bytes->size();
    CloseHandle(file);
    return ok;
}
