// ShowPicture: the one way any view chooses a picture. The file is open only while it is read,
// so that nothing holds it while its picture is on show (it can be renamed, replaced or deleted);
// its picture is decoded straight to the size the view draws it at (picture_fitting.cpp).
#include <string>

#include "app/layout.h"
#include "app/state.h"
#include "catalogue/catalogue.h"
#include "pictures/colour_profile.h"
#include "pictures/file_reading.h"
#include "pictures/fit_picture.h"
#include "pictures/picture_fitting.h"

namespace {

// The box pictures are fitted to: the preview's, or a full-screen view's while one is open.
int32_t BoxWidth = kPreviewWidth;
int32_t BoxHeight = kPreviewHeight;
// The file's full path, empty when there is none.
std::wstring FullPathOf(const WCHAR* path) {
    const DWORD length = GetFullPathNameW(path, 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    if (length == 0 || GetFullPathNameW(path, length, &full[0], nullptr) + 1 != length) return std::wstring();
    full.pop_back();
    return full;
}

// Full path of the file CurrentPicture came from, empty when it failed to load; a view that
// opens or closes fits the picture again from there.
std::wstring CurrentPictureFile;

// The colour profile of the display `window` draws on, read here, on the thread that draws, and
// handed to the decoding as bytes: the file GetICMProfileW names for the window's screen DC.
// Empty, which is sRGB, when there is none or it cannot be read.
DisplayProfile DisplayProfileOf(HWND window) {
    DisplayProfile profile;
    HDC screen = GetDC(window);
    if (screen == nullptr) return profile;
    WCHAR path[MAX_PATH];
    DWORD length = MAX_PATH;
    const BOOL named = GetICMProfileW(screen, &length, path);
    ReleaseDC(window, screen);
    uint64_t size = 0;
    if (!named || !ReadFileStart(path, kMaxProfileBytes, Overlong::Refuse, &profile, &size)) profile.clear();
    return profile;
}

// Replaces CurrentPicture with the file's picture, fitted to the box and in the colours of
// `window`'s display. A file nobody can decode still becomes CurrentPicture, as an empty image
// that draws nothing; returns whether the load succeeded.
bool LoadCurrentPicture(HWND window, const WCHAR* path) {
    DisposeCurrentPicture();
    CurrentPictureFile.clear();
    int32_t width = 0;
    int32_t height = 0;
    CurrentPicture = LoadFittedPicture(path, BoxWidth, BoxHeight, DisplayProfileOf(window), &width, &height);
    if (CurrentPicture != nullptr) {
        CurrentPictureWidth = width;
        CurrentPictureHeight = height;
        CurrentPictureFile = FullPathOf(path);
        return true;
    }
    // GDI+ fails to load a file without a name, which gives the empty image.
    CurrentPicture = new Gdiplus::Image(L"", FALSE);
    return false;
}

}  // namespace

void DisposeCurrentPicture() {
    delete CurrentPicture;
    CurrentPicture = nullptr;
}

void ShowPicture(HWND window) {
    if (GetFileAttributesW(NameBuffer) == INVALID_FILE_ATTRIBUTES) return;
    if (LoadCurrentPicture(window, NameBuffer)) InvalidateRect(window, &DisplayArea, TRUE);
    PlayCompanionOf(window);
}

bool ShowListEntry(HWND window, int index) {
    SendMessageW(PictureList, LB_SETCURSEL, index, 0);
    // Counted in UTF-16 characters, as NameBuffer holds them.
    const LRESULT length = SendMessageW(PictureList, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length >= kNameBufferSize) return false;
    if (SendMessageW(PictureList, LB_GETTEXT, index, reinterpret_cast<LPARAM>(NameBuffer)) == LB_ERR) return false;
    ShowPicture(window);
    return true;
}

void DrawCurrentPicture(Gdiplus::Graphics& graphics, int boxLeft, int boxTop, int boxWidth, int boxHeight) {
    if (CurrentPicture == nullptr) return;
    const FittedRect fit = FitPicture(CurrentPictureWidth, CurrentPictureHeight, boxWidth, boxHeight);
    // CurrentPicture was decoded at the size fitted to this box, so this draws it 1:1. A picture
    // that failed to load is an empty image: GDI+ refuses to draw it, which is the intended
    // "nothing shown".
    graphics.DrawImage(CurrentPicture, boxLeft + fit.x, boxTop + fit.y, fit.width, fit.height);
}

void FitPicturesTo(int32_t boxWidth, int32_t boxHeight) {
    BoxWidth = boxWidth;
    BoxHeight = boxHeight;
}

void RefitCurrentPicture(HWND window) {
    if (CurrentPictureFile.empty()) return;
    // A file that no longer decodes leaves the empty image, as any failed load does: a picture
    // decoded for another box is never drawn scaled.
    const std::wstring path = CurrentPictureFile;
    LoadCurrentPicture(window, path.c_str());
    InvalidateRect(window, nullptr, FALSE);
}
