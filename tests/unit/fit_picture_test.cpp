#include "catalogue/fit_picture.h"

#include <gtest/gtest.h>

namespace {

void ExpectFit(FittedRect fit, int x, int y, int width, int height) {
    EXPECT_EQ(fit.x, x);
    EXPECT_EQ(fit.y, y);
    EXPECT_EQ(fit.width, width);
    EXPECT_EQ(fit.height, height);
}

TEST(FitPicture, SmallPicturesAreCentredUnscaled) {
    ExpectFit(FitPicture(100, 50, 320, 240), 110, 95, 100, 50);
    ExpectFit(FitPicture(320, 240, 320, 240), 0, 0, 320, 240);
    ExpectFit(FitPicture(640, 480, 1024, 768), 192, 144, 640, 480);
    // Odd leftovers truncate toward zero, so the picture sits a half pixel up and left.
    ExpectFit(FitPicture(101, 51, 320, 240), 109, 94, 101, 51);
}

TEST(FitPicture, LargePicturesScaleDownByTheLargerRatio) {
    ExpectFit(FitPicture(400, 240, 320, 240), 0, 24, 320, 192);
    ExpectFit(FitPicture(320, 300, 320, 240), 32, 0, 256, 240);
    ExpectFit(FitPicture(3000, 1000, 1024, 768), 0, 213, 1024, 341);
    ExpectFit(FitPicture(1000, 3000, 1024, 768), 384, 0, 256, 768);
    ExpectFit(FitPicture(2048, 1536, 1024, 768), 0, 0, 1024, 768);
}

TEST(FitPicture, TiesScaleByHeight) {
    ExpectFit(FitPicture(640, 480, 320, 240), 0, 0, 320, 240);
    // 321 x 241 gives rw = 1.003125 < rh = 1.00416..., so the height fills the box and the
    // width truncates.
    ExpectFit(FitPicture(321, 241, 320, 240), 0, 0, 319, 240);
}

TEST(FitPicture, ExtremeShapesTruncateToNothingWithoutFailing) {
    ExpectFit(FitPicture(1, 5000, 320, 240), 160, 0, 0, 240);
    ExpectFit(FitPicture(5000, 1, 320, 240), 0, 120, 320, 0);
    ExpectFit(FitPicture(0, 0, 320, 240), 160, 120, 0, 0);
}

TEST(FitPicture, HugeDimensionsStayInRange) {
    const FittedRect fit = FitPicture(2147483647, 2147483647, 1024, 768);
    EXPECT_EQ(fit.height, 768);
    EXPECT_EQ(fit.width, 768);
    EXPECT_EQ(fit.x, 128);
}

}  // namespace
