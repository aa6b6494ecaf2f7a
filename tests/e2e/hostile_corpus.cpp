// The hostile corpus's BMP and JPEG files: good pictures cut short, and headers and tables patched
// to lie about sizes, offsets and codes.
#include "hostile_corpus.h"

#include <gtest/gtest.h>

#include <set>

namespace e2e {

void AddCuts(Corpus& corpus, const std::string& stem, const std::string& extension, const std::string& whole) {
    const size_t size = whole.size();
    const std::set<size_t> cuts = {
        1,   2,   3,   4,    8,        11,       16,       32,           54,        100,      128,
        129, 300, 777, 2048, size / 5, size / 3, size / 2, size * 3 / 4, size - 64, size - 2, size - 1};
    for (size_t cut : cuts) {
        if (cut == 0 || cut >= size) continue;
        corpus.Add("cut " + stem + " " + std::to_string(cut) + extension, whole.substr(0, cut));
    }
}

namespace {

std::string BmpHeader(int32_t width, int32_t height, uint16_t bits, uint32_t compression, size_t dataBytes) {
    std::string header(54, '\0');
    header[0] = 'B';
    header[1] = 'M';
    Put32LE(header, 2, static_cast<uint32_t>(54 + dataBytes));
    Put32LE(header, 10, 54);
    Put32LE(header, 14, 40);
    Put32LE(header, 18, static_cast<uint32_t>(width));
    Put32LE(header, 22, static_cast<uint32_t>(height));
    Put16LE(header, 26, 1);
    Put16LE(header, 28, bits);
    Put32LE(header, 30, compression);
    return header;
}

}  // namespace

void AddBmps(Corpus& corpus) {
    const std::string good = MakeBmp(48, 32, [](int x, int y) { return RGB(x * 5, y * 7, 128); });
    AddCuts(corpus, "gradient", ".bmp", good);
    const std::string pixels = corpus.Noise(1000);
    const struct {
        const char* name;
        int32_t width;
        int32_t height;
        uint16_t bits;
    } sizes[] = {
        {"bmp 65535 x 65535.bmp", 65535, 65535, 24},
        {"bmp 1 x 100000.bmp", 1, 100000, 24},
        {"bmp 100000 x 1.bmp", 100000, 1, 24},
        {"bmp width -48.bmp", -48, 32, 24},
        {"bmp width 0.bmp", 0, 32, 24},
        {"bmp height 0.bmp", 48, 0, 24},
        {"bmp height -100000.bmp", 48, -100000, 24},
        {"bmp height INT_MIN.bmp", 48, INT32_MIN, 24},
        {"bmp 0 bits.bmp", 48, 32, 0},
        {"bmp 7 bits.bmp", 48, 32, 7},
        {"bmp 64 bits.bmp", 48, 32, 64},
        {"bmp 32 bits 65535 x 65535.bmp", 65535, 65535, 32},
    };
    for (const auto& entry : sizes) {
        corpus.Add(entry.name, BmpHeader(entry.width, entry.height, entry.bits, BI_RGB, pixels.size()) + pixels);
    }
    const struct {
        const char* name;
        size_t at;
        uint32_t value;
    } patches[] = {
        {"bmp pixels past the end.bmp", 10, static_cast<uint32_t>(good.size() + 1000)},
        {"bmp pixels at 2 GB.bmp", 10, 0x7FFFFFFF},
        {"bmp pixels at 4 GB.bmp", 10, 0xFFFFFFFF},
        {"bmp pixels at 0.bmp", 10, 0},
        {"bmp info header 0 bytes.bmp", 14, 0},
        {"bmp info header 4 GB.bmp", 14, 0xFFFFFFF0},
        {"bmp core header on an info header.bmp", 14, 12},
        {"bmp 0 planes.bmp", 26, 0},
        {"bmp bitfields without masks.bmp", 30, BI_BITFIELDS},
        {"bmp jpeg compression.bmp", 30, BI_JPEG},
        {"bmp rle8 on 24 bits.bmp", 30, BI_RLE8},
        {"bmp image size 4 GB.bmp", 34, 0xFFFFFFFF},
    };
    for (const auto& patch : patches) {
        std::string bytes = good;
        Put32LE(bytes, patch.at, patch.value);
        corpus.Add(patch.name, bytes);
    }
    // Paletted pictures: a palette that claims two billion colours, and run-length data whose
    // runs and jumps go far past the picture's 16 x 16 pixels and never end.
    std::string palette(256 * 4, '\x40');
    std::string huge = BmpHeader(16, 16, 8, BI_RGB, palette.size() + 256) + palette + std::string(256, '\x01');
    Put32LE(huge, 46, 0x7FFFFFFF);
    Put32LE(huge, 10, static_cast<uint32_t>(54 + palette.size()));
    corpus.Add("bmp palette of 2G colours.bmp", huge);
    for (uint16_t bits : {8, 4}) {
        std::string runs;
        for (int i = 0; i < 200; ++i) runs += std::string("\xFF\x11\x00\x02\xFF\xFF", 6);
        std::string bytes =
            BmpHeader(16, 16, bits, bits == 8 ? BI_RLE8 : BI_RLE4, palette.size() + runs.size()) + palette + runs;
        Put32LE(bytes, 10, static_cast<uint32_t>(54 + palette.size()));
        corpus.Add("bmp rle" + std::to_string(bits) + " runs past the picture.bmp", bytes);
    }
}

namespace {

// Offsets of the JPEG segments, by marker; the entropy-coded data starts where the scan's
// header ends.
struct JpegLayout {
    size_t frame = 0, huffman = 0, quantisation = 0, scan = 0, entropy = 0;
};
JpegLayout FindSegments(const std::string& jpeg) {
    JpegLayout layout;
    size_t at = 2;
    while (at + 4 <= jpeg.size() && static_cast<uint8_t>(jpeg[at]) == 0xFF) {
        const uint8_t marker = static_cast<uint8_t>(jpeg[at + 1]);
        if (marker == 0xC0 && layout.frame == 0) layout.frame = at;
        if (marker == 0xC4 && layout.huffman == 0) layout.huffman = at;
        if (marker == 0xDB && layout.quantisation == 0) layout.quantisation = at;
        if (marker == 0xDA) {
            layout.scan = at;
            layout.entropy = at + 2 + Get16BE(jpeg, at + 2);
            break;
        }
        at += 2 + Get16BE(jpeg, at + 2);
    }
    EXPECT_TRUE(layout.frame && layout.huffman && layout.quantisation && layout.scan) << "unexpected JPEG layout";
    return layout;
}

}  // namespace

void AddJpegs(Corpus& corpus) {
    const std::string beach = Seed("Beach.jpg");
    AddCuts(corpus, "Beach", ".jpg", beach);
    AddCuts(corpus, "red", ".JPG", Seed("red640x480.jpg"));
    const JpegLayout at = FindSegments(beach);
    if (at.entropy == 0 || at.entropy >= beach.size()) return;
    auto patched = [&](const char* name, size_t offset, std::initializer_list<uint8_t> values) {
        std::string bytes = beach;
        for (uint8_t value : values) bytes[offset++] = static_cast<char>(value);
        corpus.Add(name, bytes);
    };
    // Frame header: length(2) precision(1) height(2) width(2) components(1), then 3 bytes each.
    patched("jpg 65535 x 65535.jpg", at.frame + 5, {0xFF, 0xFF, 0xFF, 0xFF});
    patched("jpg 1 x 65535.jpg", at.frame + 5, {0xFF, 0xFF, 0x00, 0x01});
    patched("jpg 65535 x 1.jpg", at.frame + 5, {0x00, 0x01, 0xFF, 0xFF});
    patched("jpg height 0.jpg", at.frame + 5, {0x00, 0x00});
    patched("jpg width 0.jpg", at.frame + 7, {0x00, 0x00});
    patched("jpg no components.jpg", at.frame + 9, {0});
    patched("jpg 255 components.jpg", at.frame + 9, {255});
    patched("jpg precision 12.jpg", at.frame + 4, {12});
    patched("jpg precision 0.jpg", at.frame + 4, {0});
    patched("jpg sampling 0.jpg", at.frame + 11, {0x00});
    patched("jpg sampling 15 x 15.jpg", at.frame + 11, {0xFF});
    patched("jpg quantisation table 9.jpg", at.frame + 12, {9});
    patched("jpg progressive frame on baseline data.jpg", at.frame + 1, {0xC2});
    patched("jpg arithmetic frame.jpg", at.frame + 1, {0xC9});
    patched("jpg segment length 0.jpg", at.quantisation + 2, {0x00, 0x00});
    patched("jpg segment length 65535.jpg", at.quantisation + 2, {0xFF, 0xFF});
    // Huffman table: length(2) class/id(1) and 16 code counts; these sum far past 256 codes.
    patched("jpg huffman counts overfull.jpg", at.huffman + 5,
            {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255});
    patched("jpg huffman counts all zero.jpg", at.huffman + 5, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    patched("jpg huffman table id 7.jpg", at.huffman + 4, {0x17});
    patched("jpg scan with missing tables.jpg", at.scan + 6, {0x33});
    patched("jpg scan of 4 components.jpg", at.scan + 4, {4});
    {
        std::string bytes = beach;
        const size_t huffmanLength = 2 + Get16BE(beach, at.huffman + 2);
        bytes.erase(at.huffman, huffmanLength);
        corpus.Add("jpg without huffman tables.jpg", bytes);
    }
    // Corrupt entropy-coded data: random codes at the start, in the middle, throughout; a run of
    // ones (no valid code); stray markers inside the scan.
    const size_t data = beach.size() - at.entropy - 2;
    const struct {
        const char* name;
        size_t from;
        size_t length;
    } scrambles[] = {
        {"jpg huffman garbage at the start.jpg", 0, 64},
        {"jpg huffman garbage in the middle.jpg", data / 2, 256},
        {"jpg huffman garbage throughout.jpg", 0, data},
        {"jpg huffman garbage near the end.jpg", data - 40, 40},
    };
    for (const auto& scramble : scrambles) {
        std::string bytes = beach;
        bytes.replace(at.entropy + scramble.from, scramble.length, corpus.Noise(scramble.length, true));
        corpus.Add(scramble.name, bytes);
    }
    {
        std::string bytes = beach;
        for (size_t i = at.entropy; i + 1 < bytes.size() - 2; i += 2) bytes.replace(i, 2, "\xFF\x00", 2);
        corpus.Add("jpg huffman all ones.jpg", bytes);
    }
    {
        std::string bytes = beach;
        for (size_t i = at.entropy + 10; i + 2 < bytes.size() - 2; i += 97) {
            bytes[i] = '\xFF';
            bytes[i + 1] = static_cast<char>(0xD0 + (i & 7));
        }
        corpus.Add("jpg restart markers strewn in the scan.jpg", bytes);
    }
    corpus.Add("jpg start marker only.jpg", "\xFF\xD8");
    corpus.Add("jpg start and end markers.jpg", "\xFF\xD8\xFF\xD9");
    corpus.Add("jpg two start markers.jpg", "\xFF\xD8" + beach);
}

}  // namespace e2e
