// The About and help box: title, credit and rights lines in yellow on black, and the help
// document streamed straight from the program's resources into a read-only rich edit control.
#include <cstring>

#include "about/about.h"
#include "about/help_stream.h"
#include "app/state.h"
#include "resources/resource_ids.h"

// Program-wide because the rich edit control's callback has only the cookie, which carries the
// document's address; valid while the box is being filled.
uint32_t HelpStreamSize = 0;
uint32_t HelpStreamPosition = 0;

namespace {

constexpr int kAboutOffsetX = 35;
constexpr int kAboutOffsetY = 55;

// The credit line's last 14 characters are written at run time from this name, kept apart
// from the dialog template.
constexpr int kCreditNameOffset = 24;
const WCHAR kCreditName[] = L"VELTRA Studios";
constexpr UINT kCreditNameLength = sizeof(kCreditName) / sizeof(WCHAR) - 1;
static_assert(kCreditNameLength == 14, "the credit line holds exactly 14 characters of name");

void PlaceOverMainWindow(HWND dialog) {
    RECT frame;
    GetWindowRect(MainWindow, &frame);
    SetWindowPos(dialog, HWND_TOP, frame.left + kAboutOffsetX, frame.top + kAboutOffsetY, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

void WriteCreditName(HWND dialog) {
    const UINT length = GetDlgItemTextW(dialog, IDC_ABOUT_CREDIT, NameBuffer, kNameBufferSize);
    // The template's credit text is exactly long enough; a shorter one is left as it is rather
    // than overwritten past its end.
    if (length < kCreditNameOffset + kCreditNameLength) return;
    std::memcpy(NameBuffer + kCreditNameOffset, kCreditName, kCreditNameLength * sizeof(WCHAR));
    SetDlgItemTextW(dialog, IDC_ABOUT_CREDIT, NameBuffer);
}

// Hands the help document to the rich edit control in the blocks it asks for.
DWORD CALLBACK HelpStreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* delivered) {
    const uint32_t count =
        HelpChunkSize(HelpStreamSize, HelpStreamPosition, requested > 0 ? static_cast<uint32_t>(requested) : 0);
    std::memcpy(buffer, reinterpret_cast<const uint8_t*>(cookie) + HelpStreamPosition, count);
    HelpStreamPosition += count;
    *delivered = static_cast<LONG>(count);
    return 0;
}

void StreamInHelp(HWND dialog) {
    HelpStreamPosition = 0;
    HRSRC found = FindResourceA(nullptr, "TOVAK", "RTF");
    if (found == nullptr) return;
    HelpStreamSize = SizeofResource(nullptr, found);
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* document = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (document == nullptr) return;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(document);
    stream.pfnCallback = HelpStreamCallback;
    SendDlgItemMessageA(dialog, IDC_ABOUT_HELP_AREA, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

void OpenAboutBox(HWND dialog) {
    PlaceOverMainWindow(dialog);
    SendDlgItemMessageA(dialog, IDC_ABOUT_HELP_AREA, EM_SETBKGNDCOLOR, 0, kBlack);
    SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont), TRUE);
    WriteCreditName(dialog);
    StreamInHelp(dialog);
}

// Only the Done button closes the box: IDOK and IDCANCEL (Escape) are not handled.
INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    if (LOWORD(wParam) != IDC_ABOUT_DONE) return FALSE;
    EndDialog(dialog, 1);
    return TRUE;
}

INT_PTR OnStaticColours(HDC dc) {
    SetTextColor(dc, kYellow);
    SetBkColor(dc, kBlack);
    return reinterpret_cast<INT_PTR>(BlackBrush);
}

}  // namespace

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: OpenAboutBox(dialog); return TRUE;
        case WM_COMMAND: return OnCommand(dialog, wParam);
        case WM_CTLCOLORSTATIC: return OnStaticColours(reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(BlackBrush);
    }
    return FALSE;
}
