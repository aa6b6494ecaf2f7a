// Process-wide state. The program is one GUI thread, so these are plain globals named after
// their role; each comment says who creates and who releases the object.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>

// Module handle from WinMain, for resources and window creation.
extern HINSTANCE Instance;

// The skinned top-level window and its picture list (created in main_window.cpp).
extern HWND MainWindow;
extern HWND PictureList;

// Shared scratch buffer of 260 UTF-16 characters, so that a name in any script fits as it is:
// whoever chooses a picture copies the list entry here and calls ShowPicture, which leaves the
// companion sound's name in it. Nobody relies on its content across calls.
constexpr int kNameBufferSize = MAX_PATH;
extern WCHAR NameBuffer[kNameBufferSize];

// The one loaded picture (null until the first load). Replaced only by ShowPicture; disposed
// when MainWindow is destroyed, before GDI+ shuts down. Width and height change only on a
// successful load.
extern Gdiplus::Image* CurrentPicture;
extern int32_t CurrentPictureWidth;
extern int32_t CurrentPictureHeight;

// Folder that a cancelled folder browse returns to; always ends in a backslash.
extern WCHAR HomeFolder[kNameBufferSize];

// MCI device of the last companion sound opened (0 before the first).
extern UINT SoundDeviceId;

// Created at start-up, deleted when MainWindow is destroyed.
extern HBRUSH BlackBrush;
extern HFONT BoldFont;

// Read once at start-up; a later display mode change is not followed.
extern int ScreenWidth;
extern int ScreenHeight;

// Rectangle of the black picture well, in client coordinates of whatever window shows it.
extern const RECT DisplayArea;

// The only colour scheme of the program: yellow text on black.
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
