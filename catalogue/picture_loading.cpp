// ShowPicture: the one way any view chooses a picture. The file is open only while it is read,
// so that nothing holds it while its picture is on show (it can be renamed, replaced or deleted);
// its picture is decoded straight to the size the view draws it at (picture_fitting.cpp), or was
// decoded so ahead (decode_ahead.cpp).
#include <string>

#include "app/layout.h"
#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/decode_ahead.h"
#include "pictures/colour_profile.h"
#include "pictures/file_reading.h"
#include "pictures/fit_picture.h"

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
// Empty, which is sRGB, when there is none or it cannot be read. Every step asks, so the file is
// read only when the name changes.
DisplayProfile DisplayProfileOf(HWND window) {
    static std::wstring lastName;
    static DisplayProfile lastProfile;
    HDC screen = GetDC(window);
    if (screen == nullptr) return DisplayProfile();
    WCHAR path[MAX_PATH];
    DWORD length = MAX_PATH;
    const BOOL named = GetICMProfileW(screen, &length, path);
    ReleaseDC(window, screen);
    if (!named) return DisplayProfile();
    if (lastName != path) {
        uint64_t size = 0;
        lastProfile.clear();
        if (!ReadFileStart(path, kMaxProfileBytes, Overlong::Refuse, &lastProfile, &size)) lastProfile.clear();
        lastName = path;
    }
    return lastProfile;
}

// GDI+ fails to load a file without a name, which gives the empty image that draws nothing.
void MakeCurrentPictureEmpty() {
    DisposeCurrentPicture();
    CurrentPicture = new Gdiplus::Image(L"", FALSE);
}

enum class Load { Decoded, Undecodable, ViewEnds };

// The profile of the display pictures were last drawn for, which pictures decoded ahead are
// decoded for too.
DisplayProfile DrawingDisplay;

// Replaces CurrentPicture with the file's picture, fitted to the box and in the colours of
// `window`'s display: the one decoded ahead when it is still the file's, else decoded now. A file nobody can decode
// still becomes CurrentPicture, as the empty image. Nothing changes when the view is to end before the picture is
// there.
Load LoadCurrentPicture(HWND window, const WCHAR* path) {
    const std::wstring full = FullPathOf(path);
    DrawingDisplay = DisplayProfileOf(window);
    UprightPicture upright;
    const AheadClaim claim = TakeDecodedAhead(AheadRequest{full, BoxWidth, BoxHeight, DrawingDisplay}, &upright);
    if (claim == AheadClaim::ViewEnds) return Load::ViewEnds;
    // The old picture goes first, so that it is not held beside a decode.
    DisposeCurrentPicture();
    CurrentPictureFile.clear();
    FittedPicture fitted;
    if (claim != AheadClaim::Taken && DecodeFittedPicture(path, BoxWidth, BoxHeight, DrawingDisplay, &fitted)) {
        upright = UprightPictureOf(fitted);
    }
    if (!upright.bitmap) {
        MakeCurrentPictureEmpty();
        return Load::Undecodable;
    }
    CurrentPicture = upright.bitmap.release();
    CurrentPictureWidth = upright.width;
    CurrentPictureHeight = upright.height;
    CurrentPictureFile = full;
    return Load::Decoded;
}

// Entry `index` of PictureList into `name` (kNameBufferSize UTF-16 characters); false when it does
// not fit or is not there.
bool CopyListEntry(int index, WCHAR* name) {
    const LRESULT length = SendMessageW(PictureList, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length >= kNameBufferSize) return false;
    return SendMessageW(PictureList, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name)) != LB_ERR;
}

}  // namespace

void DisposeCurrentPicture() {
    delete CurrentPicture;
    CurrentPicture = nullptr;
}

void ShowPicture(HWND window) {
    if (GetFileAttributesW(NameBuffer) == INVALID_FILE_ATTRIBUTES) return;
    const Load load = LoadCurrentPicture(window, NameBuffer);
    if (load == Load::ViewEnds) return;
    if (load == Load::Decoded) InvalidateRect(window, &DisplayArea, TRUE);
    PlayCompanionOf(window);
}

bool ShowListEntry(HWND window, int index) {
    SendMessageW(PictureList, LB_SETCURSEL, index, 0);
    if (!CopyListEntry(index, NameBuffer)) return false;
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
    // decoded for another box is never drawn scaled. Neither is it when the view ends before its
    // picture is there; the file stays, to fit the picture again from once the view has ended.
    const std::wstring path = CurrentPictureFile;
    if (LoadCurrentPicture(window, path.c_str()) == Load::ViewEnds) MakeCurrentPictureEmpty();
    InvalidateRect(window, nullptr, FALSE);
}

void DecodeEntriesAhead(int first, int second) {
    std::vector<AheadRequest> wanted;
    WCHAR name[kNameBufferSize];
    for (int entry : {first, second}) {
        if (entry >= 0 && CopyListEntry(entry, name))
            wanted.push_back(AheadRequest{FullPathOf(name), BoxWidth, BoxHeight, DrawingDisplay});
    }
    RequestDecodesAhead(MainWindow, wanted);
}

void DecodeCurrentPictureAhead(int32_t boxWidth, int32_t boxHeight) {
    if (BoxWidth != kPreviewWidth || BoxHeight != kPreviewHeight || CurrentPictureFile.empty()) return;
    RequestDecodesAhead(MainWindow, {AheadRequest{CurrentPictureFile, boxWidth, boxHeight, DrawingDisplay}});
}
