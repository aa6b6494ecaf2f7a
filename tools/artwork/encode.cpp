// BMP and ICO writers. Both formats are little-endian with bottom-up rows padded to 4 bytes.
#include <cstddef>

#include "artwork.h"

namespace {

void Put16(std::vector<uint8_t>* out, uint32_t value) {
    out->push_back(static_cast<uint8_t>(value));
    out->push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

uint32_t PaddedRowBytes(int width, int bits_per_pixel) {
    return ((static_cast<uint32_t>(width) * bits_per_pixel + 31) / 32) * 4;
}

// The resolution fields stay 0: a stated resolution slightly off the screen's (3780 pels a metre
// is 96.01 dpi) makes GDI+ resample what it should copy one to one.
void PutInfoHeader(std::vector<uint8_t>* out, int width, int height, int bits_per_pixel, uint32_t image_bytes) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits_per_pixel));
    Put32(out, 0);  // uncompressed
    Put32(out, image_bytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);  // colours used: all the bit depth allows (none at 24 bpp)
    Put32(out, 0);
}

// Rows of 1 or 4 bits a pixel, bottom row first, each padded to 4 bytes.
template <typename Bits>
void PutPackedRows(std::vector<uint8_t>* out, int size, int bits_per_pixel, Bits bits_at) {
    const uint32_t row_bytes = PaddedRowBytes(size, bits_per_pixel);
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(row_bytes, 0);
        for (int x = 0; x < size; ++x) {
            const int bit = x * bits_per_pixel;
            const int shift = 8 - bits_per_pixel - bit % 8;
            row[bit / 8] = static_cast<uint8_t>(row[bit / 8] | (bits_at(x, y) << shift));
        }
        out->insert(out->end(), row.begin(), row.end());
    }
}

uint32_t IconImageBytes(int size) { return 40 + 16 * 4 + (PaddedRowBytes(size, 4) + PaddedRowBytes(size, 1)) * size; }

}  // namespace

std::vector<uint8_t> EncodeBmp24(const Image& image) {
    const uint32_t row_bytes = PaddedRowBytes(image.width, 24);
    const uint32_t image_bytes = row_bytes * image.height;
    std::vector<uint8_t> out;
    out.reserve(54 + image_bytes);
    out.push_back('B');
    out.push_back('M');
    Put32(&out, 54 + image_bytes);
    Put32(&out, 0);
    Put32(&out, 54);
    PutInfoHeader(&out, image.width, image.height, 24, image_bytes);
    for (int y = image.height - 1; y >= 0; --y) {
        const size_t row_start = out.size();
        for (int x = 0; x < image.width; ++x) {
            const Rgb colour = image.pixels[static_cast<size_t>(y) * image.width + x];
            out.push_back(static_cast<uint8_t>(colour));
            out.push_back(static_cast<uint8_t>(colour >> 8));
            out.push_back(static_cast<uint8_t>(colour >> 16));
        }
        out.resize(row_start + row_bytes, 0);
    }
    return out;
}

std::vector<uint8_t> EncodeIcon(const std::vector<IconImage>& images) {
    std::vector<uint8_t> out;
    Put16(&out, 0);
    Put16(&out, 1);  // icon, not cursor
    Put16(&out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (const IconImage& image : images) {
        out.push_back(static_cast<uint8_t>(image.size));
        out.push_back(static_cast<uint8_t>(image.size));
        out.push_back(16);  // colours
        out.push_back(0);
        Put16(&out, 1);  // planes
        Put16(&out, 4);  // bits a pixel
        Put32(&out, IconImageBytes(image.size));
        Put32(&out, offset);
        offset += IconImageBytes(image.size);
    }
    for (const IconImage& image : images) {
        const int n = image.size;
        // An icon's header states the height of the colour and mask bitmaps together.
        PutInfoHeader(&out, n, 2 * n, 4, (PaddedRowBytes(n, 4) + PaddedRowBytes(n, 1)) * n);
        for (Rgb colour : ClassicPalette()) {
            out.push_back(static_cast<uint8_t>(colour));
            out.push_back(static_cast<uint8_t>(colour >> 8));
            out.push_back(static_cast<uint8_t>(colour >> 16));
            out.push_back(0);
        }
        const auto at = [n](int x, int y) { return static_cast<size_t>(y) * n + x; };
        // Transparent pixels are black in the colour bitmap, so that AND then XOR leaves the screen.
        PutPackedRows(&out, n, 4,
                      [&](int x, int y) { return image.transparent[at(x, y)] ? 0 : image.indices[at(x, y)] & 0x0F; });
        PutPackedRows(&out, n, 1, [&](int x, int y) { return image.transparent[at(x, y)] ? 1 : 0; });
    }
    return out;
}
