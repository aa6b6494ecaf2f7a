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
const COLORREF kWhite = RGB(255, 255, 255);

// A 100 x 50 quadrant picture and its quadrants' colours: top left, top right, bottom left, bottom
// right. The one-bit picture is white, black / black, white.
struct Quadrants {
    const char* name;
    COLORREF colours[4];
};
const Quadrants kCmykPsd = {"quadcmyk.psd", {kRed, kBlue, kGreen, kYellow}};
const Quadrants kBitmapPsd = {"quadbitmap.psd", {kWhite, kBlack, kBlack, kWhite}};
const Quadrants kColourQuadrants[] = {
    {"quad8.pcx", {kRed, kBlue, kGreen, kYellow}},
    {"quad24.pcx", {kRed, kBlue, kGreen, kYellow}},
    {"quad8rle.psd", {kRed, kBlue, kGreen, kYellow}},
    {"quad16raw.psd", {kRed, kBlue, kGreen, kYellow}},
    kCmykPsd,
    kBitmapPsd,
};

// The quadrant picture drawn unscaled at (145, 151) in MainWindow.
void ExpectQuadrantsInPreview(const Veltra& veltra, const Quadrants& picture) {
    const char* name = picture.name;
    const COLORREF* quadrant = picture.colours;
    veltra.MovePointerAway();
    veltra.Repaint();
    const Screen screen = Screen::Capture();
    auto at = [&](int x, int y) { return screen.At(veltra.ToScreen(x, y).x, veltra.ToScreen(x, y).y); };
    struct Probe {
        int x, y;
        COLORREF colour;
    };
    const Probe probes[] = {
        {145, 151, quadrant[0]}, {194, 175, quadrant[0]}, {195, 151, quadrant[1]}, {244, 175, quadrant[1]},
        {145, 176, quadrant[2]}, {194, 200, quadrant[2]}, {195, 176, quadrant[3]}, {244, 200, quadrant[3]},
        {144, 151, kBlack},      {245, 200, kBlack},      {145, 150, kBlack},      {244, 201, kBlack},
    };
    for (const Probe& probe : probes) {
        EXPECT_TRUE(ColourNear(at(probe.x, probe.y), probe.colour, 2))
            << name << " at (" << probe.x << ", " << probe.y << "): " << Describe(at(probe.x, probe.y)) << ", expected "
            << Describe(probe.colour);
    }
}

TEST(OwnDecoders, PcxAndPsdShowInThePreviewWithTheirColours) {
    FixtureFolder folder;
    for (const Quadrants& picture : kColourQuadrants) folder.CopyData(picture.name, picture.name);
    folder.Write("grey.bmp", SolidBmp(100, 50, RGB(128, 128, 128)));
    Veltra veltra(folder.path);
    for (const Quadrants& picture : kColourQuadrants) {
        // A grey picture in between, so each one must draw itself.
        veltra.Choose("grey.bmp");
        veltra.Choose(picture.name);
        ExpectQuadrantsInPreview(veltra, picture);
    }
}

TEST(OwnDecoders, FullScreenViewerShowsThemToo) {
    FixtureFolder folder;
    folder.CopyData("wide24.pcx", "a.pcx");
    folder.CopyData(kCmykPsd.name, "b.psd");
    folder.CopyData(kBitmapPsd.name, "c.psd");
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

    // Then the two quadrant pictures, which differ in their top left and bottom right quadrants.
    const int quadLeft = (GetSystemMetrics(SM_CXSCREEN) - 100) / 2;
    const int quadTop = (GetSystemMetrics(SM_CYSCREEN) - 50) / 2;
    for (const Quadrants* picture : {&kCmykPsd, &kBitmapPsd}) {
        const COLORREF* quadrant = picture->colours;
        PostMessageA(viewer, WM_LBUTTONDBLCLK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] {
            const Screen now = Screen::Capture();
            return ColourNear(now.At(quadLeft + 5, quadTop + 5), quadrant[0], 2) &&
                   ColourNear(now.At(quadLeft + 75, quadTop + 40), quadrant[3], 2);
        })) << picture->name;
        screen = Screen::Capture();
        EXPECT_TRUE(ColourNear(screen.At(quadLeft + 95, quadTop + 5), quadrant[1], 2)) << picture->name;
        EXPECT_TRUE(ColourNear(screen.At(quadLeft + 5, quadTop + 45), quadrant[2], 2)) << picture->name;
        EXPECT_TRUE(ColourNear(screen.At(left + 10, top + 10), kBlack, 2)) << "the larger picture left a trace";
    }
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return veltra.FindDialog() == nullptr; }));
    EXPECT_EQ(veltra.Selection(), 2);
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
    ExpectQuadrantsInPreview(veltra, Quadrants{"good.pcx", {kRed, kBlue, kGreen, kYellow}});
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
