#include "pictures/area_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

namespace {

// With a scale below 8, the source is a picture of sourceWidth x sourceHeight decoded at scale / 8,
// as a JPEG decoder gives it: ceil(side x scale / 8) pixels, the last column and row partly picture.
struct Sizes {
    int32_t sourceWidth, sourceHeight, targetWidth, targetHeight;
    int scale = 8;
    double ExtentX() const { return sourceWidth * scale / 8.0; }
    double ExtentY() const { return sourceHeight * scale / 8.0; }
    int32_t RowsWide() const { return static_cast<int32_t>((sourceWidth * scale + 7) / 8); }
    int32_t RowsHigh() const { return static_cast<int32_t>((sourceHeight * scale + 7) / 8); }
};

DecodedPicture RandomPicture(int32_t width, int32_t height) {
    DecodedPicture picture;
    EXPECT_TRUE(StartPicture(width, height, &picture));
    std::mt19937 random(static_cast<uint32_t>(width * 7919 + height));
    for (size_t pixel = 0; pixel < picture.bgra.size() / 4; ++pixel) {
        StorePixel(&picture, pixel, random() & 255, random() & 255, random() & 255);
    }
    return picture;
}

// Streams the picture through the filter row by row, as a decoder would; `source` holds the scaled
// rows when the sizes have a scale.
DecodedPicture Shrink(const DecodedPicture& source, const Sizes& sizes) {
    AreaFilter filter;
    DecodedPicture out;
    EXPECT_TRUE(StartScaledAreaFilter(sizes.sourceWidth, sizes.sourceHeight, sizes.scale, sizes.targetWidth,
                                      sizes.targetHeight, &filter, &out));
    for (int32_t row = 0; row < source.height; ++row) {
        EXPECT_FALSE(AreaFilterDone(filter)) << "done before row " << row;
        FilterRow(&filter, source.bgra.data() + static_cast<size_t>(row) * source.width * 4, 4);
    }
    EXPECT_TRUE(AreaFilterDone(filter));
    return out;
}

// How much of [from, from + 1) lies in [start, end), all in source pixels.
double Overlap(int32_t from, double start, double end) {
    const double low = from > start ? from : start;
    const double high = from + 1 < end ? from + 1 : end;
    return high > low ? high - low : 0;
}

// The average over each target pixel's area, computed the slow, obvious way: the targets share the
// picture's real extent out between them, whatever the last source pixel holds beyond it.
double ReferenceValue(const DecodedPicture& source, const Sizes& sizes, int32_t x, int32_t y, int channel) {
    const double scaleX = sizes.ExtentX() / sizes.targetWidth;
    const double scaleY = sizes.ExtentY() / sizes.targetHeight;
    double sum = 0;
    for (int32_t row = 0; row < source.height; ++row) {
        const double rowPart = Overlap(row, y * scaleY, (y + 1) * scaleY);
        if (rowPart == 0) continue;
        for (int32_t column = 0; column < source.width; ++column) {
            const double part = rowPart * Overlap(column, x * scaleX, (x + 1) * scaleX);
            sum += part * source.bgra[(static_cast<size_t>(row) * source.width + column) * 4 + channel];
        }
    }
    return sum / (scaleX * scaleY);
}

// Whole ratios must give the exact mean of each block, rounded half up; fractional ones the
// reference within rounding. Either way the result is a complete opaque picture.
void ExpectAverages(const Sizes& sizes, bool wholeRatio) {
    SCOPED_TRACE(testing::Message() << sizes.sourceWidth << " x " << sizes.sourceHeight << " to " << sizes.targetWidth
                                    << " x " << sizes.targetHeight);
    const DecodedPicture source = RandomPicture(sizes.RowsWide(), sizes.RowsHigh());
    const DecodedPicture out = Shrink(source, sizes);
    ASSERT_EQ(out.width, sizes.targetWidth);
    ASSERT_EQ(out.height, sizes.targetHeight);
    const int32_t blockWidth = sizes.sourceWidth / sizes.targetWidth;
    const int32_t blockHeight = sizes.sourceHeight / sizes.targetHeight;
    for (int32_t y = 0; y < out.height; ++y) {
        for (int32_t x = 0; x < out.width; ++x) {
            const uint8_t* got = out.bgra.data() + (static_cast<size_t>(y) * out.width + x) * 4;
            ASSERT_EQ(got[3], 255);
            for (int channel = 0; channel < 3; ++channel) {
                if (wholeRatio) {
                    int sum = 0;
                    for (int32_t row = y * blockHeight; row < (y + 1) * blockHeight; ++row) {
                        for (int32_t column = x * blockWidth; column < (x + 1) * blockWidth; ++column) {
                            sum += source.bgra[(static_cast<size_t>(row) * source.width + column) * 4 + channel];
                        }
                    }
                    const int count = blockWidth * blockHeight;
                    ASSERT_EQ(got[channel], (2 * sum + count) / (2 * count)) << "at " << x << ", " << y;
                } else {
                    const double want = ReferenceValue(source, sizes, x, y, channel);
                    ASSERT_LE(std::fabs(got[channel] - want), 0.5 + 1e-9) << "at " << x << ", " << y;
                }
            }
        }
    }
}

TEST(AreaFilter, WholeRatiosGiveTheExactMeanOfEachBlock) {
    const Sizes cases[] = {
        {8, 6, 4, 3},
        {12, 12, 1, 1},
        {7, 5, 7, 5},
        {64, 48, 16, 48},
        {30, 90, 3, 10},
        // One pixel wide or tall, shrunk the other way or not at all.
        {1, 9, 1, 3},
        {9, 1, 3, 1},
        {1, 1, 1, 1},
        {1, 64, 1, 1},
    };
    for (const Sizes& sizes : cases) ExpectAverages(sizes, true);
}

TEST(AreaFilter, FractionalRatiosMatchAReferenceResampler) {
    const Sizes cases[] = {
        {10, 7, 3, 2},   {5, 5, 4, 4},  {100, 75, 33, 29}, {2250, 3, 1620, 2},
        {17, 23, 16, 5}, {1, 13, 1, 5}, {13, 1, 4, 1},
    };
    for (const Sizes& sizes : cases) ExpectAverages(sizes, false);
}

// 450 rows at 5/8 are 282 rows for 281.25 of picture: the last row weighs a quarter of the others.
TEST(AreaFilter, ScaledPicturesWeighTheirLastRowAndColumnByThePictureTheyHold) {
    const Sizes cases[] = {
        {450, 450, 100, 140, 5}, {13, 7, 4, 2, 3}, {1001, 9, 100, 1, 1}, {9, 9, 7, 7, 7}, {65535, 9, 1, 1, 1},
    };
    for (const Sizes& sizes : cases) ExpectAverages(sizes, false);
}

// Sizes with no common divisor make each pixel's weight too large for 32-bit sums; the slower
// division must average as exactly.
TEST(AreaFilter, PicturesTooLargeForThirtyTwoBitSumsAverageAsExactly) {
    DecodedPicture source;
    ASSERT_TRUE(StartPicture(4099, 4097, &source));
    for (size_t pixel = 0; pixel < 4099; ++pixel) StorePixel(&source, pixel, 7, 130, 255);
    for (size_t row = 1; row < 4097; ++row) {
        std::copy(source.bgra.begin(), source.bgra.begin() + 4099 * 4, source.bgra.begin() + row * 4099 * 4);
    }
    const DecodedPicture out = Shrink(source, {4099, 4097, 2, 4096});
    for (size_t pixel = 0; pixel < out.bgra.size() / 4; ++pixel) {
        const uint8_t* got = out.bgra.data() + pixel * 4;
        ASSERT_TRUE(got[0] == 255 && got[1] == 130 && got[2] == 7) << "pixel " << pixel;
    }
}

TEST(AreaFilter, RefusesWhatItCannotShrink) {
    // A scaled picture of 9 x 9 at 7/8 is 8 x 8 pixels but only 7.875 of picture.
    const Sizes cases[] = {
        {4, 4, 5, 4},     {4, 4, 4, 5},    {0, 4, 1, 1},    {4, 0, 1, 1},    {4, 4, 0, 1},    {4, 4, 1, -1},
        {65536, 1, 1, 1}, {9, 9, 8, 1, 7}, {9, 9, 1, 8, 7}, {4, 4, 1, 1, 0}, {4, 4, 1, 1, 9},
    };
    for (const Sizes& sizes : cases) {
        AreaFilter filter;
        DecodedPicture out;
        EXPECT_FALSE(StartScaledAreaFilter(sizes.sourceWidth, sizes.sourceHeight, sizes.scale, sizes.targetWidth,
                                           sizes.targetHeight, &filter, &out))
            << sizes.sourceWidth << " x " << sizes.sourceHeight << " to " << sizes.targetWidth << " x "
            << sizes.targetHeight;
        EXPECT_TRUE(out.bgra.empty());
    }
}

TEST(AreaFilter, RowsAfterTheLastChangeNothing) {
    const DecodedPicture source = RandomPicture(9, 6);
    DecodedPicture out = Shrink(source, {9, 6, 4, 4});
    const std::vector<uint8_t> before = out.bgra;
    AreaFilter filter;
    ASSERT_TRUE(StartAreaFilter(9, 6, 4, 4, &filter, &out));
    for (int32_t row = 0; row < 8; ++row) FilterRow(&filter, source.bgra.data() + (row % 6) * 9 * 4, 4);
    EXPECT_EQ(out.bgra, before);
}

// Sizes as stored. A sideways picture is fitted by its upright size: 249 x 332 stored is 332 x 249
// upright, whose ratios tie in 320 x 240 and give 320 x 240, while the stored size fitted to the
// box turned, 240 x 320, would give 239 x 320.
TEST(AreaFilter, FitsWholePicturesToTheBoxAtLeastOnePixel) {
    const struct {
        int32_t width, height;
        FitBox box;
        int32_t fittedWidth, fittedHeight;
    } cases[] = {
        {640, 480, {320, 240, false}, 320, 240},   {100, 50, {320, 240, false}, 100, 50},
        {400, 240, {320, 240, false}, 320, 192},   {1, 5000, {320, 240, false}, 1, 240},
        {5000, 1, {320, 240, false}, 320, 1},      {512, 512, {320, 240, false}, 240, 240},
        {1000, 1000, {320, 240, false}, 239, 240}, {249, 332, {320, 240, true}, 240, 320},
        {249, 332, {240, 320, false}, 239, 320},   {2048, 1536, {800, 600, true}, 600, 449},
        {2048, 1536, {320, 240, true}, 240, 180},  {5000, 1, {320, 240, true}, 240, 1},
        {240, 100, {320, 240, true}, 240, 100},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::Message() << row.width << " x " << row.height << (row.box.sideways ? " sideways" : ""));
        DecodedPicture picture = RandomPicture(row.width, row.height);
        ASSERT_TRUE(FitDecodedPicture(row.box, &picture));
        EXPECT_EQ(picture.width, row.fittedWidth);
        EXPECT_EQ(picture.height, row.fittedHeight);
        EXPECT_EQ(picture.bgra.size(), static_cast<size_t>(row.fittedWidth) * row.fittedHeight * 4);
    }
}

