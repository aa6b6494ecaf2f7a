// The test screen: seven full-height colour bars with a grey-scale strip over their lower end,
// ended only by a left double-click. Every expectation follows from the screen's size, so these
// cases run on displays of different sizes.
#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

constexpr int kStripRows = 50;
const COLORREF kBarColours[] = {RGB(255, 255, 255), RGB(255, 255, 0), RGB(0, 255, 255), RGB(0, 255, 0),
                                RGB(255, 0, 255),   RGB(255, 0, 0),   RGB(0, 0, 255)};

struct Bar {
    int first;
    int last;
    COLORREF colour;
};

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
int StripTop() { return ScreenHeight() - kStripRows; }

std::vector<Bar> Bars() {
    const int width = ScreenWidth() / 7;
    std::vector<Bar> bars;
    for (int i = 0; i < 7; ++i) {
        bars.push_back(Bar{i * width, i == 6 ? ScreenWidth() - 1 : (i + 1) * width - 1, kBarColours[i]});
    }
    return bars;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// Opens the test screen as its button does and waits until it has been painted.
HWND OpenTestScreen(const Veltra& veltra) {
    veltra.PostCommand(IDC_TEST_SCREEN);
    HWND dialog = veltra.WaitForDialog();
    if (dialog == nullptr) return nullptr;
    const bool painted = WaitUntil(
        [] { return ScreenPixel(1, 1) == kBarColours[0] && ScreenPixel(ScreenWidth() - 2, 1) == kBarColours[6]; });
    EXPECT_TRUE(painted) << "the test screen was not painted";
    return dialog;
}

bool StillOpen(const Veltra& veltra, HWND dialog) {
    return IsWindowVisible(dialog) && !IsWindowEnabled(veltra.main) && veltra.FindDialog() == dialog;
}

// Lit channels' spread: 0 for a pure grey.
int Saturation(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::max({r, g, b}) - std::min({r, g, b});
}

int DifferingPixels(const Screen& a, const Screen& b, const RECT& area) {
    int differing = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) differing += a.At(x, y) != b.At(x, y);
    }
    return differing;
}

}  // namespace

TEST(TestScreen, BarsFillTheScreenAboveALinearGreyStrip) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    HWND dialog = OpenTestScreen(veltra);
    ASSERT_NE(dialog, nullptr);
    RECT covered = {};
    GetWindowRect(dialog, &covered);
    EXPECT_EQ(covered.left, 0);
    EXPECT_EQ(covered.top, 0);
    EXPECT_EQ(covered.right, ScreenWidth());
    EXPECT_EQ(covered.bottom, ScreenHeight());

    const Screen screen = Screen::Capture();
    const int width = ScreenWidth();
    const int height = ScreenHeight();
    const int stripTop = StripTop();

    // Each bar's first and last column in its colour from the top row down to the strip.
    const std::vector<Bar> bars = Bars();
    EXPECT_EQ(bars.back().last, width - 1) << "the blue bar reaches the right edge";
    for (const Bar& bar : bars) {
        for (int x : {bar.first, bar.last}) {
            int wrong = 0;
            for (int y = 0; y < stripTop; ++y) wrong += screen.At(x, y) != bar.colour;
            EXPECT_EQ(wrong, 0) << "column " << x << " should be " << Describe(bar.colour) << ", row 0 is "
                                << Describe(screen.At(x, 0)) << ", row " << stripTop - 1 << " is "
                                << Describe(screen.At(x, stripTop - 1));
        }
    }

    // The strip: grey in every pixel, the same in every row, from black at column 0 rising
    // steadily to nearly white at the right edge, in a straight line.
    int coloured = 0;
    int unlike = 0;
    int falling = 0;
    int offLine = 0;
    for (int y = stripTop; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = screen.At(x, y);
            coloured += Saturation(pixel) > 2;
            unlike += pixel != screen.At(x, stripTop);
            falling += x > 0 && GetGValue(pixel) < GetGValue(screen.At(x - 1, y));
            offLine += std::abs(GetGValue(pixel) * width - 255 * x) > 4 * width;
        }
    }
    EXPECT_EQ(coloured, 0) << "strip pixels with a hue";
    EXPECT_EQ(unlike, 0) << "strip pixels that differ from the strip's first row";
    EXPECT_EQ(falling, 0) << "strip pixels darker than their left neighbour";
    EXPECT_EQ(offLine, 0) << "strip pixels more than 4 levels off the straight line from black to white";
    EXPECT_TRUE(ColourNear(screen.At(0, height - 1), RGB(0, 0, 0), 2)) << Describe(screen.At(0, height - 1));
    EXPECT_GE(GetGValue(screen.At(width - 1, stripTop)), 245) << Describe(screen.At(width - 1, stripTop));
}

