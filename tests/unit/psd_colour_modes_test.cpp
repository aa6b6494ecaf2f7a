// Every colour mode and depth the PSD decoder shows besides 8- and 16-bit grey, indexed and RGB,
// in small files made here. This runs in the 32-bit build too: the Lab and 32-bit conversions are
// floating point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "pictures/decoded_picture.h"
#include "tests/unit/decoder_test_support.h"
#include "tests/unit/psd_builder.h"

namespace {

std::vector<uint8_t> Samples16(std::initializer_list<uint16_t> samples) {
    std::vector<uint8_t> bytes;
    for (uint16_t sample : samples) PutBig(&bytes, sample, 2);
    return bytes;
}

std::vector<uint8_t> Floats(std::initializer_list<float> samples) {
    std::vector<uint8_t> bytes;
    for (float sample : samples) {
        uint32_t bits = 0;
        std::memcpy(&bits, &sample, sizeof bits);
        PutBig(&bytes, bits, 4);
    }
    return bytes;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Two rows of `width` pixels each. The expected pixels come from the format's rules, not from the
// decoder: CMYK's full scale F is no ink and R = 255 x C x K / F^2 (rounded; at 16 bits,
// 0x81 and 0x1FF of 0xFFFF give 1 and 2); bitmap 1 is black; duotone and
// multichannel show their first channel as grey. Lab L* 50.2 with a* = b* = 0 is Y 0.1858,
// sRGB 119.4; sRGB's primaries are the D50 L*a*b* colours (54.29, 80.81, 69.89),
// (87.82, -79.27, 80.99) and (29.57, 68.29, -112.03). Linear light through the sRGB curve:
// 0.5 -> 187.52, 0.2 -> 123.55, 0.002 -> 6.59, 0.05 -> 63.19, 0.8 -> 231.11.
struct ModeCase {
    const char* what;
    uint16_t mode;
    uint16_t depth;
    uint32_t width;
    std::vector<std::vector<uint8_t>> colourPlanes;
    std::vector<uint8_t> rgb;
    int tolerance;
};

const ModeCase kCases[] = {
    {"CMYK 8",
     4,
     8,
     3,
     {{255, 0, 255, 128, 255, 200},
      {255, 255, 255, 64, 128, 100},
      {255, 255, 255, 255, 0, 50},
      {255, 255, 0, 255, 128, 153}},
     {255, 255, 255, 0, 255, 255, 0, 0, 0, 128, 64, 255, 128, 64, 0, 120, 60, 30},
     0},
    {"CMYK 16",
     4,
     16,
     2,
     {Samples16({0xFFFF, 0x8080, 0x807F, 0x0000}), Samples16({0xFFFF, 0xFFFF, 0xFFFF, 0x0081}),
      Samples16({0x0000, 0xFFFF, 0xFFFF, 0x01FF}), Samples16({0xFFFF, 0xFFFF, 0x8080, 0xFFFF})},
     {255, 255, 0, 128, 255, 255, 64, 128, 128, 0, 1, 2},
     0},
    // Nine pixels a row, so the second byte holds one; the padding bits are set and ignored.
    {"bitmap",
     0,
     1,
     9,
     {{0xA0, 0xFF, 0x01, 0x7F}},
     {0,   0,   0,   255, 255, 255, 0,   0,   0,   255, 255, 255, 255, 255, 255, 255, 255, 255,
      255, 255, 255, 255, 255, 255, 0,   0,   0,   255, 255, 255, 255, 255, 255, 255, 255, 255,
      255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 0,   0,   0,   255, 255, 255},
     0},
    {"duotone",
     8,
     8,
     3,
     {{0, 100, 255, 7, 8, 9}},
     {0, 0, 0, 100, 100, 100, 255, 255, 255, 7, 7, 7, 8, 8, 8, 9, 9, 9},
     0},
    {"multichannel 8",
     7,
     8,
     3,
     {{10, 20, 30, 40, 50, 60}},
     {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40, 50, 50, 50, 60, 60, 60},
     0},
    {"multichannel 16",
     7,
     16,
     2,
     {Samples16({0x0101, 0xFFFF, 0x8080, 0x0000})},
     {1, 1, 1, 255, 255, 255, 128, 128, 128, 0, 0, 0},
     0},
    {"Lab 8: white, black, grey, red",
     9,
     8,
     2,
     {{255, 0, 128, 138}, {128, 128, 128, 209}, {128, 128, 128, 198}},
     {255, 255, 255, 0, 0, 0, 119, 119, 119, 255, 0, 0},
     0},
    {"Lab 16: red, green, blue, grey",
     9,
     16,
     2,
     {Samples16({35579, 57552, 19376, 32768}), Samples16({53456, 12474, 50249, 32768}),
      Samples16({50660, 53502, 4088, 32768})},
     {255, 0, 0, 0, 255, 0, 0, 0, 255, 119, 119, 119},
     0},
    {"grey 32, clamped",
     1,
     32,
     4,
     {Floats({0.0f, 1.0f, 0.5f, 0.2f, 0.002f, -1.0f, 2.0f, kNaN})},
     {0, 0, 0, 255, 255, 255, 188, 188, 188, 124, 124, 124, 7, 7, 7, 0, 0, 0, 255, 255, 255, 0, 0, 0},
     0},
    {"RGB 32",
     3,
     32,
     2,
     {Floats({1.0f, 0.0f, 0.2f, 0.05f}), Floats({0.2f, 0.5f, 0.0f, 0.8f}), Floats({0.5f, 1.0f, 0.002f, 0.0f})},
     {255, 124, 188, 0, 188, 255, 124, 0, 7, 63, 231, 0},
     0},
};

// The colour planes and, after them, a spot channel that must not show.
PsdFile CaseFile(const ModeCase& test, bool packBits) {
    std::vector<std::vector<uint8_t>> planes = test.colourPlanes;
    planes.push_back(std::vector<uint8_t>(planes[0].size(), 0x5A));
    PsdFile psd = WithPlanes(test.mode, test.depth, test.width, 2, planes, packBits);
    // A duotone's inks, which are not applied.
    if (test.mode == 8) psd.colourData.assign(10, 0x33);
    return psd;
}

}  // namespace

TEST(PsdColourModes, EachModeAndDepthGivesItsPixelsRawAndPacked) {
    for (const ModeCase& test : kCases) {
        for (bool packBits : {false, true}) {
            SCOPED_TRACE(std::string(test.what) + (packBits ? ", PackBits" : ", raw"));
            DecodedPicture picture;
            const std::vector<uint8_t> file = Build(CaseFile(test, packBits));
            ASSERT_TRUE(DecodePsd(file.data(), file.size(), &picture));
            ExpectPixels(picture, static_cast<int32_t>(test.width), 2, test.rgb, test.tolerance);
        }
    }
}

TEST(PsdColourModes, RefusesEveryTruncationOfEach) {
    for (const ModeCase& test : kCases) {
        SCOPED_TRACE(test.what);
        ExpectEveryTruncationRefused(Build(CaseFile(test, false)));
        ExpectEveryTruncationRefused(Build(CaseFile(test, true)));
    }
}

TEST(PsdColourModes, RefusesHeadersThatDisagreeWithTheData) {
    struct Lie {
        const char* what;
        void (*change)(PsdFile*, size_t colourChannels);
    };
    const Lie lies[] = {
        {"a colour channel short",
         [](PsdFile* psd, size_t colour) { psd->channels = static_cast<uint16_t>(colour - 1); }},
        {"twice the depth", [](PsdFile* psd, size_t) { psd->depth = psd->depth == 1 ? 8 : psd->depth * 2; }},
        {"a row more", [](PsdFile* psd, size_t) { ++psd->height; }},
        {"a byte wider", [](PsdFile* psd, size_t) { psd->width += 8; }},
    };
    for (const ModeCase& test : kCases) {
        for (const Lie& lie : lies) {
            for (bool packBits : {false, true}) {
                PsdFile psd = CaseFile(test, packBits);
                lie.change(&psd, test.colourPlanes.size());
                EXPECT_TRUE(RefusedBy(DecodePsd, Build(psd)))
                    << test.what << ": " << lie.what << (packBits ? ", PackBits" : ", raw");
            }
        }
    }
}

// The "CMYK 8" picture with a profile in its image resources: Ghostscript's CMYK one turns it
// into ImageMagick's sRGB (perceptual, black-point compensation, from the inks 255 minus what
// is stored); cut short, or an RGB profile, or none, leaves the plain conversion.
TEST(PsdColourModes, CmykGoesThroughACmykProfileAndOtherwisePlainly) {
    std::vector<uint8_t> cmykProfile, rgbProfile;
    ASSERT_TRUE(ReadFileBytes("/usr/share/color/icc/ghostscript/default_cmyk.icc", &cmykProfile));
    ASSERT_TRUE(ReadFileBytes("/usr/share/color/icc/colord/sRGB.icc", &rgbProfile));
    const std::vector<uint8_t> plain = kCases[0].rgb;
    const std::vector<uint8_t> throughProfile = {255, 254, 255, 0,   174, 239, 43,  40, 41,
                                                 143, 94,  166, 145, 88,  22,  135, 83, 52};
    struct ProfileCase {
        const char* what;
        std::vector<uint8_t> profile;
        const std::vector<uint8_t>& rgb;
    };
    const ProfileCase cases[] = {
        {"CMYK profile", cmykProfile, throughProfile},
        {"CMYK profile cut short", std::vector<uint8_t>(cmykProfile.begin(), cmykProfile.begin() + 300), plain},
        {"RGB profile", rgbProfile, plain},
        {"no profile", {}, plain},
    };
    for (const ProfileCase& test : cases) {
        SCOPED_TRACE(test.what);
        PsdFile psd = CaseFile(kCases[0], true);
        if (!test.profile.empty()) psd.resources = ProfileResource(test.profile);
        const std::vector<uint8_t> file = Build(psd);
        DecodedPicture picture;
        ASSERT_TRUE(DecodePsd(file.data(), file.size(), &picture));
        ExpectPixels(picture, 3, 2, test.rgb, 2);
        EXPECT_TRUE(picture.profile.empty()) << "the profile is applied already";
    }
}
