#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pictures/decoded_picture.h"
#include "tests/unit/decoder_test_support.h"

namespace {

struct PcxHeader {
    int bitsPerPixel = 8;
    int planes = 1;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int bytesPerLine = 1;
    int version = 5;
};

void PutLittle16(std::vector<uint8_t>* file, size_t offset, int value) {
    (*file)[offset] = static_cast<uint8_t>(value & 0xFF);
    (*file)[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// Sixteen easily told apart colours for the header palette: entry i is (16 i, 255 - 16 i, 7 i).
std::vector<uint8_t> HeaderPaletteColour(unsigned index) {
    return {static_cast<uint8_t>(16 * index), static_cast<uint8_t>(255 - 16 * index), static_cast<uint8_t>(7 * index)};
}

std::vector<uint8_t> MakeHeader(const PcxHeader& header) {
    std::vector<uint8_t> file(128, 0);
    file[0] = 0x0A;
    file[1] = static_cast<uint8_t>(header.version);
    file[2] = 1;
    file[3] = static_cast<uint8_t>(header.bitsPerPixel);
    PutLittle16(&file, 4, header.xMin);
    PutLittle16(&file, 6, header.yMin);
    PutLittle16(&file, 8, header.xMax);
    PutLittle16(&file, 10, header.yMax);
    for (unsigned index = 0; index < 16; ++index) {
        const std::vector<uint8_t> colour = HeaderPaletteColour(index);
        std::copy(colour.begin(), colour.end(), file.begin() + 16 + index * 3);
    }
    file[65] = static_cast<uint8_t>(header.planes);
    PutLittle16(&file, 66, header.bytesPerLine);
    return file;
}

// Codes the whole stream of plane lines at once, so runs freely cross plane and line ends as
// real files do; bytes of 0xC0 and above always go in a run, as the format demands.
void AppendRuns(std::vector<uint8_t>* file, const std::vector<uint8_t>& stream) {
    for (size_t at = 0; at < stream.size();) {
        size_t count = 1;
        while (at + count < stream.size() && stream[at + count] == stream[at] && count < 63) ++count;
        if (count == 1 && stream[at] < 0xC0) {
            file->push_back(stream[at]);
        } else {
            file->push_back(static_cast<uint8_t>(0xC0 | count));
            file->push_back(stream[at]);
        }
        at += count;
    }
}

// The 8-bit palette that ends a file: entry i is (i, 255 - i, i / 2).
void AppendEndPalette(std::vector<uint8_t>* file) {
    file->push_back(0x0C);
    for (int index = 0; index < 256; ++index) {
        file->push_back(static_cast<uint8_t>(index));
        file->push_back(static_cast<uint8_t>(255 - index));
        file->push_back(static_cast<uint8_t>(index / 2));
    }
}

// A 5 x 3 picture whose pixel (x, y) has colour index x + 5 y, in every palette layout.
constexpr int kIndexWidth = 5;
constexpr int kIndexHeight = 3;

unsigned IndexAt(int x, int y) { return static_cast<unsigned>(x + kIndexWidth * y); }

std::vector<uint8_t> ExpectedFromHeaderPalette() {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < kIndexHeight; ++y) {
        for (int x = 0; x < kIndexWidth; ++x) {
            const std::vector<uint8_t> colour = HeaderPaletteColour(IndexAt(x, y));
            rgb.insert(rgb.end(), colour.begin(), colour.end());
        }
    }
    return rgb;
}

PcxHeader IndexHeader(int bitsPerPixel, int planes, int bytesPerLine) {
    PcxHeader header;
    header.bitsPerPixel = bitsPerPixel;
    header.planes = planes;
    header.xMax = kIndexWidth - 1;
    header.yMax = kIndexHeight - 1;
    header.bytesPerLine = bytesPerLine;
    return header;
}

// Two pixels a byte, left pixel in the high nibble; the odd line length leaves a pad nibble and
// a whole pad byte, both set so that reading them would show.
std::vector<uint8_t> PackedSixteenColours() {
    std::vector<uint8_t> file = MakeHeader(IndexHeader(4, 1, 5));
    std::vector<uint8_t> stream;
    for (int y = 0; y < kIndexHeight; ++y) {
        for (int x = 0; x < kIndexWidth; x += 2) {
            const unsigned right = x + 1 < kIndexWidth ? IndexAt(x + 1, y) : 0xF;
            stream.push_back(static_cast<uint8_t>(IndexAt(x, y) << 4 | right));
        }
        stream.insert(stream.end(), {0xFF, 0xFF});
    }
    AppendRuns(&file, stream);
    return file;
}

// Four one-bit planes; plane p holds bit p of each index, leftmost pixel in the top bit.
std::vector<uint8_t> PlanarSixteenColours() {
    std::vector<uint8_t> file = MakeHeader(IndexHeader(1, 4, 1));
    std::vector<uint8_t> stream;
    for (int y = 0; y < kIndexHeight; ++y) {
        for (int plane = 0; plane < 4; ++plane) {
            uint8_t bits = 0x07;  // the three pad pixels
            for (int x = 0; x < kIndexWidth; ++x) {
                if ((IndexAt(x, y) >> plane) & 1) bits = static_cast<uint8_t>(bits | (0x80 >> x));
            }
            stream.push_back(bits);
        }
    }
    AppendRuns(&file, stream);
    return file;
}

// Three 8-bit planes of 4 bytes a line for a 3 x 2 picture: one pad byte a plane.
std::vector<uint8_t> TrueColourStream() {
    return {10, 20, 30, 0xEE, 40, 50, 60, 0xEE, 70, 80, 90, 0xEE, 200, 200, 200, 200, 200, 201, 202, 203, 7, 7, 7, 7};
}

std::vector<uint8_t> TrueColourFile() {
    PcxHeader header;
    header.planes = 3;
    header.xMin = 65000;  // only the differences of the window corners matter
    header.yMin = 50;
    header.xMax = 65002;
    header.yMax = 51;
    header.bytesPerLine = 4;
    std::vector<uint8_t> file = MakeHeader(header);
    AppendRuns(&file, TrueColourStream());
    return file;
}

const std::vector<uint8_t> kTrueColourPixels = {10,  40,  70, 20,  50,  80, 30,  60,  90,
                                                200, 200, 7,  200, 201, 7,  200, 202, 7};

std::vector<uint8_t> EightBitFile() {
    std::vector<uint8_t> file = MakeHeader(IndexHeader(8, 1, 6));
    std::vector<uint8_t> stream;
    for (int y = 0; y < kIndexHeight; ++y) {
        for (int x = 0; x < kIndexWidth; ++x) stream.push_back(static_cast<uint8_t>(IndexAt(x, y) * 17));
        stream.push_back(0xC0);
    }
    AppendRuns(&file, stream);
    AppendEndPalette(&file);
    return file;
}

std::vector<uint8_t> MonochromeFile() {
    PcxHeader header;
    header.bitsPerPixel = 1;
    header.xMax = 9;
    header.yMax = 1;
    header.bytesPerLine = 2;
    std::vector<uint8_t> file = MakeHeader(header);
    AppendRuns(&file, {0xA5, 0x40, 0x00, 0xFF});
    return file;
}

DecodedPicture Decoded(const std::vector<uint8_t>& file) {
    DecodedPicture picture;
    EXPECT_TRUE(DecodePcx(file.data(), file.size(), &picture));
    return picture;
}

bool Refused(const std::vector<uint8_t>& file) { return RefusedBy(DecodePcx, file); }

}  // namespace

TEST(PcxDecoder, MatchesImageMagickForEveryVariantItWrites) {
    const ReferencePicture references[] = {
        {"pcx_mono_w37.pcx", 37, 23}, {"pcx_mono_w32.pcx", 32, 23},  {"pcx_pal8_w37.pcx", 37, 23},
        {"pcx_pal8_w36.pcx", 36, 23}, {"pcx_rgb24_w37.pcx", 37, 23}, {"pcx_rgb24_w300.pcx", 300, 200},
    };
    for (const ReferencePicture& reference : references) ExpectMatchesReference(reference, DecodePsd);
}

TEST(PcxDecoder, SixteenColoursComeFromTheHeaderPaletteInBothLayouts) {
    ExpectPixels(Decoded(PackedSixteenColours()), kIndexWidth, kIndexHeight, ExpectedFromHeaderPalette());
    ExpectPixels(Decoded(PlanarSixteenColours()), kIndexWidth, kIndexHeight, ExpectedFromHeaderPalette());
    // Versions 0 to 4 read the same way.
    std::vector<uint8_t> oldVersion = PlanarSixteenColours();
    oldVersion[1] = 3;
    ExpectPixels(Decoded(oldVersion), kIndexWidth, kIndexHeight, ExpectedFromHeaderPalette());
}

TEST(PcxDecoder, EightBitPicturesUseThePaletteAtTheEnd) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < kIndexHeight; ++y) {
        for (int x = 0; x < kIndexWidth; ++x) {
            const int index = static_cast<int>(IndexAt(x, y)) * 17;
            rgb.insert(rgb.end(), {static_cast<uint8_t>(index), static_cast<uint8_t>(255 - index),
                                   static_cast<uint8_t>(index / 2)});
        }
    }
    ExpectPixels(Decoded(EightBitFile()), kIndexWidth, kIndexHeight, rgb);
}