TEST(TestScreen, OnlyALeftDoubleClickEndsIt) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    HWND dialog = OpenTestScreen(veltra);
    ASSERT_NE(dialog, nullptr);
    const LPARAM at = MAKELPARAM(ScreenWidth() / 3, ScreenHeight() / 3);

    // Posted: Escape pressed and released, Cancel, OK and Alt+F4 as the dialog manager would make
    // of them, other keys, a right double-click and a single left click.
    PostAll(dialog, {{WM_KEYDOWN, VK_ESCAPE, 0x00010001},
                     {WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u)},
                     {WM_COMMAND, IDCANCEL, 0},
                     {WM_COMMAND, IDOK, 0},
                     {WM_SYSKEYDOWN, VK_F4, 0x20000001},
                     {WM_SYSKEYUP, VK_F4, static_cast<LPARAM>(0xE0000001u)},
                     {WM_KEYDOWN, VK_RETURN, 1},
                     {WM_KEYUP, VK_RETURN, kKeyReleased},
                     {WM_KEYDOWN, VK_SPACE, 1},
                     {WM_KEYUP, VK_SPACE, kKeyReleased},
                     {WM_KEYDOWN, 'Q', 1},
                     {WM_KEYUP, 'Q', kKeyReleased},
                     {WM_KEYDOWN, VK_F1, 1},
                     {WM_KEYUP, VK_F1, kKeyReleased},
                     {WM_RBUTTONDOWN, MK_RBUTTON, at},
                     {WM_RBUTTONUP, 0, at},
                     {WM_RBUTTONDBLCLK, MK_RBUTTON, at},
                     {WM_RBUTTONUP, 0, at},
                     {WM_LBUTTONDOWN, MK_LBUTTON, at},
                     {WM_LBUTTONUP, 0, at}});
    ASSERT_TRUE(veltra.SyncPosted());
    EXPECT_TRUE(StillOpen(veltra, dialog));

    // Real input: Escape, another key, a right double-click. Nothing in the program can show that
    // it has handled them short of closing, so give it a while to do so.
    const POINT point = {ScreenWidth() / 3, ScreenHeight() / 3};
    SendKey(VK_ESCAPE);
    SendKey(VK_SPACE);
    SendClicks(point, 2, true);
    EXPECT_FALSE(WaitUntil([&] { return !StillOpen(veltra, dialog); }, 1000));

    SendClicks(point, 2);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(veltra.main); }));
    EXPECT_TRUE(veltra.Sync());
}

TEST(TestScreen, RepaintsDrawTheSamePictureAndLeaveNoGdiObjectBehind) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    HWND dialog = OpenTestScreen(veltra);
    ASSERT_NE(dialog, nullptr);
    const Screen before = Screen::Capture();

    // Cover a bar boundary and part of the strip with another window, then uncover it.
    const int barWidth = ScreenWidth() / 7;
    const RECT area = {barWidth / 2, StripTop() - 60, barWidth * 2, StripTop() + 30};
    HWND cover = ShowPlainWindow(area, GRAY_BRUSH, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, SW_SHOWNOACTIVATE);
    ASSERT_NE(cover, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(area.left + 5, area.top + 5) == RGB(128, 128, 128); }))
        << "the cover did not show";
    DestroyWindow(cover);
    EXPECT_TRUE(WaitUntil([&] { return DifferingPixels(before, Screen::Capture(), area) == 0; }))
        << "the uncovered part was not repainted as before";

    auto repaint = [&] {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT pending = {};
        return veltra.Sync() && !GetUpdateRect(dialog, &pending, FALSE);
    };
    auto repaintTimes = [&](int times) {
        int painted = 0;
        for (int i = 0; i < times; ++i) painted += repaint();
        EXPECT_EQ(painted, times) << "repaints that left something unpainted";
    };
    repaintTimes(1);
    const HeldCounts held = CountHeld(veltra.process);
    repaintTimes(50);
    SCOPED_TRACE("repaints");
    ExpectNoGrowth(held, CountHeld(veltra.process), {0, -1, -1, -1});
    // GDI+ graphics objects and brushes are no GDI objects: leaked, they would only take memory,
    // too little to see after 50 repaints. After 500, leaking one of them per repaint grew the
    // program's memory by 128 KB or more; a sound program does not grow at all.
    repaintTimes(450);
    ExpectNoGrowth(held, CountHeld(veltra.process), {-1, -1, -1, 64 * 1024});
    EXPECT_EQ(DifferingPixels(before, Screen::Capture(), RECT{0, 0, ScreenWidth(), ScreenHeight()}), 0);

    PostMessageA(dialog, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(veltra.main); }));
}
