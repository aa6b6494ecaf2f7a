// JPEG pictures of every kind and size, through libjpeg-turbo (or GDI+ where it refuses), and the
// largest BMP and TIFF pictures, through the program's own streaming decoders, shown in the
// preview and the full-screen viewer at the size FitPicture gives them.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <vector>

#include "full_screen_support.h"
#include "harness.h"
#include "pictures/fit_picture.h"

using namespace e2e;

namespace {

// GDI+ under Wine takes seconds over the picture libjpeg-turbo leaves to it.
constexpr int kSlowestDecode = 30000;

struct Quadrants {
    const char* name;
    int width;
    int height;
};

// Red, blue / green, yellow quadrants (tests/e2e/make_e2e_data.sh), drawn by FitPicture into the
// box at (boxLeft, boxTop) on the screen: each quadrant's middle shows its colour, the box beside
// the picture is black.
void ExpectQuadrants(const Quadrants& picture, int boxLeft, int boxTop, int boxWidth, int boxHeight,
                     const char* where) {
    SCOPED_TRACE(std::string(picture.name) + " in " + where);
    const FittedRect fit = FitPicture(picture.width, picture.height, boxWidth, boxHeight);
    const int left = boxLeft + fit.x;
    const int top = boxTop + fit.y;
    struct Probe {
        int x, y;
        COLORREF colour;
    };
    std::vector<Probe> probes = {
        {left + fit.width / 4, top + fit.height / 4, RGB(255, 0, 0)},
        {left + fit.width * 3 / 4, top + fit.height / 4, RGB(0, 0, 255)},
        {left + fit.width / 4, top + fit.height * 3 / 4, RGB(0, 255, 0)},
        {left + fit.width * 3 / 4, top + fit.height * 3 / 4, RGB(255, 255, 0)},
    };
    // Just beside the picture, where the box leaves room.
    if (fit.x > 0) probes.push_back({left - 1, top + fit.height / 2, RGB(0, 0, 0)});
    if (fit.y > 0) probes.push_back({left + fit.width / 2, top - 1, RGB(0, 0, 0)});
    std::string seen;
    const bool shown = WaitUntil(
        [&] {
            const Screen screen = Screen::Capture();
            seen.clear();
            for (const auto& probe : probes) {
                if (!ColourNear(screen.At(probe.x, probe.y), probe.colour, 24)) {
                    seen += DescribePixel(probe.x, probe.y, screen.At(probe.x, probe.y)) + " ";
                }
            }
            return seen.empty();
        },
        kSlowestDecode);
    EXPECT_TRUE(shown) << seen;
}

void ExpectInPreview(const Veltra& veltra, const Quadrants& picture) {
    veltra.MovePointerAway();
    const RECT box = PreviewOnScreen(veltra);
    ExpectQuadrants(picture, box.left, box.top, box.right - box.left, box.bottom - box.top, "the preview");
}

// Opens the viewer on the previewed picture, checks it there, and closes it again.
void ExpectInViewer(const Veltra& veltra, const Quadrants& picture) {
    ClearTheScreen(veltra);
    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 310));
    const HWND viewer = veltra.WaitForDialog(kSlowestDecode);
    ASSERT_NE(viewer, nullptr) << picture.name;
    ExpectQuadrants(picture, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), "the viewer");
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, kKeyReleased);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(viewer); }));
}

// A 32-bit process that held a picture of hundreds of megapixels whole would be far above it.
constexpr size_t kLittleMemory = 100u * 1024 * 1024;

void ExpectPeakWorkingSetBelow(const Veltra& veltra, size_t bytes) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ASSERT_TRUE(GetProcessMemoryInfo(veltra.process.hProcess, &counters, sizeof(counters)));
    ASSERT_GT(counters.PeakWorkingSetSize, 0u) << "no working set reported";
    EXPECT_LT(counters.PeakWorkingSetSize, bytes)
        << "peak working set " << counters.PeakWorkingSetSize / (1024 * 1024) << " MB";
}

// Each picture in the preview, the viewer and the preview again, all in one process, whose peak
// working set must stay below `maxPeakBytes` when that is not 0.
void ExpectShownEverywhere(const std::vector<Quadrants>& pictures, size_t maxPeakBytes = 0) {
    FixtureFolder folder;
    for (const Quadrants& picture : pictures) folder.CopyData(picture.name, picture.name);
    Veltra veltra(folder.path);
    for (const Quadrants& picture : pictures) {
        veltra.Choose(picture.name);
        ExpectInPreview(veltra, picture);
        ExpectInViewer(veltra, picture);
        // Back from the viewer, the preview shows the picture fitted to its own box again.
        ExpectInPreview(veltra, picture);
    }
    if (maxPeakBytes != 0) ExpectPeakWorkingSetBelow(veltra, maxPeakBytes);
}

}  // namespace

// Neither could be held decoded in a 32-bit process; scaled while decoded, they take little.
TEST(Jpeg, HugePicturesShowInThePreviewAndTheViewerInLittleMemory) {
    ExpectShownEverywhere({{"quad100mp.jpg", 12240, 8160}, {"quad400mp.jpg", 20000, 20000}});
    FixtureFolder folder;
    folder.CopyData("quad400mp.jpg", "a.jpg");
    Veltra veltra(folder.path);
    veltra.Choose("a.jpg");
    ASSERT_TRUE(veltra.Sync(60000));
    ExpectPeakWorkingSetBelow(veltra, kLittleMemory);
}

// 600 MB of BMP rows and a row of TIFF tiles at a time stream through the area filter: showing
// both everywhere holds no more than a band of either.
TEST(HugePictures, BmpAndTiledTiffOf200MpShowEverywhereInLittleMemory) {
    ExpectShownEverywhere({{"quad200mp.bmp", 17321, 11547}, {"quad200mp-tiles.tif", 17321, 11547}}, kLittleMemory);
}

// A progressive picture over libjpeg-turbo's working-memory cap is refused there and GDI+ shows
// it instead.
TEST(Jpeg, ProgressiveCmykAndOverTheCapShowInTheirColours) {
    ExpectShownEverywhere(
        {{"quadprogressive.jpg", 640, 480}, {"quadcmyk.jpg", 640, 480}, {"quadovercap.jpg", 6000, 6000}});
}
