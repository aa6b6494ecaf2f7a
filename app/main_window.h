// MainWindow: the skinned top-level window, its painting and the dialog launch it shares with
// every view.
#pragma once

#include <windows.h>

#include "app/layout.h"

// CreateRoundRectRgn leaves out the right and bottom edges it is given.
constexpr int kMainWindowWidth = kSkinWidth + 1;
constexpr int kMainWindowHeight = kSkinHeight + 1;
extern const char kMainWindowClass[];

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_PAINT of MainWindow: skin, black display area, preview of CurrentPicture.
void PaintMainWindow(HWND window);

// Runs a modal dialog owned by MainWindow; tells the user when it cannot be created.
void LaunchDialog(const char* templateName, DLGPROC procedure);
