// The three full-screen views, modal dialogs on the SCNBOX template, and what they share.
#pragma once

#include <windows.h>

INT_PTR CALLBACK FullScreenViewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SlideShowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TestScreenProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs a view on SCNBOX per-monitor DPI aware where the system allows it, so that on a scaled
// display it works on the real pixels.
void LaunchFullScreenView(DLGPROC procedure);

// The size of the box a full-screen view fits its pictures to, asked for from outside any view.
SIZE FullScreenViewSize();

// The primary display's rectangle, in real pixels when the calling thread is DPI aware.
RECT PrimaryDisplayRect();

// Stretches the borderless dialog over the whole primary display, in the display's real pixels
// when the view is DPI aware; client and screen coordinates agree.
void CoverScreen(HWND dialog);

// PictureList's entry count and selection (-1 when none), which a view steps from.
int PictureCount();
int PictureSelection();

// Pictures shown from now on are decoded to fit the view's client area.
void FitPicturesToView(HWND dialog);

// `request` runs after the view's next paint, to ask for pictures to be decoded ahead.
void DecodeAheadOncePainted(void (*request)());

// WM_PAINT of the picture views: CurrentPicture by FitPicture over the whole client area, then
// the request to decode ahead, if any.
void PaintFullScreenPicture(HWND dialog);

// Selects and shows PictureList's entry `index` (ShowListEntry) and repaints the whole dialog.
void ShowEntryFullScreen(HWND dialog, int index);
