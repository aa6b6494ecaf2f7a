// The About and help box with its rich-text help document.
#pragma once

#include <windows.h>
#include <richedit.h>

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Hands the help document to the rich edit control in the blocks it asks for.
DWORD CALLBACK HelpStreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* delivered);
