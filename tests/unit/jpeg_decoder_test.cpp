#include "pictures/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/picture_quality.h"
#include "tests/unit/decoder_test_support.h"

namespace {

std::vector<uint8_t> Fixture(const std::string& name) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadFileBytes(FolderFromEnvironment("VELTRA_FIXTURES") + "/" + name, &bytes)) << name;
    return bytes;
}

struct Decoded {
    bool ok = false;
    DecodedPicture picture;
    int32_t width = 0;
    int32_t height = 0;
};

Decoded Decode(const std::vector<uint8_t>& bytes, int32_t boxWidth, int32_t boxHeight, bool sideways = false) {
    Decoded decoded;
    decoded.ok = DecodeJpegBytesToFit(bytes.data(), bytes.size(), FitBox{boxWidth, boxHeight, sideways},
                                      &decoded.picture, &decoded.width, &decoded.height);
    return decoded;
}

// The frame header's height and width, patched in place.
void SetFrameSize(std::vector<uint8_t>* jpeg, uint16_t width, uint16_t height) {
    for (size_t at = 2; at + 9 < jpeg->size(); ++at) {
        if ((*jpeg)[at] == 0xFF && ((*jpeg)[at + 1] == 0xC0 || (*jpeg)[at + 1] == 0xC2)) {
            (*jpeg)[at + 5] = static_cast<uint8_t>(height >> 8);
            (*jpeg)[at + 6] = static_cast<uint8_t>(height);
            (*jpeg)[at + 7] = static_cast<uint8_t>(width >> 8);
            (*jpeg)[at + 8] = static_cast<uint8_t>(width);
            return;
        }
    }
    ADD_FAILURE() << "no frame header";
}

// Every variant comes out at the size FitPicture gives the 160 x 120 picture, its two halves in
// ImageMagick's colours for the same file, whatever DCT scale and filter ratio the box needs.
TEST(JpegDecoder, EveryVariantFitsTheBoxInItsOwnColours) {
    const struct {
        int32_t boxWidth, boxHeight, width, height;
    } boxes[] = {{40, 40, 40, 30}, {100, 100, 100, 75}, {33, 33, 33, 24}, {1000, 1000, 160, 120}};
    for (const char* name : {"jpeg_444.jpg", "jpeg_420.jpg", "jpeg_progressive.jpg", "jpeg_cmyk.jpg", "jpeg_gray.jpg",
                             "jpeg_restart.jpg"}) {
        std::vector<uint8_t> reference;
        ASSERT_TRUE(ReadFileBytes(FolderFromEnvironment("VELTRA_FIXTURES") + "/" + name + ".rgb", &reference));
        for (const auto& box : boxes) {
            SCOPED_TRACE(testing::Message() << name << " in " << box.boxWidth << " x " << box.boxHeight);
            const Decoded decoded = Decode(Fixture(name), box.boxWidth, box.boxHeight);
            ASSERT_TRUE(decoded.ok);
            EXPECT_EQ(decoded.width, 160);
            EXPECT_EQ(decoded.height, 120);
            ASSERT_EQ(decoded.picture.width, box.width);
            ASSERT_EQ(decoded.picture.height, box.height);
            ExpectWellFormed(decoded.picture);
            for (int quarter : {1, 3}) {
                const size_t at = (static_cast<size_t>(box.height / 2) * box.width + box.width * quarter / 4) * 4;
                const size_t from = (60 * 160 + 40 * quarter) * 3;
                for (int channel = 0; channel < 3; ++channel) {
                    EXPECT_NEAR(decoded.picture.bgra[at + 2 - channel], reference[from + channel], 6)
                        << "channel " << channel << " of quarter " << quarter;
                }
            }
        }
    }
}

