#include "full_screen_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <sstream>

namespace e2e {

namespace {

struct FaultTally {
    int count = 0;
    POINT first = {};
    COLORREF seen = 0;

    void Add(int x, int y, COLORREF colour) {
        if (count++ == 0) {
            first = {x, y};
            seen = colour;
        }
    }
};

void Report(std::ostringstream& out, const FaultTally& tally, const char* what) {
    if (tally.count == 0) return;
    out << tally.count << " pixels " << what << ", the first at (" << tally.first.x << ", " << tally.first.y
        << ") reads " << Describe(tally.seen) << "; ";
}

}  // namespace

std::string PictureFaults(const Screen& screen, const RECT& area, COLORREF colour, bool blackAround) {
    FaultTally outside, inside;
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            const COLORREF pixel = screen.At(x, y);
            const POINT point = {x, y};
            if (!PtInRect(&area, point)) {
                if (blackAround && !ColourNear(pixel, RGB(0, 0, 0))) outside.Add(x, y, pixel);
                continue;
            }
            if (!ColourNear(pixel, colour)) inside.Add(x, y, pixel);
        }
    }
    std::ostringstream out;
    Report(out, outside, "outside the picture are not black");
    Report(out, inside, ("inside the picture are not " + Describe(colour)).c_str());
    return out.str();
}

bool WaitForLonePicture(const RECT& area, COLORREF colour, std::string* faults, int milliseconds) {
    return WaitUntil([&] { return (*faults = PictureFaults(Screen::Capture(), area, colour)).empty(); }, milliseconds);
}

void ClearTheScreen(const Veltra& veltra) {
    veltra.MovePointerAway();
    EXPECT_TRUE(WaitUntil([&] {
        return FindProcessWindow(veltra.process.dwProcessId, TOOLTIPS_CLASSA, true) == nullptr;
    })) << "a tooltip stays on the screen";
}

HWND OpenViewer(const Veltra& veltra) {
    ClearTheScreen(veltra);
    // Below the drag strip and outside the list.
    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 310));
    return veltra.WaitForDialog();
}

RECT PreviewOnScreen(const Veltra& veltra) {
    const POINT origin = veltra.ToScreen(35, 56);
    return {origin.x, origin.y, origin.x + 320, origin.y + 240};
}

bool PointerShowing() {
    CURSORINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(GetCursorInfo(&info));
    return (info.flags & CURSOR_SHOWING) != 0;
}

bool WaitForOnePlay(size_t offset, const std::string& samples) {
    const std::string sound = Audible(samples);
    if (!WaitUntil([&] { return Audible(AudioSince(offset)).size() >= sound.size(); })) return false;
    // Anything beyond the one sound would be a second play.
    Sleep(300);
    return Audible(AudioSince(offset)) == sound;
}

void PostHarmlessInput(HWND view) {
    const LPARAM somewhere = MAKELPARAM(500, 400);
    const LPARAM altHeld = 0x20000001;  // context bit 29, repeat count 1
    PostAll(view, {
                      {WM_KEYDOWN, VK_ESCAPE, 1},  // pressed, not released
                      {WM_KEYDOWN, 'A', 1},
                      {WM_KEYUP, 'A', kKeyReleased},
                      {WM_KEYDOWN, VK_RETURN, 1},
                      {WM_KEYUP, VK_RETURN, kKeyReleased},
                      {WM_KEYDOWN, VK_SPACE, 1},
                      {WM_KEYUP, VK_SPACE, kKeyReleased},
                      {WM_LBUTTONDOWN, MK_LBUTTON, somewhere},
                      {WM_LBUTTONUP, 0, somewhere},
                      {WM_RBUTTONDOWN, MK_RBUTTON, somewhere},
                      {WM_RBUTTONUP, 0, somewhere},
                      {WM_SYSKEYDOWN, VK_F4, altHeld},  // Alt+F4
                      {WM_SYSCOMMAND, SC_CLOSE, 0},
                      {WM_CLOSE, 0, 0},
                      {WM_COMMAND, IDCANCEL, 0},
                      {WM_COMMAND, IDOK, 0},
                  });
}

DecodedPicture PictureOnScreen(const Screen& screen, const RECT& rect) {
    DecodedPicture shown;
    EXPECT_TRUE(StartPicture(rect.right - rect.left, rect.bottom - rect.top, &shown));
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            const COLORREF pixel = screen.At(rect.left + x, rect.top + y);
            StorePixel(&shown, static_cast<size_t>(y) * shown.width + x, GetRValue(pixel), GetGValue(pixel),
                       GetBValue(pixel));
        }
    }
    return shown;
}

}  // namespace e2e
