// Fills PictureList with the picture files of the current directory.
#include <cstring>

#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/picture_names.h"

namespace {

// The ANSI directory search can hand back a long name that does not open: it puts "?" where a
// character has no place in the ANSI code page, and a look-alike where the code page has one (a
// plain o for an o with a macron), which leaves no mark in the name. The 8.3 short name, when the
// volume has one, still opens. A name without a short name is its own 8.3 name: nothing to check.
const char* ListableName(const WIN32_FIND_DATAA& entry) {
    if (entry.cAlternateFileName[0] == '\0') return entry.cFileName;
    if (std::strchr(entry.cFileName, '?') != nullptr ||
        GetFileAttributesA(entry.cFileName) == INVALID_FILE_ATTRIBUTES) {
        return entry.cAlternateFileName;
    }
    return entry.cFileName;
}

}  // namespace

void ListCurrentFolder() {
    SendMessageA(PictureList, LB_RESETCONTENT, 0, 0);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("*.*", &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    // A visible sorted list box repaints on every insertion, which costs seconds for a large
    // folder; the list is drawn once when the refill is complete.
    SendMessageA(PictureList, WM_SETREDRAW, FALSE, 0);
    do {
        lstrcpynA(NameBuffer, entry.cFileName, kNameBufferSize);
        if (PictureKindOf(NameBuffer) == 0) continue;
        // Only pictures pay for the check of their name.
        lstrcpynA(NameBuffer, ListableName(entry), kNameBufferSize);
        if (PictureKindOf(NameBuffer) != 0) {
            SendMessageA(PictureList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NameBuffer));
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    SendMessageA(PictureList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(PictureList, nullptr, TRUE);
}
