// Pictures stored sideways or mirrored, with the orientation their camera recorded, are drawn as
// ImageMagick's -auto-orient turns them, in the preview and full screen, and placed by FitPicture
// with their upright width and height.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "full_screen_support.h"
#include "harness.h"
#include "pictures/exif_orientation.h"
#include "pictures/fit_picture.h"
#include "pictures/jpeg_decoder.h"
#include "tests/picture_quality.h"

using namespace e2e;

namespace {

struct OrientedPicture {
    std::string name;
    int width = 0, height = 0;   // upright, as ImageMagick turns it
    COLORREF quadrants[4] = {};  // middles of top-left, top-right, bottom-left, bottom-right
};

// Made with the test data (make_e2e_data.sh): eight JPEGs and a TIFF of one quadrant picture.
std::vector<OrientedPicture> OrientedPictures() {
    std::istringstream lines(ReadFileBytes(DataFile("orient.expect")));
    std::vector<OrientedPicture> pictures;
    OrientedPicture picture;
    std::string hex[4];
    while (lines >> picture.name >> picture.width >> picture.height >> hex[0] >> hex[1] >> hex[2] >> hex[3]) {
        for (int q = 0; q < 4; ++q) {
            const unsigned long rgb = std::stoul(hex[q], nullptr, 16);
            picture.quadrants[q] = RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
        }
        pictures.push_back(picture);
    }
    EXPECT_EQ(pictures.size(), 9u);
    return pictures;
}

// What is wrong on the screen with `picture` fitted into `box`: each quadrant's colour at its
// middle, and black just beyond the upright size's edges, which a picture placed by its stored
// width and height would cover.
std::string UprightFaults(const Screen& screen, const OrientedPicture& picture, const RECT& box) {
    const FittedRect fit = FitPicture(picture.width, picture.height, box.right - box.left, box.bottom - box.top);
    const int x = box.left + fit.x, y = box.top + fit.y, w = fit.width, h = fit.height;
    const POINT middles[4] = {
        {x + w / 4, y + h / 4}, {x + 3 * w / 4, y + h / 4}, {x + w / 4, y + 3 * h / 4}, {x + 3 * w / 4, y + 3 * h / 4}};
    std::string faults;
    for (int q = 0; q < 4; ++q) {
        const COLORREF shown = screen.At(middles[q].x, middles[q].y);
        if (!ColourNear(shown, picture.quadrants[q], 24)) {
            faults += "quadrant " + std::to_string(q) + " " + DescribePixel(middles[q].x, middles[q].y, shown) +
                      ", ImageMagick has " + Describe(picture.quadrants[q]) + "; ";
        }
    }
    const POINT beyond[] = {{x - 2, y + h / 2}, {x + w + 1, y + h / 2}, {x + w / 2, y - 2}, {x + w / 2, y + h + 1}};
    for (const POINT& p : beyond) {
        if (screen.At(p.x, p.y) != RGB(0, 0, 0))
            faults += "beyond the edge " + DescribePixel(p.x, p.y, screen.At(p.x, p.y)) + "; ";
    }
    return faults;
}

void ExpectUprightSoon(const OrientedPicture& picture, const RECT& box) {
    std::string faults;
    EXPECT_TRUE(WaitUntil([&] { return (faults = UprightFaults(Screen::Capture(), picture, box)).empty(); }))
        << picture.name << ": " << faults;
}

// The stored picture turned upright as `orientation` says, pixel by pixel: upright (x, y) shows
// stored column a x + b y + c and row d x + e y + f, for the upright width W and height H.
DecodedPicture TurnedUpright(const DecodedPicture& stored, int orientation) {
    const bool sideways = OrientationSwapsSides(orientation);
    DecodedPicture upright;
    EXPECT_TRUE(
        StartPicture(sideways ? stored.height : stored.width, sideways ? stored.width : stored.height, &upright));
    const int W = upright.width - 1, H = upright.height - 1;
    // {a, b, c, d, e, f} per orientation 1..8 (EXIF's meaning of the tag).
    const int maps[9][6] = {{1, 0, 0, 0, 1, 0},   {1, 0, 0, 0, 1, 0},   {-1, 0, W, 0, 1, 0},
                            {-1, 0, W, 0, -1, H}, {1, 0, 0, 0, -1, H},  {0, 1, 0, 1, 0, 0},
                            {0, 1, 0, -1, 0, W},  {0, -1, H, -1, 0, W}, {0, -1, H, 1, 0, 0}};
    const int* m = maps[orientation];
    for (int y = 0; y < upright.height; ++y) {
        for (int x = 0; x < upright.width; ++x) {
            const size_t from =
                static_cast<size_t>(m[3] * x + m[4] * y + m[5]) * stored.width + (m[0] * x + m[1] * y + m[2]);
            std::copy_n(&stored.bgra[from * 4], 4, &upright.bgra[(static_cast<size_t>(y) * upright.width + x) * 4]);
        }
    }
    return upright;
}

}  // namespace

