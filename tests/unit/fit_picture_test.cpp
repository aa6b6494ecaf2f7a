#include "pictures/fit_picture.h"

#include <gtest/gtest.h>

namespace {

// Picture width and height, box width and height, and the placement FitPicture must give.
struct FitCase {
    int pictureWidth, pictureHeight, boxWidth, boxHeight;
    int x, y, width, height;
};

const FitCase kFitCases[] = {
    // Small pictures are centred unscaled; odd leftovers truncate toward zero, so the picture
    // sits a half pixel up and left.
    {100, 50, 320, 240, 110, 95, 100, 50},
    {320, 240, 320, 240, 0, 0, 320, 240},
    {640, 480, 1024, 768, 192, 144, 640, 480},
    {101, 51, 320, 240, 109, 94, 101, 51},
    // Large pictures scale down by the larger ratio.
    {400, 240, 320, 240, 0, 24, 320, 192},
    {320, 300, 320, 240, 32, 0, 256, 240},
    {3000, 1000, 1024, 768, 0, 213, 1024, 341},
    {1000, 3000, 1024, 768, 384, 0, 256, 768},
    {2048, 1536, 1024, 768, 0, 0, 1024, 768},
    // Ties scale by height: 321 x 241 gives rw = 1.003125 < rh = 1.00416..., so the height
    // fills the box and the width truncates.
    {640, 480, 320, 240, 0, 0, 320, 240},
    {321, 241, 320, 240, 0, 0, 319, 240},
    // Where the exact quotient is whole, the quotient in doubles falls on either side of it and
    // truncation keeps the difference; extended precision (the x87 unit as mingw leaves it) gives
    // another answer for each of these, the one in the comment.
    {512, 512, 320, 240, 40, 0, 240, 240},      // 239
    {1000, 1000, 320, 240, 40, 0, 239, 240},    // 240
    {672, 512, 320, 240, 2, 0, 315, 240},       // 314
    {1536, 2048, 800, 600, 175, 0, 449, 600},   // 450
    {520, 832, 1024, 768, 272, 0, 480, 768},    // 479
    {515, 824, 1024, 768, 272, 0, 479, 768},    // 480
    {344, 215, 320, 240, 0, 20, 320, 200},      // 199
    {352, 132, 320, 240, 0, 60, 320, 119},      // 120
    {1288, 966, 1280, 1024, 0, 32, 1280, 959},  // 960
    {1536, 2048, 320, 240, 70, 0, 180, 240},    // 179
    // A whole quotient that both precisions give alike.
    {1536, 2048, 1024, 768, 224, 0, 576, 768},
    // Extreme shapes truncate to nothing without failing.
    {1, 5000, 320, 240, 160, 0, 0, 240},
    {5000, 1, 320, 240, 0, 120, 320, 0},
    {0, 0, 320, 240, 160, 120, 0, 0},
};

TEST(FitPicture, PlacesEachPictureByTheRule) {
    for (const FitCase& c : kFitCases) {
        SCOPED_TRACE(testing::Message() << c.pictureWidth << " x " << c.pictureHeight << " in " << c.boxWidth << " x "
                                        << c.boxHeight);
        const FittedRect fit = FitPicture(c.pictureWidth, c.pictureHeight, c.boxWidth, c.boxHeight);
        EXPECT_EQ(fit.x, c.x);
        EXPECT_EQ(fit.y, c.y);
        EXPECT_EQ(fit.width, c.width);
        EXPECT_EQ(fit.height, c.height);
    }
}

TEST(FitPicture, HugeDimensionsStayInRange) {
    const FittedRect fit = FitPicture(2147483647, 2147483647, 1024, 768);
    EXPECT_EQ(fit.height, 768);
    EXPECT_EQ(fit.width, 768);
    EXPECT_EQ(fit.x, 128);
}

}  // namespace
