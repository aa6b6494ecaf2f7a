#include "pictures/area_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

namespace {

struct Sizes {
    int32_t sourceWidth, sourceHeight, targetWidth, targetHeight;
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

// Streams the picture through the filter row by row, as a decoder would.
DecodedPicture Shrink(const DecodedPicture& source, int32_t targetWidth, int32_t targetHeight) {
    AreaFilter filter;
    DecodedPicture out;
    EXPECT_TRUE(StartAreaFilter(source.width, source.height, targetWidth, targetHeight, &filter, &out));
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

// The average over each target pixel's area, computed the slow, obvious way.
double ReferenceValue(const DecodedPicture& source, int32_t targetWidth, int32_t targetHeight, int32_t x, int32_t y,
                      int channel) {
    const double scaleX = static_cast<double>(source.width) / targetWidth;
    const double scaleY = static_cast<double>(source.height) / targetHeight;
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
    const DecodedPicture source = RandomPicture(sizes.sourceWidth, sizes.sourceHeight);
    const DecodedPicture out = Shrink(source, sizes.targetWidth, sizes.targetHeight);
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
                    const double want = ReferenceValue(source, out.width, out.height, x, y, channel);
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

// Sizes with no common divisor make each pixel's weight too large for 32-bit sums; the slower
// division must average as exactly.
TEST(AreaFilter, PicturesTooLargeForThirtyTwoBitSumsAverageAsExactly) {
    DecodedPicture source;
    ASSERT_TRUE(StartPicture(4099, 4097, &source));
    for (size_t pixel = 0; pixel < 4099; ++pixel) StorePixel(&source, pixel, 7, 130, 255);
    for (size_t row = 1; row < 4097; ++row) {
        std::copy(source.bgra.begin(), source.bgra.begin() + 4099 * 4, source.bgra.begin() + row * 4099 * 4);
    }
    const DecodedPicture out = Shrink(source, 2, 4096);
    for (size_t pixel = 0; pixel < out.bgra.size() / 4; ++pixel) {
        const uint8_t* got = out.bgra.data() + pixel * 4;
        ASSERT_TRUE(got[0] == 255 && got[1] == 130 && got[2] == 7) << "pixel " << pixel;
    }
}

TEST(AreaFilter, RefusesWhatItCannotShrink) {
    const Sizes cases[] = {
        {4, 4, 5, 4}, {4, 4, 4, 5}, {0, 4, 1, 1}, {4, 0, 1, 1}, {4, 4, 0, 1}, {4, 4, 1, -1}, {65536, 1, 1, 1},
    };
    for (const Sizes& sizes : cases) {
        AreaFilter filter;
        DecodedPicture out;
        EXPECT_FALSE(StartAreaFilter(sizes.sourceWidth, sizes.sourceHeight, sizes.targetWidth, sizes.targetHeight,
                                     &filter, &out))
            << sizes.sourceWidth << " x " << sizes.sourceHeight << " to " << sizes.targetWidth << " x "
            << sizes.targetHeight;
        EXPECT_TRUE(out.bgra.empty());
    }
}

TEST(AreaFilter, RowsAfterTheLastChangeNothing) {
    const DecodedPicture source = RandomPicture(9, 6);
    DecodedPicture out = Shrink(source, 4, 4);
    const std::vector<uint8_t> before = out.bgra;
    AreaFilter filter;
    ASSERT_TRUE(StartAreaFilter(9, 6, 4, 4, &filter, &out));
    for (int32_t row = 0; row < 8; ++row) FilterRow(&filter, source.bgra.data() + (row % 6) * 9 * 4, 4);
    EXPECT_EQ(out.bgra, before);
}

TEST(AreaFilter, FitsWholePicturesToTheBoxAtLeastOnePixel) {
    const struct {
        int32_t width, height, boxWidth, boxHeight, fittedWidth, fittedHeight;
    } cases[] = {
        {640, 480, 320, 240, 320, 240}, {100, 50, 320, 240, 100, 50}, {400, 240, 320, 240, 320, 192},
        {1, 5000, 320, 240, 1, 240},    {5000, 1, 320, 240, 320, 1},
    };
    for (const auto& row : cases) {
        DecodedPicture picture = RandomPicture(row.width, row.height);
        ASSERT_TRUE(FitDecodedPicture(row.boxWidth, row.boxHeight, &picture));
        EXPECT_EQ(picture.width, row.fittedWidth) << row.width << " x " << row.height;
        EXPECT_EQ(picture.height, row.fittedHeight) << row.width << " x " << row.height;
        EXPECT_EQ(picture.bgra.size(), static_cast<size_t>(row.fittedWidth) * row.fittedHeight * 4);
    }
}

// libjpeg sizes an M/8 scaled side as ceil(side x M / 8): the choice must be the smallest M that
// still covers the target, rounding included, whichever side limits it.
TEST(DctScale, SmallestEighthThatStillCoversTheTarget) {
    const struct {
        int64_t width, height;
        int32_t targetWidth, targetHeight;
        int scale;
    } cases[] = {
        {6000, 4000, 320, 213, 1},
        {6000, 4000, 1620, 1080, 3},
        {6000, 4000, 1024, 682, 2},
        {2561, 100, 321, 1, 1},
        {2560, 100, 321, 1, 2},
        {2560, 100, 320, 1, 1},
        {100, 4000, 10, 1080, 3},
        {100, 4001, 10, 1001, 2},
        {100, 4000, 10, 1001, 3},
        {1000, 1000, 1000, 1000, 8},
        {1000, 1000, 876, 1, 8},
        {1000, 1000, 875, 1, 7},
        {7, 7, 1, 1, 1},
        {1, 1, 1, 1, 1},
        {65535, 65535, 1080, 1080, 1},
        {20000, 20000, 768, 768, 1},
        {65535, 1, 1024, 1, 1},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(ChooseDctScale(row.width, row.height, row.targetWidth, row.targetHeight), row.scale)
            << row.width << " x " << row.height << " for " << row.targetWidth << " x " << row.targetHeight;
    }
}

}  // namespace
