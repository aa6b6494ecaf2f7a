#include "pictures/picture_content.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

PictureContent ContentOf(const std::string& bytes) { return PictureContentOf(Bytes(bytes), bytes.size()); }

TEST(PictureContentOf, KnowsTheFiveKindsBySignatureAndNothingElse) {
    const std::string tail(64, 'x');
    const struct {
        std::string bytes;
        PictureContent expected;
    } cases[] = {
        {std::string("\xFF\xD8\xFF\xE0", 4) + tail, PictureContent::Jpeg},
        {"BM" + tail, PictureContent::Bmp},
        {std::string("II*\0", 4) + tail, PictureContent::Tiff},
        {std::string("MM\0*", 4) + tail, PictureContent::Tiff},
        {std::string("\x0A\x05\x01\x08", 4) + tail, PictureContent::Pcx},
        {std::string("\x0A\x00\x01", 3), PictureContent::Pcx},
        {"8BPS" + tail, PictureContent::Psd},
        // What the system's decoders would otherwise take under a picture's name.
        {std::string("\x01\0\0\0\x6C\0\0\0", 8) + tail, PictureContent::Unknown},  // EMF
        {std::string("\xD7\xCD\xC6\x9A", 4) + tail, PictureContent::Unknown},      // placeable WMF
        {std::string("\x01\0\x09\0\0\x03", 6) + tail, PictureContent::Unknown},    // WMF
        {std::string("\x89PNG\r\n\x1A\n", 8) + tail, PictureContent::Unknown},     // PNG
        {"GIF89a" + tail, PictureContent::Unknown},                                // GIF
        {std::string("\0\0\x01\0\x01\0", 6) + tail, PictureContent::Unknown},      // ICO
        // Near misses and short files.
        {std::string("\xFF\xD8", 2), PictureContent::Unknown},
        {"B", PictureContent::Unknown},
        {"bm" + tail, PictureContent::Unknown},
        {std::string("II+\0", 4) + tail, PictureContent::Unknown},
        {std::string("MM*\0", 4) + tail, PictureContent::Unknown},
        {std::string("\x0A\x01\x01", 3) + tail, PictureContent::Unknown},
        {std::string("\x0A\x05\x02", 3) + tail, PictureContent::Unknown},
        {"8BP", PictureContent::Unknown},
        {"", PictureContent::Unknown},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(ContentOf(test.bytes), test.expected) << "bytes: " << test.bytes.substr(0, 8);
    }
    EXPECT_EQ(PictureContentOf(nullptr, 10), PictureContent::Unknown);
}

void Put32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}
void Put16(std::string& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<char>(value);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// A plain 5 x 3 BMP of `bits` a pixel with an info header, a full palette when it has one, and
// rows padded to 4 bytes.
std::string Bmp(uint16_t bits, uint32_t compression = 0) {
    const size_t palette = bits <= 8 ? (size_t{1} << bits) * 4 : 0;
    const size_t rowBytes = (5 * bits + 31) / 32 * 4;
    std::string bytes(54 + palette + 3 * rowBytes, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    Put32(bytes, 10, static_cast<uint32_t>(54 + palette));
    Put32(bytes, 14, 40);
    Put32(bytes, 18, 5);
    Put32(bytes, 22, 3);
    Put16(bytes, 26, 1);
    Put16(bytes, 28, bits);
    Put32(bytes, 30, compression);
    return bytes;
}

bool Inside(const std::string& bytes) { return BmpLayoutInside(Bytes(bytes), bytes.size()); }

TEST(BmpLayoutInside, TakesSoundFilesOfEveryDepth) {
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) EXPECT_TRUE(Inside(Bmp(bits))) << bits << " bits";
    std::string topDown = Bmp(24);
    Put32(topDown, 22, static_cast<uint32_t>(-3));
    EXPECT_TRUE(Inside(topDown));
    // Bit fields after a plain info header, run-length data of any length, a short palette.
    std::string masks = Bmp(32, 3);
    masks.insert(54, 12, '\xFF');
    Put32(masks, 10, 66);
    EXPECT_TRUE(Inside(masks));
    std::string runs = Bmp(8, 1);
    runs.resize(54 + 1024 + 2);
    EXPECT_TRUE(Inside(runs));
    std::string fewColours = Bmp(8);
    Put32(fewColours, 46, 2);
    Put32(fewColours, 10, 54 + 8);
    EXPECT_TRUE(Inside(fewColours));
    // The core header of the first BMPs: 16-bit sizes, 3-byte palette entries.
    std::string core(26 + 2 * 3 + 3 * 4, '\0');
    core[0] = 'B';
    core[1] = 'M';
    Put32(core, 10, 32);
    Put32(core, 14, 12);
    Put16(core, 18, 5);
    Put16(core, 20, 3);
    Put16(core, 22, 1);
    Put16(core, 24, 1);
    EXPECT_TRUE(Inside(core));
}

TEST(BmpLayoutInside, RefusesWhatPointsOutsideTheFileOrIsUnknown) {
    const std::string good = Bmp(24);
    const struct {
        const char* what;
        size_t at;
        uint32_t value;
        bool word;
    } patches[] = {
        {"pixels past the end", 10, static_cast<uint32_t>(good.size()), false},
        {"pixels at 2 GB", 10, 0x7FFFFFFF, false},
        {"pixels at 4 GB", 10, 0xFFFFFFFF, false},
        {"pixels inside the header", 10, 40, false},
        {"one row more than there is", 22, 4, false},
        {"height INT_MIN", 22, 0x80000000u, false},
        {"height 0", 22, 0, false},
        {"width 0", 18, 0, false},
        {"width negative", 18, static_cast<uint32_t>(-5), false},
        {"width 2^31 - 1", 18, 0x7FFFFFFF, false},
        {"info header 0 bytes", 14, 0, false},
        {"info header 4 GB", 14, 0xFFFFFFF0, false},
        {"info header of unknown size", 14, 44, false},
        {"7 bits", 28, 7, true},
        {"64 bits", 28, 64, true},
        {"run-length 8 on 24 bits", 30, 1, false},
        {"jpeg compression", 30, 4, false},
        {"bit fields on 24 bits", 30, 3, false},
    };
    for (const auto& patch : patches) {
        std::string bytes = good;
        patch.word ? Put16(bytes, patch.at, static_cast<uint16_t>(patch.value)) : Put32(bytes, patch.at, patch.value);
        EXPECT_FALSE(Inside(bytes)) << patch.what;
    }
    std::string hugePalette = Bmp(8);
    Put32(hugePalette, 46, 0x7FFFFFFF);
    EXPECT_FALSE(Inside(hugePalette)) << "palette of 2G colours";
    std::string masksMissing = Bmp(32, 3);
    EXPECT_FALSE(Inside(masksMissing.substr(0, 60))) << "bit fields cut off";
    for (size_t cut : {1, 2, 14, 17, 30, 53, 54, 60}) {
        EXPECT_FALSE(Inside(good.substr(0, cut))) << "cut to " << cut;
    }
    EXPECT_FALSE(Inside(std::string(64, '\0'))) << "not a BMP";
}

}  // namespace
