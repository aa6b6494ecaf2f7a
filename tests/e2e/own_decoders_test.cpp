// PCX and PSD pictures, which GDI+ cannot read, show through the program's own decoders exactly
// like any other picture; broken ones behave as any undecodable file.
#include <gtest/gtest.h>

#include "harness.h"

using namespace e2e;

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kBlack = RGB(0, 0, 0);

// The 100 x 50 quadrant picture drawn unscaled at (145, 151) in MainWindow.
void ExpectQuadrantsInPreview(const Veltra& veltra, const char* name) {
    veltra.MovePointerAway();
    veltra.Repaint();
    const Screen screen = Screen::Capture();
    auto at = [&](int x, int y) { return screen.At(veltra.ToScreen(x, y).x, veltra.ToScreen(x, y).y); };
    struct Probe {
        int x, y;
        COLORREF colour;
    };
    const Probe probes[] = {
        {145, 151, kRed},   {194, 175, kRed},   {195, 151, kBlue},   {244, 175, kBlue},
        {145, 176, kGreen}, {194, 200, kGreen}, {195, 176, kYellow}, {244, 200, kYellow},
        {144, 151, kBlack}, {245, 200, kBlack}, {145, 150, kBlack},  {244, 201, kBlack},
    };
    for (const Probe& probe : probes) {
        EXPECT_TRUE(ColourNear(at(probe.x, probe.y), probe.colour, 2))
            << name << " at (" << probe.x << ", " << probe.y << "): " << Describe(at(probe.x, probe.y)) << ", expected "
            << Describe(probe.colour);
    }
}

TEST(OwnDecoders, PcxAndPsdShowInThePreviewWithTheirColours) {
    FixtureFolder folder;
    for (const char* name : {"quad8.pcx", "quad24.pcx", "quad8rle.psd", "quad16raw.psd"}) folder.CopyData(name, name);
    folder.Write("grey.bmp", SolidBmp(100, 50, RGB(128, 128, 128)));
    Veltra veltra(folder.path);
    for (const char* name : {"quad8.pcx", "quad24.pcx", "quad8rle.psd", "quad16raw.psd"}) {
        // A grey picture in between, so each one must draw itself.
        veltra.Choose("grey.bmp");
        veltra.Choose(name);
        ExpectQuadrantsInPreview(veltra, name);
    }
}

TEST(OwnDecoders, FullScreenViewerShowsThemToo) {
    FixtureFolder folder;
    folder.CopyData("wide24.pcx", "a.pcx");
    folder.CopyData("quad8rle.psd", "b.psd");
    Veltra veltra(folder.path);
    veltra.Choose("a.pcx");
    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 200));
    HWND viewer = veltra.WaitForDialog();
    ASSERT_NE(viewer, nullptr);
    veltra.MovePointerAway();
    // 640 x 480 on the screen is drawn unscaled and centred: red left half, blue right half.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - 640) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
    ASSERT_TRUE(WaitUntil([&] { return ColourNear(Screen::Capture().At(left + 10, top + 10), kRed, 2); }));
    Screen screen = Screen::Capture();
    EXPECT_TRUE(ColourNear(screen.At(left + 630, top + 470), kBlue, 2));
    EXPECT_TRUE(ColourNear(screen.At(left - 1, top + 10), kBlack, 2));

    PostMessageA(viewer, WM_LBUTTONDBLCLK, 0, 0);
    const int quadLeft = (GetSystemMetrics(SM_CXSCREEN) - 100) / 2;
    const int quadTop = (GetSystemMetrics(SM_CYSCREEN) - 50) / 2;
    ASSERT_TRUE(WaitUntil([&] { return ColourNear(Screen::Capture().At(quadLeft + 75, quadTop + 40), kYellow, 2); }));
    screen = Screen::Capture();
    EXPECT_TRUE(ColourNear(screen.At(quadLeft + 5, quadTop + 5), kRed, 2));
    EXPECT_TRUE(ColourNear(screen.At(left + 10, top + 10), kBlack, 2)) << "the larger picture left a trace";
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return veltra.FindDialog() == nullptr; }));
    EXPECT_EQ(veltra.Selection(), 1);
}

TEST(OwnDecoders, BrokenPcxAndAbsurdPsdBehaveAsUndecodable) {
    FixtureFolder folder;
    folder.CopyData("quad24.pcx", "good.pcx");
    const std::string pcx = ReadFileBytes(DataFile("quad24.pcx"));
    folder.Write("truncated.pcx", pcx.substr(0, pcx.size() / 2));
    std::string psd = ReadFileBytes(DataFile("quad8rle.psd"));
    ASSERT_GT(psd.size(), 26u);
    // Height and width (big-endian, bytes 14..21) of 2^30 each.
    for (int i = 14; i < 22; ++i) psd[i] = (i == 14 || i == 18) ? '\x40' : '\0';
    folder.Write("absurd.psd", psd);
    Veltra veltra(folder.path);

    veltra.Choose("good.pcx");
    ExpectQuadrantsInPreview(veltra, "good.pcx");
    for (const char* broken : {"truncated.pcx", "absurd.psd"}) {
        veltra.Choose(broken);
        ASSERT_TRUE(veltra.Sync(1000)) << broken;
        // No repaint was asked for, so the good picture stays until the window is repainted.
        veltra.MovePointerAway();
        const POINT inside = veltra.ToScreen(150, 155);
        EXPECT_TRUE(ColourNear(Screen::Capture().At(inside.x, inside.y), kRed, 2)) << broken;
        veltra.Repaint();
        EXPECT_TRUE(ColourNear(Screen::Capture().At(inside.x, inside.y), kBlack, 2)) << broken;
        veltra.Choose("good.pcx");
    }
    EXPECT_TRUE(veltra.Running());
}

}  // namespace
