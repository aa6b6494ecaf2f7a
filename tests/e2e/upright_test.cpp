// Pictures stored sideways or mirrored, with the orientation their camera recorded, are drawn as
// ImageMagick's -auto-orient turns them, in the preview and full screen, and placed by FitPicture
// with their upright width and height.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "full_screen_support.h"
#include "harness.h"
#include "pictures/fit_picture.h"

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

}  // namespace

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