// At least twice the target each way, measured on the scaled picture's real extent (a side x M / 8,
// not libjpeg's size rounded up); whole (8/8) where even that is less than twice the target.
TEST(DctScale, SmallestEighthThatKeepsTwiceTheTarget) {
    const struct {
        int64_t width, height;
        int32_t targetWidth, targetHeight;
        int scale;
    } cases[] = {
        {6000, 4000, 320, 213, 1},   // 750 x 500
        {4240, 2832, 320, 213, 2},   // 530 x 354 is less than 640 x 426
        {6000, 4000, 1024, 682, 3},  // 2250 x 1500
        {6000, 4000, 1620, 1080, 5},
        {2048, 1536, 240, 180, 2},
        {322, 466, 165, 240, 8},  // more than half the picture
        {450, 450, 140, 140, 5},  // 281.25 rows for 280
        {1280, 960, 320, 240, 4},
        {1279, 960, 320, 240, 5},  // 639.5 of picture in libjpeg's 640 columns
        {640, 480, 320, 240, 8},
        {100, 4000, 10, 1080, 5},
        {2561, 100, 321, 1, 3},
        {7, 7, 1, 1, 3},
        {1, 1, 1, 1, 8},
        {1, 5000, 1, 240, 8},
        {65535, 65535, 1080, 1080, 1},
        {20000, 20000, 768, 768, 1},
        {65535, 1, 1024, 1, 8},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(ChooseDctScale(row.width, row.height, row.targetWidth, row.targetHeight), row.scale)
            << row.width << " x " << row.height << " for " << row.targetWidth << " x " << row.targetHeight;
    }
}

}  // namespace
