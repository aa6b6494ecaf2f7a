// MainWindow's procedure: creation of the buttons, list and tooltips, dragging by the top strip,
// owner-drawn buttons, commands, and teardown. Painting lives in painting.cpp.
#include "app/main_window.h"

#include <commctrl.h>

#include "about/about.h"
#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/folder_path.h"
#include "resources/resource_ids.h"
#include "views/views.h"

const char kMainWindowClass[] = "VELTRA";

namespace {

// Entries 0..5 the normal images, 6..11 the pressed ones (entry i + 6 is the pressed form of i).
HBITMAP ButtonBitmaps[2 * BUTTON_COUNT];

bool LoadButtonBitmaps() {
    for (int i = 0; i < 2 * BUTTON_COUNT; ++i) {
        const char* name = kButtonBitmapNames[i / BUTTON_COUNT][i % BUTTON_COUNT];
        ButtonBitmaps[i] = static_cast<HBITMAP>(LoadImageA(Instance, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    }
    for (HBITMAP bitmap : ButtonBitmaps) {
        if (bitmap == nullptr) return false;
    }
    return true;
}

bool CreateButtons(HWND window, HWND buttons[BUTTON_COUNT]) {
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        buttons[i] =
            CreateWindowExA(0, "button", nullptr, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, kButtonLeft + kButtonPitch * i,
                            kButtonTop, kButtonSize, kButtonSize, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIRST_BUTTON + i)), Instance, nullptr);
        if (buttons[i] == nullptr) return false;
    }
    return true;
}

bool CreatePictureList(HWND window) {
    // A Unicode window, so that it holds every name as the file system has it.
    PictureList = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"listbox", nullptr,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT | LBS_SORT | LBS_NOTIFY,
        kListLeft, kListTop, kListWidth, kListHeight, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PICTURE_LIST)), Instance, nullptr);
    if (PictureList == nullptr) return false;
    SendMessageA(PictureList, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont), TRUE);
    return true;
}

bool CreateTooltips(HWND window, const HWND buttons[BUTTON_COUNT]) {
    HWND tooltips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_BALLOON, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, Instance, nullptr);
    if (tooltips == nullptr) return false;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(buttons[i]);
        // The control reads string resource 10 + i of this module itself when it shows the tip.
        tool.hinst = Instance;
        tool.lpszText = MAKEINTRESOURCEA(IDS_FIRST_TOOLTIP + i);
        SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return true;
}

void MovePointerToFoldersButton(HWND window) {
    RECT frame;
    GetWindowRect(window, &frame);
    SetCursorPos(frame.left + kButtonLeft + kButtonSize / 2, frame.top + kButtonTop + kButtonSize / 2);
}

void RememberStartFolder() {
    if (GetCurrentDirectoryW(kNameBufferSize, HomeFolder) != 0) {
        AddTrailingBackslash(HomeFolder, kNameBufferSize);
    }
}

LRESULT OnCreate(HWND window) {
    MainWindow = window;
    HRGN region = CreateRoundRectRgn(0, 0, kMainWindowWidth, kMainWindowHeight, kCornerDiameter, kCornerDiameter);
    if (region == nullptr) return -1;
    if (SetWindowRgn(window, region, TRUE) == 0) return -1;
    if (!LoadButtonBitmaps()) return -1;
    HWND buttons[BUTTON_COUNT];
    if (!CreateButtons(window, buttons)) return -1;
    if (!CreatePictureList(window)) return -1;
    if (!CreateTooltips(window, buttons)) return -1;
    MovePointerToFoldersButton(window);
    RememberStartFolder();
    ListCurrentFolder();
    return 0;
}

// The top strip acts as a caption, so the borderless window can be dragged by it; buttons in
// the strip are child windows and take their own hits first.
LRESULT OnHitTest(HWND window, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(window, &point);
    return point.y > 0 && point.y < kDragStripHeight && point.x > 0 && point.x < kSkinWidth ? HTCAPTION : HTCLIENT;
}

LRESULT OnListColours(HDC dc) {
    SetTextColor(dc, kYellow);
    SetBkColor(dc, kBlack);
    return reinterpret_cast<LRESULT>(BlackBrush);
}

void DrawButton(const DRAWITEMSTRUCT* item) {
    const int index = static_cast<int>(item->CtlID) - IDC_FIRST_BUTTON;
    if (index < 0 || index >= BUTTON_COUNT) return;
    const int image = (item->itemState & ODS_SELECTED) ? index + BUTTON_COUNT : index;
    HDC memory = CreateCompatibleDC(item->hDC);
    HGDIOBJ previous = SelectObject(memory, ButtonBitmaps[image]);
    BitBlt(item->hDC, 0, 0, kButtonSize, kButtonSize, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void ShowChosenListEntry() {
    const LRESULT selection = SendMessageA(PictureList, LB_GETCURSEL, 0, 0);
    if (selection != LB_ERR) ShowListEntry(MainWindow, static_cast<int>(selection));
}

// The views decode pictures for the whole screen; back here, the preview needs its own size again.
void LaunchPictureView(DLGPROC procedure) {
    LaunchFullScreenView(procedure);
    ForgetDecodesAhead();
    FitPicturesTo(kPreviewWidth, kPreviewHeight);
    RefitCurrentPicture(MainWindow);
}

void StartSlideShow() {
    if (SendMessageA(PictureList, LB_GETCOUNT, 0, 0) >= 3) LaunchPictureView(SlideShowProc);
}

void OnCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDC_FOLDERS: RunFolderBrowser(MainWindow); break;
        case IDC_AUTO_SHOW: StartSlideShow(); break;
        case IDC_TEST_SCREEN: LaunchFullScreenView(TestScreenProc); break;
        case IDC_ABOUT_HELP: LaunchDialog("INFBOX", AboutBoxProc); break;
        case IDC_MINIMIZE: ShowWindow(MainWindow, SW_MINIMIZE); break;
        case IDC_EXIT: DestroyWindow(MainWindow); break;
        case IDC_PICTURE_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK) ShowChosenListEntry();
            break;
    }
}

void OpenFullScreenViewer() {
    if (CurrentPicture != nullptr) LaunchPictureView(FullScreenViewerProc);
}

// Once the preview is painted, the picture is decoded for the full-screen viewer in the background.
void OnPaint(HWND window) {
    PaintMainWindow(window);
    const SIZE view = FullScreenViewSize();
    DecodeCurrentPictureAhead(view.cx, view.cy);
}

void OnDestroy() {
    StopDecodingAhead();
    for (HBITMAP& bitmap : ButtonBitmaps) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        bitmap = nullptr;
    }
    DisposeCurrentPicture();
    DeleteObject(BlackBrush);
    DeleteObject(BoldFont);
    BlackBrush = nullptr;
    BoldFont = nullptr;
    PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnCreate(window);
        case WM_NCHITTEST: return OnHitTest(window, lParam);
        case WM_CTLCOLORLISTBOX: return OnListColours(reinterpret_cast<HDC>(wParam));
        case WM_DRAWITEM: DrawButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_COMMAND: OnCommand(wParam); return 0;
        case WM_LBUTTONDBLCLK: OpenFullScreenViewer(); return 0;
        case WM_PAINT: OnPaint(window); return 0;
        case WM_DECODED_AHEAD: AcceptDecodedAhead(); return 0;
        case MM_MCINOTIFY: CloseFinishedCompanionSound(wParam, lParam); return 0;
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
