#include "pictures/tiff_decoder.h"

#include <gtest/gtest.h>

#include "pictures/area_filter.h"
#include "tests/unit/decoder_test_support.h"

namespace {

struct Decoded {
    bool ok = false;
    DecodedPicture picture;
    int32_t width = 0;
    int32_t height = 0;
    int orientation = 0;
};

Decoded Decode(const std::vector<uint8_t>& bytes, int32_t boxWidth, int32_t boxHeight) {
    Decoded decoded;
    MemoryFile file{bytes.data(), bytes.size(), 0};
    decoded.ok = DecodeTiffToFit(MemorySource(&file), boxWidth, boxHeight, &decoded.picture, &decoded.width,
                                 &decoded.height, &decoded.orientation);
    return decoded;
}

std::vector<uint8_t> Fixture(const std::string& name) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadFileBytes(FolderFromEnvironment("VELTRA_FIXTURES") + "/" + name, &bytes)) << name;
    return bytes;
}

// tests/fixtures/make_decoder_fixtures.sh: name, and how far a channel may be from ImageMagick's
// decoding (it truncates 16-bit samples and colour maps to 8 bits where libtiff rounds or shifts,
// and converts CMYK with other rounding).
const struct {
    const char* name;
    int tolerance;
} kLayouts[] = {
    {"tiff_rgb8_none_strips.tif", 0},       {"tiff_rgb8_lzw_strips.tif", 0},         {"tiff_rgb8_zip_tiles.tif", 0},
    {"tiff_rgb8_packbits_separate.tif", 0}, {"tiff_rgb8_lzw_separate_tiles.tif", 0}, {"tiff_rgb8_jpeg_ycbcr.tif", 2},
    {"tiff_rgb8_jpeg_rgb_tiles.tif", 2},    {"tiff_rgb16_zip_strips.tif", 1},        {"tiff_rgb16_none_tiles.tif", 1},
    {"tiff_gray8_lzw_strips.tif", 0},       {"tiff_gray8_jpeg_strips.tif", 2},       {"tiff_gray16_lzw_tiles.tif", 1},
    {"tiff_white8_zip_strips.tif", 0},      {"tiff_palette8_lzw_tiles.tif", 1},      {"tiff_bilevel_g4_strips.tif", 0},
    {"tiff_bilevel_g3_strips.tif", 0},      {"tiff_cmyk8_lzw_strips.tif", 1},        {"tiff_rgb8_big_endian.tif", 0},
};

// Whole, each layout gives ImageMagick's pixels; fitted to a small box, exactly what the area
// filter makes of them, whatever strips, tiles and bands the rows came in.
TEST(TiffDecoder, EveryLayoutGivesItsPixelsWholeAndFitted) {
    for (const auto& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const std::vector<uint8_t> bytes = Fixture(layout.name);
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(ReadFileBytes(FolderFromEnvironment("VELTRA_FIXTURES") + "/" + layout.name + ".rgb", &rgb));
        Decoded whole = Decode(bytes, 1000, 1000);
        ASSERT_TRUE(whole.ok);
        EXPECT_EQ(whole.width, 37);
        EXPECT_EQ(whole.height, 23);
        EXPECT_EQ(whole.orientation, 1);
        ExpectPixels(whole.picture, 37, 23, rgb, layout.tolerance);
        const Decoded fitted = Decode(bytes, 16, 9);
        ASSERT_TRUE(fitted.ok);
        ASSERT_TRUE(FitDecodedPicture(FitBox{16, 9, false}, &whole.picture));
        EXPECT_EQ(fitted.picture.width, whole.picture.width);
        EXPECT_LT(fitted.picture.width, 37);
        EXPECT_EQ(fitted.picture.bgra, whole.picture.bgra);
    }
}

// A picture stored turned is fitted to the box turned a quarter, and says how to turn it.
TEST(TiffDecoder, ReportsTheOrientationAndFitsToTheTurnedBox) {
    const Decoded turned = Decode(Fixture("tiff_orientation6.tif"), 20, 10);
    ASSERT_TRUE(turned.ok);
    EXPECT_EQ(turned.orientation, 6);
    EXPECT_EQ(turned.width, 37);
    EXPECT_EQ(turned.picture.width, 10);
    EXPECT_EQ(turned.picture.height, 6);
}

// A file cut anywhere up to the end of its directory (here after the pixels), and tags that lie
// about the picture, are refused, never shown in part.
TEST(TiffDecoder, RefusesCutFilesAndLyingTags) {
    const std::vector<uint8_t> good = Fixture("tiff_rgb8_lzw_strips.tif");
    ASSERT_TRUE(Decode(good, 320, 240).ok);
    const uint32_t directory = good[4] | good[5] << 8 | good[6] << 16 | static_cast<uint32_t>(good[7]) << 24;
    const uint16_t entries = static_cast<uint16_t>(good[directory] | good[directory + 1] << 8);
    ASSERT_GT(directory, 37u * 23 / 4) << "the directory is meant to follow the pixels";
    for (size_t length = 0; length < directory + 2 + 12u * entries + 4; ++length) {
        EXPECT_FALSE(Decode(std::vector<uint8_t>(good.begin(), good.begin() + length), 320, 240).ok) << length;
    }
    // Width and height (tags 256 and 257, SHORT values in this file's first directory).
    for (const uint16_t side : {uint16_t{0}, uint16_t{60000}}) {
        for (uint16_t tag : {256, 257}) {
            std::vector<uint8_t> lying = good;
            for (uint32_t entry = directory + 2; entry < directory + 2 + 12u * entries; entry += 12) {
                if ((lying[entry] | lying[entry + 1] << 8) != tag) continue;
                lying[entry + 8] = static_cast<uint8_t>(side);
                lying[entry + 9] = static_cast<uint8_t>(side >> 8);
            }
            EXPECT_FALSE(Decode(lying, 320, 240).ok) << "tag " << tag << " of " << side;
        }
    }
    EXPECT_FALSE(Decode(Fixture("jpeg_420.jpg"), 320, 240).ok);
}

}  // namespace
