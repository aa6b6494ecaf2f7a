// Reading the screen: whole captures, and captures in MainWindow's client coordinates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Veltra;

// The header of a top-down 32 bpp DIB of that size, as the screen and bitmap reads use.
BITMAPINFO TopDown32BitInfo(int width, int height);

// A snapshot of the whole screen.
struct Screen {
    static Screen Capture();
    COLORREF At(int x, int y) const;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down
};

bool ColourNear(COLORREF actual, COLORREF expected, int tolerance = 8);
std::string Describe(COLORREF colour);

// A capture of the screen read in MainWindow's client coordinates.
struct ClientShot {
    Screen screen;
    POINT origin;
    COLORREF At(int x, int y) const { return screen.At(origin.x + x, origin.y + y); }
    // Pixels of the client rectangle (right and bottom exclusive) that are not `colour`.
    int CountOtherThan(const RECT& rect, COLORREF colour, int tolerance = 0) const;
};
ClientShot CaptureClient(const Veltra& veltra);
// "(x, y) shows #RRGGBB", for failure messages.
std::string DescribePixel(int x, int y, COLORREF shown);

// A borderless window of this process's own over `area`, filled with a stock brush, as another
// program's window would lie there; shown by `showCommand` and painted before this returns.
HWND ShowPlainWindow(const RECT& area, int stockBrush, DWORD extendedStyle, int showCommand);

}  // namespace e2e
