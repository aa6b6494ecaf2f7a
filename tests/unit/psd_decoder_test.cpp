#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pictures/decoded_picture.h"
#include "tests/unit/decoder_test_support.h"
#include "tests/unit/psd_builder.h"

namespace {

// 3 x 2 RGB, raw, with an alpha and a spot channel after the colour ones and filled sections
// before the picture, all of which must be stepped over.
PsdFile RawRgbWithExtras() {
    PsdFile psd;
    psd.channels = 5;
    psd.resources = {'8', 'B', 'I', 'M', 0x03, 0xED, 0, 0, 0, 0, 0, 2, 0xAB, 0xCD};
    psd.layers = std::vector<uint8_t>(10, 0x77);
    psd.imageData = {1,   2,   3,   4,   5,   6,    // red
                     10,  20,  30,  40,  50,  60,   // green
                     100, 110, 120, 130, 140, 150,  // blue
                     0,   0,   0,   0,   0,   0,    // alpha: transparent, and ignored
                     9,   9,   9,   9,   9,   9};   // spot colour
    return psd;
}

const std::vector<uint8_t> kRawRgbPixels = {1, 10, 100, 2, 20, 110, 3, 30, 120, 4, 40, 130, 5, 50, 140, 6, 60, 150};

// 4 x 2 greyscale with an alpha channel, PackBits: every packet kind appears.
PsdFile PackedGreyWithAlpha() {
    PsdFile psd;
    psd.channels = 2;
    psd.mode = 1;
    psd.width = 4;
    psd.compression = 1;
    psd.imageData = {0,    2,    0,    6,   0, 2, 0, 2,  // row counts: grey rows 0 and 1, then alpha rows 0 and 1
                     0xFD, 0x42,                         // 4 x 0x42
                     0x80, 0x03, 1,    2,   3, 4,        // a no-op, then 4 literal bytes
                     0xFD, 0xFF, 0xFD, 0xFF};
    return psd;
}

const std::vector<uint8_t> kPackedGreyPixels = {0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42,
                                                1,    1,    1,    2,    2,    2,    3,    3,    3,    4,    4,    4};

DecodedPicture Decoded(const std::vector<uint8_t>& file) {
    DecodedPicture picture;
    EXPECT_TRUE(DecodePsd(file.data(), file.size(), &picture));
    return picture;
}

bool Refused(const std::vector<uint8_t>& file) { return RefusedBy(DecodePsd, file); }

}  // namespace

// ImageMagick turns 16-bit CMYK into RGB with other rounding.
TEST(PsdDecoder, MatchesImageMagickForEveryVariantItWrites) {
    const ReferencePicture references[] = {
        {"psd_rgb8_raw.psd", 37, 23},      {"psd_rgb8_rle.psd", 37, 23},     {"psd_rgb16_raw.psd", 256, 256},
        {"psd_rgb16_rle.psd", 256, 256},   {"psd_gray8_raw.psd", 37, 23},    {"psd_gray8_rle.psd", 37, 23},
        {"psd_gray16_raw.psd", 256, 256},  {"psd_gray16_rle.psd", 256, 256}, {"psd_indexed_raw.psd", 37, 23},
        {"psd_indexed_rle.psd", 37, 23},   {"psd_rgba8_rle.psd", 37, 23},    {"psd_graya16_raw.psd", 256, 256},
        {"psd_cmyk8_raw.psd", 37, 23},     {"psd_cmyk8_rle.psd", 37, 23},    {"psd_cmyk16_raw.psd", 37, 23, 1},
        {"psd_cmyk16_rle.psd", 37, 23, 1}, {"psd_bitmap_raw.psd", 37, 23},   {"psd_bitmap_rle.psd", 37, 23},
    };
    for (const ReferencePicture& reference : references) ExpectMatchesReference(reference, DecodePcx);
}

TEST(PsdDecoder, ShowsTheColourChannelsAndStepsOverEverythingElse) {
    ExpectPixels(Decoded(Build(RawRgbWithExtras())), 3, 2, kRawRgbPixels);
    ExpectPixels(Decoded(Build(PackedGreyWithAlpha())), 4, 2, kPackedGreyPixels);
}

TEST(PsdDecoder, SixteenBitSamplesAreDividedBy257RoundingDown) {
    PsdFile psd;
    psd.channels = 1;
    psd.mode = 1;
    psd.depth = 16;
    psd.width = 6;
    psd.height = 1;
    psd.imageData = {0x00, 0xFF, 0x01, 0x00, 0x01, 0x01, 0x80, 0x7F, 0x80, 0x80, 0xFF, 0xFF};
    // 255 -> 0, 256 -> 0 (its high byte is 1), 257 -> 1, 0x807F -> 127 (high byte 128), 0x8080 -> 128.
    const uint8_t grey[] = {0, 0, 1, 127, 128, 255};
    std::vector<uint8_t> rgb;
    for (uint8_t value : grey) rgb.insert(rgb.end(), {value, value, value});
    ExpectPixels(Decoded(Build(psd)), 6, 1, rgb);
}

