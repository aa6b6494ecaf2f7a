#include "pictures/bmp_decoder.h"

#include <gtest/gtest.h>

#include "pictures/area_filter.h"
#include "tests/unit/decoder_test_support.h"

namespace {

using namespace std::string_literals;

void Put(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

struct Bmp {
    uint32_t header = 40;  // 12 (OS/2 1.x), 40, 52, 56, 64 (OS/2 2.x), 108, 124
    int32_t width = 2;
    int32_t height = 2;
    uint16_t bits = 24;
    uint32_t compression = 0;
    std::vector<uint32_t> palette;  // 0xRRGGBB
    std::vector<uint32_t> masks;    // after a 40-byte header, inside a longer one
    std::string pixels;
    int64_t coloursUsed = -1;  // the palette's length unless set
    int64_t pixelOffset = -1;  // right after the palette unless set
};

std::string Build(const Bmp& bmp) {
    std::string info(bmp.header, '\0');
    Put(info, 0, bmp.header, 4);
    if (bmp.header == 12) {
        Put(info, 4, static_cast<uint32_t>(bmp.width), 2);
        Put(info, 6, static_cast<uint32_t>(bmp.height), 2);
        Put(info, 8, 1, 2);
        Put(info, 10, bmp.bits, 2);
    } else {
        Put(info, 4, static_cast<uint32_t>(bmp.width), 4);
        Put(info, 8, static_cast<uint32_t>(bmp.height), 4);
        Put(info, 12, 1, 2);
        Put(info, 14, bmp.bits, 2);
        Put(info, 16, bmp.compression, 4);
        Put(info, 32, static_cast<uint32_t>(bmp.coloursUsed >= 0 ? bmp.coloursUsed : int64_t(bmp.palette.size())), 4);
    }
    std::string masks(bmp.header == 40 ? bmp.masks.size() * 4 : 0, '\0');
    for (size_t i = 0; i < bmp.masks.size(); ++i)
        Put(bmp.header == 40 ? masks : info, (bmp.header == 40 ? 0 : 40) + i * 4, bmp.masks[i], 4);
    std::string palette;
    for (uint32_t colour : bmp.palette) {
        palette += {static_cast<char>(colour), static_cast<char>(colour >> 8), static_cast<char>(colour >> 16)};
        if (bmp.header != 12) palette += '\0';
    }
    std::string file = "BM" + std::string(12, '\0') + info + masks + palette;
    Put(file, 10, static_cast<uint32_t>(bmp.pixelOffset >= 0 ? bmp.pixelOffset : file.size()), 4);
    file += bmp.pixels;
    Put(file, 2, static_cast<uint32_t>(file.size()), 4);
    return file;
}

// Rows as stored, each padded to whole 32-bit words.
std::string Rows(std::initializer_list<std::string> rows) {
    std::string bytes;
    for (const std::string& row : rows) bytes += row + std::string((4 - row.size() % 4) % 4, '\0');
    return bytes;
}

struct Decoded {
    bool ok = false;
    DecodedPicture picture;
    int32_t width = 0;
    int32_t height = 0;
};

Decoded Decode(const std::string& bytes, int32_t boxWidth = 1000, int32_t boxHeight = 1000) {
    Decoded decoded;
    MemoryFile file{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0};
    decoded.ok =
        DecodeBmpToFit(MemorySource(&file), boxWidth, boxHeight, &decoded.picture, &decoded.width, &decoded.height);
    return decoded;
}

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0;

Bmp With(uint32_t header, int32_t width, int32_t height, uint16_t bits, uint32_t compression,
         std::vector<uint32_t> palette, std::vector<uint32_t> masks, std::string pixels) {
    Bmp bmp;
    bmp.header = header;
    bmp.width = width;
    bmp.height = height;
    bmp.bits = bits;
    bmp.compression = compression;
    bmp.palette = std::move(palette);
    bmp.masks = std::move(masks);
    bmp.pixels = std::move(pixels);
    return bmp;
}

Bmp WithColoursUsed(Bmp bmp, int64_t colours) {
    bmp.coloursUsed = colours;
    return bmp;
}

Bmp WithPixelOffset(Bmp bmp, int64_t offset) {
    bmp.pixelOffset = offset;
    return bmp;
}

// The full palette a core header always has.
std::vector<uint32_t> Palette256(std::vector<uint32_t> first) {
    first.resize(256, K);
    return first;
}

const std::string kTwoRows24 = Rows({"\xFF\x00\x00\xFF\xFF\xFF"s, "\x00\x00\xFF\x00\xFF\x00"s});  // B W / R G
const std::string kRuns8 =
    "\x03\x01\x00\x00"s + "\x00\x03\x02\x03\x02\x00\x00\x00"s + "\x00\x02\x01\x00\x01\x03\x00\x01"s;

// Each layout against its pixels, top row first; an empty list means the file is refused.
const struct {
    const char* what;
    Bmp bmp;
    int32_t width, height;
    std::vector<uint32_t> pixels;
} kLayouts[] = {
    {"24 bits, bottom-up", With(40, 2, 2, 24, 0, {}, {}, kTwoRows24), 2, 2, {R, G, B, W}},
    {"OS/2 1.x core header", With(12, 2, 2, 24, 0, {}, {}, kTwoRows24), 2, 2, {R, G, B, W}},
    {"fourth version, top-down", With(108, 2, -2, 24, 0, {}, {}, kTwoRows24), 2, 2, {B, W, R, G}},
    {"core header, three-byte palette",
     With(12, 2, 2, 8, 0, Palette256({R, G, B, W}), {}, Rows({"\x02\x03"s, "\x00\x01"s})),
     2,
     2,
     {R, G, B, W}},
    {"1 bit, odd width", With(40, 3, 1, 1, 0, {K, W}, {}, Rows({"\xA0"s})), 3, 1, {W, K, W}},
    {"2 bits", With(40, 4, 1, 2, 0, {R, G, B, W}, {}, Rows({"\x1B"s})), 4, 1, {R, G, B, W}},
    {"4 bits, short palette",
     WithColoursUsed(With(40, 3, 1, 4, 0, {R, G}, {}, Rows({"\x01\x50"s})), 2),
     3,
     1,
     {R, G, K}},
    {"8 bits, long palette",
     WithColoursUsed(With(40, 2, 1, 8, 0, std::vector<uint32_t>(300, W), {}, Rows({"\xFF\x00"s})), 300),
     2,
     1,
     {W, W}},
    {"16 bits, 5-5-5", With(40, 2, 1, 16, 0, {}, {}, Rows({"\x00\x7C\x00\x02"s})), 2, 1, {R, 0x008400}},
    {"16 bits, 5-6-5 bit fields",
     With(40, 2, 1, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, Rows({"\xE0\x07\x41\x08"s})),
     2,
     1,
     {G, 0x080808}},
    {"second version, 10-10-10 masks inside",
     With(52, 2, 1, 32, 3, {}, {0x3FF00000, 0xFFC00, 0x3FF}, Rows({"\x00\x00\xF0\x3F\x00\x02\x08\x00"s})),
     2,
     1,
     {R, 0x008080}},
    {"alpha bit fields after the info header",
     With(40, 1, 1, 32, 6, {}, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, Rows({"\x56\x34\x12\x80"s})),
     1,
     1,
     {0x123456}},
    {"fifth version, 32 bits", With(124, 1, 1, 32, 0, {}, {}, Rows({"\x56\x34\x12\x99"s})), 1, 1, {0x123456}},
    {"OS/2 2.x header", With(64, 2, 1, 8, 0, {R, G}, {}, Rows({"\x01\x00"s})), 2, 1, {G, R}},
    {"RLE8: runs, literal, jump, ends of line and picture",
     With(40, 4, 3, 8, 1, {K, R, G, B}, {}, kRuns8),
     4,
     3,
     {K, B, K, K, G, B, G, K, R, R, R, K}},
    {"RLE4: alternating runs, literal",
     With(40, 4, 2, 4, 2, {K, R, G, B}, {}, "\x00\x03\x31\x20\x00\x00\x04\x12\x00\x01"s),
     4,
     2,
     {R, G, R, G, B, R, G, K}},
    {"RLE8 cut short: the rest is black", With(40, 2, 2, 8, 1, {K, R}, {}, "\x02\x01"s), 2, 2, {K, K, R, R}},
    {"RLE8 runs past the row, a jump past the picture",
     With(40, 2, 2, 8, 1, {K, R}, {}, "\x05\x01\x00\x02\x00\x05"s),
     2,
     2,
     {K, K, R, R}},
    {"pixels inside the palette",
     WithPixelOffset(With(40, 2, 2, 8, 0, {R, G, B, W}, {}, "\x00\x00\x00\x00"s), 54 + 8),
     2,
     2,
     {K, K, K, R}},
    {"palette past the end", WithColoursUsed(With(40, 2, 1, 8, 0, {R}, {}, Rows({"\x00\x00"s})), 1000), 0, 0, {}},
    {"pixels past the end", WithPixelOffset(With(40, 2, 2, 24, 0, {}, {}, kTwoRows24), 4000), 0, 0, {}},
    {"more rows than the file holds", With(40, 2, 3, 24, 0, {}, {}, kTwoRows24), 0, 0, {}},
    {"a mask that is no run of bits",
     With(40, 1, 1, 16, 3, {}, {0xF0F0, 0x0F00, 0x000F}, "\x00\x00\x00\x00"s),
     0,
     0,
     {}},
    {"JPEG inside", With(40, 2, 2, 24, 4, {}, {}, kTwoRows24), 0, 0, {}},
    {"PNG inside", With(40, 2, 2, 24, 5, {}, {}, kTwoRows24), 0, 0, {}},
    {"OS/2 Huffman coding", With(64, 2, 2, 1, 3, {K, W}, {}, kTwoRows24), 0, 0, {}},
    {"wider than the filter takes", With(40, 70000, 1, 1, 0, {K, W}, {}, std::string(8752, '\0')), 0, 0, {}},
};

TEST(BmpDecoder, EveryLayoutGivesItsPixels) {
    for (const auto& layout : kLayouts) {
        SCOPED_TRACE(layout.what);
        const Decoded decoded = Decode(Build(layout.bmp));
        ASSERT_EQ(decoded.ok, !layout.pixels.empty());
        if (!decoded.ok) continue;
        EXPECT_EQ(decoded.width, layout.width);
        EXPECT_EQ(decoded.height, layout.height);
        std::vector<uint8_t> rgb;
        for (uint32_t colour : layout.pixels)
            rgb.insert(rgb.end(), {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)});
        ExpectPixels(decoded.picture, layout.width, layout.height, rgb);
    }
}

// Rows stored bottom-up go through the filter as stored and the fitted picture is turned over:
// exactly what fitting the whole picture gives, and the same as from the same rows top-down.
TEST(BmpDecoder, BottomUpAndTopDownFitAlike) {
    std::string rows;
    for (int y = 0; y < 23; ++y) {
        std::string row;
        for (int x = 0; x < 37; ++x)
            row += {static_cast<char>(x * 7), static_cast<char>(y * 11), static_cast<char>(x * y)};
        rows = Rows({row}) + rows;  // bottom row first
    }
    Decoded whole = Decode(Build(With(40, 37, 23, 24, 0, {}, {}, rows)));
    ASSERT_TRUE(whole.ok);
    ASSERT_TRUE(FitDecodedPicture(FitBox{10, 10, false}, &whole.picture));
    const Decoded bottomUp = Decode(Build(With(40, 37, 23, 24, 0, {}, {}, rows)), 10, 10);
    std::string topDownRows;
    for (int y = 22; y >= 0; --y) topDownRows += rows.substr(static_cast<size_t>(y) * 112, 112);
    const Decoded topDown = Decode(Build(With(40, 37, -23, 24, 0, {}, {}, topDownRows)), 10, 10);
    ASSERT_TRUE(bottomUp.ok && topDown.ok);
    EXPECT_EQ(bottomUp.picture.width, 10);
    EXPECT_EQ(bottomUp.picture.bgra, whole.picture.bgra);
    EXPECT_EQ(topDown.picture.bgra, whole.picture.bgra);
}

TEST(BmpDecoder, CutFilesAreRefusedAndEmptyRunsCostNoPixels) {
    const std::string good = Build(With(40, 2, 2, 24, 0, {}, {}, kTwoRows24));
    for (size_t length = 0; length < good.size(); ++length) EXPECT_FALSE(Decode(good.substr(0, length)).ok) << length;
    // The largest picture the filter takes, run-length data of one end-of-picture code.
    const Decoded empty = Decode(Build(With(40, 65535, 65535, 8, 1, {R}, {}, "\x00\x01"s)), 320, 240);
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.width, 65535);
    for (size_t at = 0; at < empty.picture.bgra.size(); at += 4)
        ASSERT_EQ(empty.picture.bgra[at] | empty.picture.bgra[at + 2], 0);
}

}  // namespace
