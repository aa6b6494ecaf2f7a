// Entry point: single instance, process-wide drawing objects, GDI+, the window and the loop.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include "app/main_window.h"
#include "app/state.h"

namespace {

// Taken beside the class check: two copies started at the same moment can both pass
// FindWindowA before either has created its window, but only one can create this mutex.
const char kInstanceMutexName[] = "Local\\VELTRA.SingleInstance";

bool AnotherCopyRuns() {
    if (FindWindowA(kMainWindowClass, nullptr) != nullptr) return true;
    // Never closed: the handle lives exactly as long as this copy.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
    return mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS;
}

HFONT CreateBoldFont() {
    return CreateFontA(10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                       DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
}

bool RegisterMainWindowClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    // CS_DBLCLKS: a double-click on the window opens the full-screen viewer.
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = Instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hIcon = static_cast<HICON>(LoadImageA(Instance, "MICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(Instance, "MICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    // The class owns a black brush of its own, apart from BlackBrush.
    windowClass.hbrBackground = CreateSolidBrush(kBlack);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Instance = instance;
    if (AnotherCopyRuns()) return 0;
    // Registers the RICHEDIT class of the help area; never freed.
    if (LoadLibraryA("RICHED32.DLL") == nullptr) return 0;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    if (!InitCommonControlsEx(&controls)) return 0;

    BlackBrush = CreateSolidBrush(kBlack);
    if (BlackBrush == nullptr) return 0;
    BoldFont = CreateBoldFont();
    if (BoldFont == nullptr) {
        DeleteObject(BlackBrush);
        return 0;
    }
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr) != Gdiplus::Ok) {
        DeleteObject(BlackBrush);
        DeleteObject(BoldFont);
        return 0;
    }
    ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (!RegisterMainWindowClass()) return 0;

    HWND window = CreateWindowExA(WS_EX_APPWINDOW, kMainWindowClass, kMainWindowClass, WS_POPUP | WS_SYSMENU,
                                  (ScreenWidth - kMainWindowWidth) / 2, (ScreenHeight - kMainWindowHeight) / 2,
                                  kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, Instance, nullptr);
    if (window == nullptr) return 0;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    const int exitCode = RunMessageLoop();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return exitCode;
}
