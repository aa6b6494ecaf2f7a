// The About and help box with its rich-text help document.
#pragma once

#include <windows.h>
#include <richedit.h>

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
