// Fills PictureList with the picture files of the current directory.
#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/picture_names.h"

namespace {

// Puts the entry's name into NameBuffer as the ANSI functions take it. A long name that the ANSI
// code page cannot hold exactly would come out with "?" or a look-alike letter (a plain o for an
// o with a macron) and could never be opened; the 8.3 short name, when the volume has one, opens.
// Every other name is the one the ANSI directory search gives.
bool CopyListableName(const WIN32_FIND_DATAW& entry) {
    BOOL lost = FALSE;
    // UTF-8 holds every name, and refuses to report lost characters.
    BOOL* lostCheck = GetACP() == CP_UTF8 ? nullptr : &lost;
    const DWORD exact = lostCheck != nullptr ? WC_NO_BEST_FIT_CHARS : 0;
    if (WideCharToMultiByte(CP_ACP, exact, entry.cFileName, -1, NameBuffer, kNameBufferSize, nullptr, lostCheck) != 0 &&
        !lost) {
        return true;
    }
    const WCHAR* name = entry.cAlternateFileName[0] != L'\0' ? entry.cAlternateFileName : entry.cFileName;
    return WideCharToMultiByte(CP_ACP, 0, name, -1, NameBuffer, kNameBufferSize, nullptr, nullptr) != 0;
}

}  // namespace

void ListCurrentFolder() {
    SendMessageA(PictureList, LB_RESETCONTENT, 0, 0);
    // The wide search, so that a name the code page cannot hold is known as such (see above).
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(L"*.*", &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    // A visible sorted list box repaints on every insertion, which costs seconds for a large
    // folder; the list is drawn once when the refill is complete.
    SendMessageA(PictureList, WM_SETREDRAW, FALSE, 0);
    do {
        if (CopyListableName(entry) && PictureKindOf(NameBuffer) != 0) {
            SendMessageA(PictureList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NameBuffer));
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    SendMessageA(PictureList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(PictureList, nullptr, TRUE);
}