TEST(PcxDecoder, MonochromeSetBitsAreBlackWhateverTheHeaderPalette) {
    const uint8_t k = 0, w = 255;
    const std::vector<uint8_t> rows = {k, w, k, w, w, k, w, k, w, k,   // 0xA5, then 0x40
                                       w, w, w, w, w, w, w, w, k, k};  // 0x00, then 0xFF
    std::vector<uint8_t> rgb;
    for (uint8_t value : rows) rgb.insert(rgb.end(), {value, value, value});
    ExpectPixels(Decoded(MonochromeFile()), 10, 2, rgb);
}

TEST(PcxDecoder, RunsMayCrossPlanesAndLinesAndPadBytesAreIgnored) {
    ExpectPixels(Decoded(TrueColourFile()), 3, 2, kTrueColourPixels);
    // The same picture with all 24 coded bytes as a single run, and with empty runs mixed in.
    std::vector<uint8_t> oneRun = MakeHeader(IndexHeader(8, 3, 4));
    PutLittle16(&oneRun, 8, 2);
    PutLittle16(&oneRun, 10, 1);
    oneRun.insert(oneRun.end(), {0xC0, 0x11, 0xD8, 0x99, 0xC0, 0x22});
    ExpectPixels(Decoded(oneRun), 3, 2, std::vector<uint8_t>(18, 0x99));
    // A run reaching past the last line (63 bytes instead of 24) only pads the picture.
    std::vector<uint8_t> longRun = oneRun;
    longRun[longRun.size() - 4] = 0xFF;
    ExpectPixels(Decoded(longRun), 3, 2, std::vector<uint8_t>(18, 0x99));
}

