// The main window's face on the screen: the four skin bitmaps of the exe, pixel for pixel, the
// black display area, and the corners its rounded region leaves out.
#include <gtest/gtest.h>

#include "harness.h"

using namespace e2e;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFace = RGB(0xAE, 0xA5, 0x94);

// The four skin bitmaps as the exe holds them; a Screen serves as a plain top-down image.
struct Skin {
    Screen top, left, right, bottom;
};

Skin LoadSkin() {
    VeltraResources resources;
    return {resources.Bitmap(kSkinTop.name), resources.Bitmap(kSkinLeft.name), resources.Bitmap(kSkinRight.name),
            resources.Bitmap(kSkinBottom.name)};
}

// What the skin shows at client point (x, y): the piece that covers it, black in the display well.
COLORREF SkinAt(const Skin& skin, int x, int y) {
    if (y < kDisplayArea.top) return skin.top.At(x, y);
    if (y >= kDisplayArea.bottom) return skin.bottom.At(x, y - kDisplayArea.bottom);
    if (x < kDisplayArea.left) return skin.left.At(x, y - kDisplayArea.top);
    if (x >= kDisplayArea.right) return skin.right.At(x - kDisplayArea.right, y - kDisplayArea.top);
    return kBlack;
}

// The buttons and the list, in client coordinates: they cover the skin with their own faces.
std::vector<RECT> ChildRects(const Veltra& veltra) {
    std::vector<RECT> rects;
    for (HWND child : ChildWindows(veltra.main)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
        rects.push_back(rect);
    }
    return rects;
}

bool Covered(const std::vector<RECT>& rects, int x, int y) {
    for (const RECT& rect : rects) {
        if (PtInRect(&rect, POINT{x, y})) return true;
    }
    return false;
}

}  // namespace

TEST(Skin, WindowShowsTheSkinPixelForPixelAndABlackDisplayArea) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    const Skin skin = LoadSkin();
    ASSERT_EQ(skin.top.width, 390);
    ASSERT_EQ(skin.top.height, 54);
    ASSERT_EQ(skin.left.width, 33);
    ASSERT_EQ(skin.left.height, 244);
    ASSERT_EQ(skin.right.width, 33);
    ASSERT_EQ(skin.right.height, 244);
    ASSERT_EQ(skin.bottom.width, 390);
    ASSERT_EQ(skin.bottom.height, 126);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(veltra.main, region), ERROR);
    const std::vector<RECT> children = ChildRects(veltra);
    ASSERT_EQ(children.size(), 7u) << "six buttons and the list";
    const ClientShot shot = CaptureClient(veltra);
    int compared = 0;
    int mismatches = 0;
    for (int y = 0; y < kSkinHeight; ++y) {
        for (int x = 0; x < kSkinWidth; ++x) {
            if (!PtInRegion(region, x, y) || Covered(children, x, y)) continue;
            ++compared;
            if (shot.At(x, y) != SkinAt(skin, x, y) && ++mismatches <= 5) {
                ADD_FAILURE() << DescribePixel(x, y, shot.At(x, y)) << ", the skin has "
                              << Describe(SkinAt(skin, x, y));
            }
        }
    }
    DeleteObject(region);
    EXPECT_EQ(mismatches, 0);
    // Everything but the button row, the list and the rounded-off corners.
    EXPECT_GT(compared, 390 * 424 - 6 * 16 * 16 - 325 * 82 - 4 * 40);

    // Landmarks of the face, on the screen itself: the plate, the outline round the display
    // area, the black display area and the title's silver, white and black.
    for (const POINT& p : {POINT{13, 200}, POINT{200, 25}, POINT{376, 200}, POINT{20, 360}}) {
        EXPECT_EQ(shot.At(p.x, p.y), kFace) << DescribePixel(p.x, p.y, shot.At(p.x, p.y));
    }
    const RECT outline[] = {{30, 51, 31, 301}, {359, 51, 360, 301}, {30, 51, 360, 52}, {30, 300, 360, 301}};
    for (const RECT& line : outline) EXPECT_EQ(shot.CountOtherThan(line, kBlack), 0) << "outline";
    EXPECT_EQ(shot.CountOtherThan(kDisplayArea, kBlack), 0);
    const RECT title = {18, 17, 105, 34};
    const int area = (title.right - title.left) * (title.bottom - title.top);
    EXPECT_GT(area - shot.CountOtherThan(title, RGB(0xC0, 0xC0, 0xC0)), 50) << "silver letter faces";
    EXPECT_GT(area - shot.CountOtherThan(title, kWhite), 10) << "white top highlights";
    EXPECT_GT(area - shot.CountOtherThan(title, kBlack), 50) << "black extrusion";
}

TEST(Skin, CornersOutsideTheRoundedRegionShowWhatIsBehindTheWindow) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    const Skin skin = LoadSkin();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(veltra.main, region), ERROR);
    const ClientShot shot = CaptureClient(veltra);
    int outside = 0;
    auto check = [&](int x, int y) {
        if (PtInRegion(region, x, y)) return;
        ++outside;
        // Xvfb's root window, the only thing behind, reads black.
        EXPECT_EQ(shot.At(x, y), kBlack) << DescribePixel(x, y, shot.At(x, y));
        EXPECT_NE(WindowFromPoint(veltra.ToScreen(x, y)), veltra.main) << "(" << x << ", " << y << ")";
        // The skin has its dark edge colour there, not black, so a missing region would show.
        if (x < kSkinWidth && y < kSkinHeight) {
            EXPECT_FALSE(ColourNear(SkinAt(skin, x, y), kBlack, 40)) << "skin at (" << x << ", " << y << ")";
        }
    };
    // The four 10 x 10 corner squares of the skin, and the column and row just past it.
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            check(x, y);
            check(kSkinWidth - 1 - x, y);
            check(x, kSkinHeight - 1 - y);
            check(kSkinWidth - 1 - x, kSkinHeight - 1 - y);
        }
    }
    for (int y = 0; y <= kSkinHeight; ++y) check(kSkinWidth, y);
    for (int x = 0; x < kSkinWidth; ++x) check(x, kSkinHeight);
    DeleteObject(region);
    EXPECT_GT(outside, 4 * 20 + kSkinWidth + kSkinHeight);
    // Just inside the rounding the window shows its skin again.
    for (const POINT& p : {POINT{10, 10}, POINT{379, 10}, POINT{10, 413}, POINT{379, 413}}) {
        EXPECT_EQ(shot.At(p.x, p.y), SkinAt(skin, p.x, p.y)) << DescribePixel(p.x, p.y, shot.At(p.x, p.y));
    }
}
