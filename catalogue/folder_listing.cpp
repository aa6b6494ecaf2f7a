// Fills PictureList with the picture files of the current directory.
#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/picture_names.h"

void ListCurrentFolder() {
    SendMessageW(PictureList, LB_RESETCONTENT, 0, 0);
    // The wide search and a Unicode list box: every name is listed as it is, in any script.
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(L"*.*", &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    // A visible sorted list box repaints on every insertion, which costs seconds for a large
    // folder; the list is drawn once when the refill is complete.
    SendMessageW(PictureList, WM_SETREDRAW, FALSE, 0);
    do {
        lstrcpynW(NameBuffer, entry.cFileName, kNameBufferSize);
        if (PictureKindOf(NameBuffer) != 0) {
            SendMessageW(PictureList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NameBuffer));
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    SendMessageW(PictureList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(PictureList, nullptr, TRUE);
}