// Fine text, checkers, glints and a clipped highlight, fitted at scales from 1/2 to 1/16, upright
// and sideways, against a decode at full size shrunk by the same area filter: their 4 x 4 block
// means stay close. A DCT scaled to just above the fitted size (5/8 for the poster in 320 x 240)
// was 3.5 off on average there and up to 64 in one block; a last column and row that hold only
// part of a pixel, weighed in full, put the 1203 x 901 photo 0.6 off at every scale.
TEST(JpegDecoder, FittedPicturesKeepTheDetailOfAFullDecode) {
    const struct {
        const char* name;
        int32_t boxWidth, boxHeight;
        bool sideways;
    } cases[] = {
        // The poster at 165 x 240 (8/8), 161 x 233, 80 x 115 and sideways.
        {"detail_poster.jpg", 320, 240, false},
        {"detail_poster.jpg", 161, 233, false},
        {"detail_poster.jpg", 80, 116, false},
        {"detail_poster.jpg", 240, 320, true},
        // A camera photo at a half, 1/3.2, shown 180 x 240 upright (2/8) and 1/16.
        {"detail_2048x1536.jpg", 1024, 768, false},
        {"detail_2048x1536.jpg", 640, 480, false},
        {"detail_2048x1536.jpg", 320, 240, true},
        {"detail_2048x1536.jpg", 128, 96, false},
        // Decoded at 5/8, 4/8 and 1/8, each with a part-pixel last column and row.
        {"detail_1203x901.jpg", 320, 240, false},
        {"detail_1203x901.jpg", 320, 240, true},
        {"detail_1203x901.jpg", 75, 56, false},
    };
    std::pair<std::string, Decoded> fullSize;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " in " << c.boxWidth << " x " << c.boxHeight
                                        << (c.sideways ? " sideways" : ""));
        const std::vector<uint8_t> bytes = Fixture(c.name);
        const Decoded fitted = Decode(bytes, c.boxWidth, c.boxHeight, c.sideways);
        if (fullSize.first != c.name) fullSize = {c.name, Decode(bytes, 65535, 65535)};
        ASSERT_TRUE(fitted.ok && fullSize.second.ok);
        DecodedPicture reference = fullSize.second.picture;
        ASSERT_EQ(reference.width, fullSize.second.width);
        ASSERT_TRUE(FitDecodedPicture(FitBox{c.boxWidth, c.boxHeight, c.sideways}, &reference));
        const BlockDifference difference = CompareBlockMeans(fitted.picture, reference);
        std::printf("%s fitted to %d x %d: block error %.2f, %.1f %% of blocks within 16, worst %.0f\n", c.name,
                    fitted.picture.width, fitted.picture.height, difference.meanError, 100 * difference.shareWithin,
                    difference.worst);
        EXPECT_LE(difference.meanError, 0.6);
        EXPECT_LE(difference.worst, 6);
    }
}

TEST(JpegDecoder, HugePicturesDecodeScaledOrNotAtAll) {
    // Baseline data is decoded a stripe at a time, so the widest JPEG libjpeg allows costs only
    // the scaled rows.
    const Decoded wide = Decode(Fixture("wide_65500.jpg"), 1920, 1080);
    ASSERT_TRUE(wide.ok);
    EXPECT_EQ(wide.width, 65500);
    EXPECT_EQ(wide.height, 16);
    ASSERT_EQ(wide.picture.width, 1920);
    ASSERT_EQ(wide.picture.height, 1);
    EXPECT_NEAR(wide.picture.bgra[960 * 4 + 2], 0xC0, 6);
    EXPECT_NEAR(wide.picture.bgra[960 * 4 + 0], 0x20, 6);
    // A progressive picture keeps every coefficient: past the working-memory cap it is refused.
    std::vector<uint8_t> progressive = Fixture("jpeg_progressive.jpg");
    SetFrameSize(&progressive, 65500, 65500);
    EXPECT_FALSE(Decode(progressive, 320, 240).ok);
}

TEST(JpegDecoder, RefusesWhatIsNoJpegWithoutFailing) {
    const std::vector<uint8_t> good = Fixture("jpeg_420.jpg");
    std::vector<uint8_t> wideHeaderOnly = good;
    SetFrameSize(&wideHeaderOnly, 65500, 120);
    const std::vector<uint8_t> cases[] = {
        {},
        {0xFF, 0xD8, 0xFF},
        {0xFF, 0xD8, 0xFF, 0xD9},
        std::vector<uint8_t>(good.begin(), good.begin() + 100),  // cut inside the headers
        std::vector<uint8_t>(good.begin(), good.end() - 40),     // cut inside the picture data
        wideHeaderOnly,                                          // far more picture than data
        Fixture("pcx_rgb24_w300.pcx"),
    };
    ASSERT_EQ(good[good.size() - 2], 0xFF);
    ASSERT_EQ(good[good.size() - 1], 0xD9);
    for (const std::vector<uint8_t>& bytes : cases) EXPECT_FALSE(Decode(bytes, 320, 240).ok) << bytes.size();
    // Without its end-of-image marker, a complete picture still decodes.
    EXPECT_TRUE(Decode(std::vector<uint8_t>(good.begin(), good.end() - 2), 320, 240).ok);
}

}  // namespace
