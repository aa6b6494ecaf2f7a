// Fills PictureList with the picture files of the current directory.
#include <cstring>

#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/picture_names.h"

namespace {

// The ANSI directory search puts "?" where a character of the long name has no place in the
// ANSI code page, and such a name can never be opened. "?" cannot occur in a real file name,
// so its presence marks the loss; the 8.3 short name, when the volume has one, still opens.
const char* ListableName(const WIN32_FIND_DATAA& entry) {
    if (std::strchr(entry.cFileName, '?') != nullptr && entry.cAlternateFileName[0] != '\0') {
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
        lstrcpynA(NameBuffer, ListableName(entry), kNameBufferSize);
        if (PictureKindOf(NameBuffer) != 0) {
            SendMessageA(PictureList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NameBuffer));
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    SendMessageA(PictureList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(PictureList, nullptr, TRUE);
}
