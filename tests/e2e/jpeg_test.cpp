// JPEG pictures of every kind and size, through libjpeg-turbo (or GDI+ where it refuses), and the
// largest BMP and TIFF pictures, through the program's own streaming decoders, shown in the
// preview and the full-screen viewer at the size FitPicture gives them.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <vector>

#include "full_screen_support.h"
#include "harness.h"
#include "pictures/area_filter.h"
#include "pictures/fit_picture.h"
#include "tests/picture_quality.h"

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

// How close `name` on the screen, fitted into `box`, comes to ImageMagick's conversion of it to
// sRGB (NAME.ref.pcx, tests/e2e/make_e2e_data.sh) shrunk by the area filter to the same size.
BlockDifference DifferenceFromReference(const std::string& name, const RECT& box) {
    const std::string bytes = ReadFileBytes(DataFile(name + ".ref.pcx"));
    DecodedPicture reference;
    if (!DecodeByContent(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &reference)) {
        ADD_FAILURE() << "no reference for " << name;
        return BlockDifference();
    }
    const FittedRect fit = FitPicture(reference.width, reference.height, box.right - box.left, box.bottom - box.top);
    const RECT drawn = {box.left + fit.x, box.top + fit.y, box.left + fit.x + fit.width, box.top + fit.y + fit.height};
    EXPECT_TRUE(FitDecodedPicture(FitBox{box.right - box.left, box.bottom - box.top, false}, &reference));
    BlockDifference difference;
    WaitUntil([&] {
        difference = CompareBlockMeans(PictureOnScreen(Screen::Capture(), drawn), reference);
        return difference.meanError <= 1.5 && difference.shareWithin >= 0.98;
    });
    std::printf("%s: block error %.2f, %.1f %% of blocks within 16, worst %.0f\n", name.c_str(), difference.meanError,
                100 * difference.shareWithin, difference.worst);
    return difference;
}

}  // namespace

// Each picture is shown in the colours of the profile it embeds, converted to the display's
// (sRGB under Wine) as ImageMagick converts it: Adobe RGB of ICC 2 and 4, ProPhoto, Wide Gamut,
// a profile that swaps red and green, grey, CMYK in a JPEG, a TIFF and PSDs of 8 and 16 bits, and
// Wide Gamut in a TIFF, a PSD and a BMP. A profile broken in the file (cut short, or with sizes
// past its end) leaves the picture as stored, and so does an sRGB one: exactly as without a
// profile.
TEST(Jpeg, EmbeddedColourProfilesShowAsImageMagickConvertsThem) {
    const char* const pictures[] = {
        "colour-plain.jpg",     "colour-srgb.jpg",      "colour-adobe2.jpg",    "colour-adobe4.jpg",
        "colour-prophoto.jpg",  "colour-widegamut.jpg", "colour-swapped.jpg",   "colour-grey.jpg",
        "colour-widegamut.tif", "colour-widegamut.psd", "colour-widegamut.bmp", "colour-cmyk.jpg",
        "colour-cmyk.tif",      "colour-cmyk.psd",      "colour-cmyk16.psd",    "colour-cut.jpg",
        "colour-lying.jpg",
    };
    FixtureFolder folder;
    for (const char* name : pictures) folder.CopyData(name, name);
    Veltra veltra(folder.path);
    ClearTheScreen(veltra);
    const RECT box = PreviewOnScreen(veltra);
    std::vector<DecodedPicture> untouched;
    for (const char* name : pictures) {
        veltra.Choose(name);
        const BlockDifference difference = DifferenceFromReference(name, box);
        EXPECT_LE(difference.meanError, 1.5) << name;
        EXPECT_GE(difference.shareWithin, 0.98) << name;
        const std::string kind = name;
        if (kind == "colour-plain.jpg" || kind == "colour-srgb.jpg") {
            untouched.push_back(PictureOnScreen(Screen::Capture(), box));
        }
    }
    ASSERT_EQ(untouched.size(), 2u);
    EXPECT_TRUE(untouched[0].bgra == untouched[1].bgra) << "the sRGB profile changed the picture";
    // The viewer goes on after the broken profiles, and converts too.
    veltra.Choose("colour-swapped.jpg");
    const HWND viewer = OpenViewer(veltra);
    ASSERT_NE(viewer, nullptr);
    const BlockDifference full =
        DifferenceFromReference("colour-swapped.jpg", {0, 0, kTestScreenWidth, kTestScreenHeight});
    EXPECT_LE(full.meanError, 1.5);
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, kKeyReleased);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(viewer); }));
}

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