TEST(PsdDecoder, IndexedPicturesLookUpThePlanarPalette) {
    PsdFile psd;
    psd.channels = 1;
    psd.mode = 2;
    psd.width = 2;
    psd.height = 1;
    psd.colourData.assign(768, 0);
    psd.colourData[7] = 11;        // red of entry 7
    psd.colourData[256 + 7] = 22;  // green of entry 7
    psd.colourData[512 + 7] = 33;  // blue of entry 7
    psd.colourData[255] = 44;
    psd.colourData[511] = 55;
    psd.colourData[767] = 66;
    psd.imageData = {7, 255};
    ExpectPixels(Decoded(Build(psd)), 2, 1, {11, 22, 33, 44, 55, 66});
    psd.compression = 1;
    psd.imageData = {0, 3, 0x01, 7, 255};
    ExpectPixels(Decoded(Build(psd)), 2, 1, {11, 22, 33, 44, 55, 66});
    psd.colourData.pop_back();
    EXPECT_TRUE(Refused(Build(psd))) << "palette of 767 bytes";
}

TEST(PsdDecoder, RefusesEveryTruncation) {
    ExpectEveryTruncationRefused(Build(RawRgbWithExtras()));
    ExpectEveryTruncationRefused(Build(PackedGreyWithAlpha()));
}

TEST(PsdDecoder, RefusesHeadersItCannotDecode) {
    struct Case {
        const char* what;
        void (*change)(PsdFile*);
    };
    const Case cases[] = {
        {"large document format", [](PsdFile* psd) { psd->version = 2; }},
        {"no channels", [](PsdFile* psd) { psd->channels = 0; }},
        {"RGB with two channels", [](PsdFile* psd) { psd->channels = 2; }},
        {"57 channels", [](PsdFile* psd) { psd->channels = 57; }},
        {"RGB at 1 bit", [](PsdFile* psd) { psd->depth = 1; }},
        {"RGB at 24 bits", [](PsdFile* psd) { psd->depth = 24; }},
        {"bitmap at 8 bits", [](PsdFile* psd) { psd->mode = 0; }},
        {"CMYK at 32 bits", [](PsdFile* psd) { psd->mode = 4, psd->depth = 32; }},
        {"Lab at 32 bits", [](PsdFile* psd) { psd->mode = 9, psd->depth = 32; }},
        {"duotone at 16 bits", [](PsdFile* psd) { psd->mode = 8, psd->depth = 16; }},
        {"mode 5", [](PsdFile* psd) { psd->mode = 5; }},
        {"mode 10", [](PsdFile* psd) { psd->mode = 10; }},
        {"indexed at 16 bits", [](PsdFile* psd) { psd->mode = 2, psd->depth = 16, psd->colourData.assign(768, 0); }},
        {"zero width", [](PsdFile* psd) { psd->width = 0; }},
        {"zero height", [](PsdFile* psd) { psd->height = 0; }},
        {"negative width", [](PsdFile* psd) { psd->width = 0xFFFFFFFD; }},
        {"16385 high", [](PsdFile* psd) { psd->height = 16385; }},
        {"16384 square", [](PsdFile* psd) { psd->width = psd->height = 16384; }},
        {"ZIP compression", [](PsdFile* psd) { psd->compression = 2; }},
    };
    for (const Case& test : cases) {
        PsdFile psd = RawRgbWithExtras();
        test.change(&psd);
        EXPECT_TRUE(RefusedBeforeAllocating(DecodePsd, Build(psd))) << test.what;
    }
    std::vector<uint8_t> file = Build(RawRgbWithExtras());
    file[3] = 'T';
    EXPECT_TRUE(RefusedBeforeAllocating(DecodePsd, file)) << "signature";
    // A section length running past the end of the file: the image resources here.
    file = Build(RawRgbWithExtras());
    file[30] = 0xFF;
    EXPECT_TRUE(RefusedBeforeAllocating(DecodePsd, file)) << "section past the end";
}

TEST(PsdDecoder, RefusesRowCountsThatDisagreeWithTheData) {
    struct Case {
        const char* what;
        size_t offset;
        uint8_t value;
    };
    const Case cases[] = {
        {"alpha row counted past the end", 7, 3},  {"grey row count far past the end", 2, 0xFF},
        {"grey row one byte short", 3, 5},         {"repeat packet past the row", 8, 0xFC},
        {"literal packet past the row", 11, 0x04}, {"repeat packet short of the row", 8, 0xFE},
    };
    for (const Case& test : cases) {
        PsdFile psd = PackedGreyWithAlpha();
        psd.imageData[test.offset] = test.value;
        EXPECT_TRUE(Refused(Build(psd))) << test.what;
    }
    // The row count table itself cut short.
    PsdFile psd = PackedGreyWithAlpha();
    psd.height = 16000;
    EXPECT_TRUE(RefusedBeforeAllocating(DecodePsd, Build(psd))) << "row count table past the end";
}

TEST(PsdDecoder, RefusesPackedDataTooShortForThePictureWithoutAllocating) {
    // 16000 x 16 fits the caps, but 16 rows of 2 bytes cannot unpack to 16000 bytes each.
    PsdFile psd;
    psd.channels = 1;
    psd.mode = 1;
    psd.width = 16000;
    psd.height = 16;
    psd.compression = 1;
    for (int row = 0; row < 16; ++row) psd.imageData.insert(psd.imageData.end(), {0, 2});
    for (int row = 0; row < 16; ++row) psd.imageData.insert(psd.imageData.end(), {0x81, 0x00});
    EXPECT_TRUE(RefusedBeforeAllocating(DecodePsd, Build(psd)));
}
