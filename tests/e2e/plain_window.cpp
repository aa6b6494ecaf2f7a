#include <windows.h>

#include <cstdio>

#include "screen.h"

namespace e2e {

HWND ShowPlainWindow(const RECT& area, int stockBrush, DWORD extendedStyle, int showCommand) {
    char className[40];
    std::snprintf(className, sizeof className, "VeltraTestPlainWindow%d", stockBrush);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);  // fails harmlessly once the class is there
    HWND window = CreateWindowExA(extendedStyle, className, "", WS_POPUP, area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

}  // namespace e2e