TEST(PcxDecoder, RefusesEveryTruncation) {
    for (const std::vector<uint8_t>& file :
         {PackedSixteenColours(), PlanarSixteenColours(), TrueColourFile(), EightBitFile(), MonochromeFile()}) {
        ExpectEveryTruncationRefused(file);
    }
}

TEST(PcxDecoder, RefusesHeadersItCannotDecode) {
    struct Case {
        const char* what;
        size_t offset;
        int value;
        bool sixteenBits;
    };
    const Case cases[] = {
        {"manufacturer", 0, 0x0B, false},      {"version 1", 1, 1, false},        {"version 6", 1, 6, false},
        {"no encoding", 2, 0, false},          {"2 bits, 4 planes", 3, 2, false}, {"8 bits, 4 planes", 3, 8, false},
        {"1 bit, 3 planes", 65, 3, false},     {"1 bit, 0 planes", 65, 0, false}, {"left edge past right", 4, 5, true},
        {"top edge below bottom", 6, 3, true}, {"no line bytes", 66, 0, true},
    };
    for (const Case& change : cases) {
        std::vector<uint8_t> file = PlanarSixteenColours();
        if (change.sixteenBits) {
            PutLittle16(&file, change.offset, change.value);
        } else {
            file[change.offset] = static_cast<uint8_t>(change.value);
        }
        EXPECT_TRUE(RefusedBeforeAllocating(DecodePcx, file)) << change.what;
    }
    // Five 8-bit pixels need 5 bytes a line; 4 is refused although the file is long enough.
    std::vector<uint8_t> shortLines = EightBitFile();
    PutLittle16(&shortLines, 66, 4);
    EXPECT_TRUE(Refused(shortLines)) << "line shorter than the picture";
}

TEST(PcxDecoder, RefusesAbsurdSizesWithoutAllocating) {
    PcxHeader wide = IndexHeader(1, 1, 2048);
    wide.xMax = 16384;  // 16385 pixels
    PcxHeader square = IndexHeader(1, 1, 2048);
    square.xMax = 16383;
    square.yMax = 16383;  // each side allowed, 1 GiB of pixels is not
    for (const PcxHeader& header : {wide, square}) {
        std::vector<uint8_t> file = MakeHeader(header);
        file.resize(file.size() + 4096, 0xC0);  // empty runs: plenty of bytes, no pixels
        EXPECT_TRUE(RefusedBeforeAllocating(DecodePcx, file));
    }
    // Allowed in size, yet 100 bytes of runs cannot code 4096 lines of 2048 bytes.
    PcxHeader tall = IndexHeader(1, 1, 2048);
    tall.xMax = 16383;
    tall.yMax = 4095;
    std::vector<uint8_t> tallFile = MakeHeader(tall);
    tallFile.resize(tallFile.size() + 100, 0xFF);
    EXPECT_TRUE(RefusedBeforeAllocating(DecodePcx, tallFile));
}

TEST(PcxDecoder, EightBitPicturesNeedTheirPaletteMarker) {
    std::vector<uint8_t> file = EightBitFile();
    file[file.size() - 769] = 0x0D;
    EXPECT_TRUE(Refused(file));
    // Too short to hold a palette at all.
    std::vector<uint8_t> bare = EightBitFile();
    bare.resize(bare.size() - 769);
    EXPECT_TRUE(Refused(bare));
}
