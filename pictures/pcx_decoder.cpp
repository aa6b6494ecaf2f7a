// PCX: a 128-byte little-endian header, then every scan line run-length coded plane after
// plane, and for 256-colour pictures a palette in the last 769 bytes of the file.
#include <algorithm>
#include <cstring>
#include <vector>

#include "pictures/byte_reader.h"
#include "pictures/decoded_picture.h"

namespace {

constexpr size_t kHeaderSize = 128;
constexpr uint8_t kManufacturer = 0x0A;
constexpr uint8_t kRunLengthEncoding = 1;
// A 256-colour palette is this marker byte followed by 256 RGB triples, ending the file.
constexpr uint8_t kEndPaletteMarker = 0x0C;
constexpr size_t kEndPaletteSize = 1 + 256 * 3;
// One run is two bytes and yields at most 63 bytes; nothing yields more per input byte.
constexpr uint64_t kLongestRun = 63;

// Monochrome pictures ignore the header palette: a set bit is black, a clear bit white. This is
// how ImageMagick, the reference the decoders are checked against, reads and writes them.
constexpr uint8_t kMonochromePalette[6] = {255, 255, 255, 0, 0, 0};

struct PcxLayout {
    int bitsPerPixel = 0;
    int planes = 0;
    int64_t width = 0;
    int64_t height = 0;
    size_t bytesPerLine = 0;           // of one plane, pad bytes included
    const uint8_t* palette = nullptr;  // RGB triples for the palette-based layouts
    ByteReader pixelData;              // the run-length coded scan lines
};

bool SupportedLayout(int bitsPerPixel, int planes) {
    if (planes == 1) return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
    if (planes == 3) return bitsPerPixel == 8;
    if (planes == 4) return bitsPerPixel == 1;
    return false;
}

bool KnownVersion(uint8_t version) {
    return version == 0 || version == 2 || version == 3 || version == 4 || version == 5;
}

bool ReadLayout(const uint8_t* data, size_t size, PcxLayout* layout) {
    if (size < kHeaderSize) return false;
    ByteReader header = MakeByteReader(data, size);
    uint8_t manufacturer = 0, version = 0, encoding = 0, bitsPerPixel = 0, reserved = 0, planes = 0;
    uint16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0, bytesPerLine = 0;
    const uint8_t* headerPalette = nullptr;
    if (!ReadU8(&header, &manufacturer) || !ReadU8(&header, &version) || !ReadU8(&header, &encoding) ||
        !ReadU8(&header, &bitsPerPixel) || !ReadU16LE(&header, &xMin) || !ReadU16LE(&header, &yMin) ||
        !ReadU16LE(&header, &xMax) || !ReadU16LE(&header, &yMax) || !SkipBytes(&header, 4) ||
        !TakeBytes(&header, 48, &headerPalette) || !ReadU8(&header, &reserved) || !ReadU8(&header, &planes) ||
        !ReadU16LE(&header, &bytesPerLine)) {
        return false;
    }
    if (manufacturer != kManufacturer || !KnownVersion(version) || encoding != kRunLengthEncoding) return false;
    if (!SupportedLayout(bitsPerPixel, planes) || xMax < xMin || yMax < yMin) return false;

    layout->bitsPerPixel = bitsPerPixel;
    layout->planes = planes;
    layout->width = static_cast<int64_t>(xMax) - xMin + 1;
    layout->height = static_cast<int64_t>(yMax) - yMin + 1;
    layout->bytesPerLine = bytesPerLine;
    if (!PictureSizeAllowed(layout->width, layout->height)) return false;
    // Lines are often padded to an even length; the pad bytes are decoded and then ignored.
    if (static_cast<uint64_t>(bytesPerLine) * 8 < static_cast<uint64_t>(layout->width) * bitsPerPixel) return false;

    size_t pixelDataEnd = size;
    if (bitsPerPixel == 8 && planes == 1) {
        if (size < kHeaderSize + kEndPaletteSize || data[size - kEndPaletteSize] != kEndPaletteMarker) return false;
        pixelDataEnd = size - kEndPaletteSize;
        layout->palette = data + pixelDataEnd + 1;
    } else if (bitsPerPixel == 1 && planes == 1) {
        layout->palette = kMonochromePalette;
    } else {
        layout->palette = headerPalette;
    }
    layout->pixelData = MakeByteReader(data + kHeaderSize, pixelDataEnd - kHeaderSize);

    // Refuse before allocating when even the densest coding could not fill the picture.
    const uint64_t codedBytes = static_cast<uint64_t>(layout->height) * planes * bytesPerLine;
    return codedBytes * 2 <= BytesLeft(layout->pixelData) * kLongestRun;
}

// The coder's state carries over from call to call, because a run may continue past the end of
// a plane or a scan line into the next one.
struct RunDecoder {
    ByteReader* input = nullptr;
    uint8_t value = 0;
    size_t left = 0;
};

bool DecodeScanLine(RunDecoder* runs, uint8_t* line, size_t length) {
    size_t filled = 0;
    while (filled < length) {
        if (runs->left > 0) {
            const size_t count = std::min(runs->left, length - filled);
            std::memset(line + filled, runs->value, count);
            filled += count;
            runs->left -= count;
            continue;
        }
        uint8_t code = 0;
        if (!ReadU8(runs->input, &code)) return false;
        if ((code & 0xC0) != 0xC0) {
            line[filled++] = code;
            continue;
        }
        if (!ReadU8(runs->input, &runs->value)) return false;
        runs->left = code & 0x3F;
    }
    return true;
}

unsigned PaletteIndex(const PcxLayout& layout, const uint8_t* line, size_t x) {
    if (layout.bitsPerPixel == 8) return line[x];
    if (layout.bitsPerPixel == 4) return (line[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
    // One bit a plane, most significant bit leftmost; plane 0 gives the lowest bit of the index.
    unsigned index = 0;
    for (int plane = 0; plane < layout.planes; ++plane) {
        const uint8_t byte = line[plane * layout.bytesPerLine + x / 8];
        index |= static_cast<unsigned>((byte >> (7 - x % 8)) & 1) << plane;
    }
    return index;
}

void StoreScanLine(const PcxLayout& layout, const uint8_t* line, size_t firstPixel, DecodedPicture* out) {
    const size_t width = static_cast<size_t>(layout.width);
    const size_t stride = layout.bytesPerLine;
    for (size_t x = 0; x < width; ++x) {
        if (layout.planes == 3) {
            StorePixel(out, firstPixel + x, line[x], line[stride + x], line[2 * stride + x]);
        } else {
            const uint8_t* rgb = layout.palette + PaletteIndex(layout, line, x) * 3;
            StorePixel(out, firstPixel + x, rgb[0], rgb[1], rgb[2]);
        }
    }
}

}  // namespace

bool DecodePcx(const uint8_t* data, size_t size, DecodedPicture* out) {
    PcxLayout layout;
    if (!ReadLayout(data, size, &layout) || !StartPicture(layout.width, layout.height, out)) return false;
    std::vector<uint8_t> line(layout.bytesPerLine * static_cast<size_t>(layout.planes));
    RunDecoder runs;
    runs.input = &layout.pixelData;
    // A run still open after the last line only pads the picture; its surplus is dropped.
    for (int64_t y = 0; y < layout.height; ++y) {
        if (!DecodeScanLine(&runs, line.data(), line.size())) return false;
        StoreScanLine(layout, line.data(), static_cast<size_t>(y * layout.width), out);
    }
    return true;
}
