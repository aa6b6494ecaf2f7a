#include "pictures/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

Decoded Decode(const std::vector<uint8_t>& bytes, int32_t boxWidth, int32_t boxHeight) {
    Decoded decoded;
    decoded.ok = DecodeJpegBytesToFit(bytes.data(), bytes.size(), boxWidth, boxHeight, &decoded.picture, &decoded.width,
                                      &decoded.height);
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