// A photo with fine detail (test data: text, checkers, glints, a clipped highlight) stored turned
// half round or mirrored, 1203 x 901, against the program's own decode at full size, turned as
// EXIF says and shrunk by the area filter: the preview's 4 x 4 block means stay as close as the
// decoder's unit test asks. Its scaled decode (5/8 and 4/8) holds part of a pixel in its last
// column and row, which these orientations bring to the near edges.
TEST(Upright, FineDetailInEveryTurnMatchesAFullDecodeTurnedAndShrunk) {
    const int orientations[] = {3, 4, 7, 8};
    FixtureFolder folder;
    for (int orientation : orientations) {
        const std::string name = "detail" + std::to_string(orientation) + ".jpg";
        folder.CopyData(name, name);
    }
    Veltra veltra(folder.path);
    ClearTheScreen(veltra);
    const RECT box = PreviewOnScreen(veltra);
    const FitBox preview{box.right - box.left, box.bottom - box.top, false};
    for (int orientation : orientations) {
        const std::string name = "detail" + std::to_string(orientation) + ".jpg";
        SCOPED_TRACE(name);
        const std::string bytes = ReadFileBytes(DataFile(name));
        DecodedPicture stored;
        int32_t width = 0, height = 0;
        ASSERT_TRUE(DecodeJpegBytesToFit(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                         FitBox{65535, 65535, false}, &stored, &width, &height));
        DecodedPicture reference = TurnedUpright(stored, orientation);
        const FittedRect fit = FitPicture(reference.width, reference.height, preview.width, preview.height);
        const RECT drawn = {box.left + fit.x, box.top + fit.y, box.left + fit.x + fit.width,
                            box.top + fit.y + fit.height};
        ASSERT_TRUE(FitDecodedPicture(preview, &reference));

        veltra.Choose(name);
        BlockDifference difference;
        WaitUntil([&] {
            difference = CompareBlockMeans(PictureOnScreen(Screen::Capture(), drawn), reference);
            return difference.meanError <= 0.6 && difference.worst <= 6;
        });
        std::printf("%s at %d x %d: block error %.2f, %.1f %% of blocks within 16, worst %.0f\n", name.c_str(),
                    fit.width, fit.height, difference.meanError, 100 * difference.shareWithin, difference.worst);
        EXPECT_LE(difference.meanError, 0.6);
        EXPECT_LE(difference.worst, 6);
    }
}

TEST(Upright, EveryOrientationIsDrawnAsImageMagickTurnsItInThePreviewAndFullScreen) {
    const std::vector<OrientedPicture> pictures = OrientedPictures();
    FixtureFolder folder;
    for (const OrientedPicture& picture : pictures) folder.CopyData(picture.name, picture.name);
    Veltra veltra(folder.path);
    ClearTheScreen(veltra);
    for (const OrientedPicture& picture : pictures) {
        veltra.Choose(picture.name);
        ExpectUprightSoon(picture, PreviewOnScreen(veltra));
    }

    // Full screen, stepping through the list from its first entry.
    const std::vector<std::string> listed = veltra.ListNames();
    ASSERT_EQ(listed.size(), pictures.size());
    veltra.ChooseIndex(0);
    HWND viewer = OpenViewer(veltra);
    ASSERT_NE(viewer, nullptr);
    const RECT screen = {0, 0, kTestScreenWidth, kTestScreenHeight};
    for (size_t i = 0; i < listed.size(); ++i) {
        if (i > 0) {
            PostMessageA(viewer, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(700, 100));
            EXPECT_TRUE(WaitUntil([&] { return veltra.Selection() == static_cast<int>(i); }));
        }
        const auto picture = std::find_if(pictures.begin(), pictures.end(),
                                          [&](const OrientedPicture& p) { return p.name == listed[i]; });
        ASSERT_NE(picture, pictures.end()) << listed[i];
        ExpectUprightSoon(*picture, screen);
    }
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, kKeyReleased);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(viewer); }));
}
