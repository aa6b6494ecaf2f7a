// The Folders command: the shell's folder picker over MainWindow. Browsing is live: every
// file-system folder the picker selects becomes current and is listed at once; OK keeps it and
// remembers it as HomeFolder, anything else returns to HomeFolder.
#include <shlobj.h>

#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/folder_path.h"

namespace {

const WCHAR kPickerTitle[] =
    L"Locate Folder with Pictures or Photos that You\nWant to See, Open the Folder and Click Ok";

constexpr int kPickerOffsetX = 110;
constexpr int kPickerOffsetY = 40;

void OnPickerReady(HWND picker) {
    // The path as the system gives it, without an added backslash.
    if (GetCurrentDirectoryW(kNameBufferSize, NameBuffer) != 0) {
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(NameBuffer));
    }
    RECT frame;
    GetWindowRect(MainWindow, &frame);
    SetWindowPos(picker, HWND_TOP, frame.left + kPickerOffsetX, frame.top + kPickerOffsetY, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

void OnPickerSelectionChanged(LPCITEMIDLIST item) {
    // Items without a file-system path (the desktop's computer node, for example) leave the
    // list showing the last real folder.
    if (!SHGetPathFromIDListW(item, NameBuffer)) return;
    if (!AddTrailingBackslash(NameBuffer, kNameBufferSize)) return;
    // A folder that cannot be entered (removed since the picker listed it, or barred) shows no
    // pictures; listing the folder that stays current would pass its pictures off as this one's.
    if (SetCurrentDirectoryW(NameBuffer)) {
        ForgetDecodesAhead();
        ListCurrentFolder();
    } else {
        SendMessageW(PictureList, LB_RESETCONTENT, 0, 0);
    }
}

int CALLBACK FolderBrowserCallback(HWND window, UINT message, LPARAM lParam, LPARAM) {
    switch (message) {
        case BFFM_INITIALIZED: OnPickerReady(window); break;
        case BFFM_SELCHANGED: OnPickerSelectionChanged(reinterpret_cast<LPCITEMIDLIST>(lParam)); break;
    }
    return 0;
}

void KeepChosenFolder(IMalloc* allocator, LPITEMIDLIST chosen) {
    if (SHGetPathFromIDListW(chosen, NameBuffer) && AddTrailingBackslash(NameBuffer, kNameBufferSize)) {
        lstrcpynW(HomeFolder, NameBuffer, kNameBufferSize);
    }
    allocator->Free(chosen);
}

// When the start folder is gone, the last folder the picker entered stays current; either way the
// list shows the folder that is current now, not one selected but never entered.
void ReturnHome() {
    SetCurrentDirectoryW(HomeFolder);
    ForgetDecodesAhead();
    ListCurrentFolder();
}

}  // namespace

void RunFolderBrowser(HWND owner) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator))) return;
    BROWSEINFOW request = {};
    request.hwndOwner = owner;
    request.lpszTitle = kPickerTitle;
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    request.lpfn = FolderBrowserCallback;
    LPITEMIDLIST chosen = SHBrowseForFolderW(&request);
    if (chosen != nullptr) {
        KeepChosenFolder(allocator, chosen);
    } else {
        ReturnHome();
    }
    allocator->Release();
}
