// Drawing shared by MainWindow's preview and the full-screen views.
#pragma once

#include <windows.h>
#include <gdiplus.h>

// Draws CurrentPicture scaled down by FitPicture and centred in the given box; nothing when
// there is no picture or it failed to load.
void DrawCurrentPicture(Gdiplus::Graphics& graphics, int boxLeft, int boxTop, int boxWidth, int boxHeight);
