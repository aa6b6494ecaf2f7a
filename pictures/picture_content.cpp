#include "pictures/picture_content.h"

#include <cstring>

namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
}

bool PcxHeaderStart(const uint8_t* data, size_t size) {
    if (size < 3 || data[0] != 0x0A) return false;
    const uint8_t version = data[1];
    const bool knownVersion = version == 0 || version == 2 || version == 3 || version == 4 || version == 5;
    return knownVersion && data[2] == 1;
}

uint32_t Little16(const uint8_t* at) { return static_cast<uint32_t>(at[0] | at[1] << 8); }
uint32_t Little32(const uint8_t* at) { return Little16(at) | Little16(at + 2) << 16; }

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
// The info header and its later versions, up to the fifth.
constexpr uint32_t kInfoHeaderSizes[] = {40, 52, 56, 64, 108, 124};
constexpr uint32_t kPlainRows = 0, kRunLength8 = 1, kRunLength4 = 2, kBitFields = 3;

struct BmpHeader {
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = kPlainRows;
    uint32_t coloursUsed = 0;
    uint32_t headerSize = 0;
    uint32_t paletteEntrySize = 4;
};

bool ReadBmpHeader(const uint8_t* data, size_t size, BmpHeader* header) {
    if (size < kFileHeaderSize + 4) return false;
    header->headerSize = Little32(data + kFileHeaderSize);
    if (kFileHeaderSize + static_cast<uint64_t>(header->headerSize) > size) return false;
    const uint8_t* info = data + kFileHeaderSize;
    if (header->headerSize == kCoreHeaderSize) {
        header->width = Little16(info + 4);
        header->height = Little16(info + 6);
        header->bits = Little16(info + 10);
        header->paletteEntrySize = 3;
        return true;
    }
    bool known = false;
    for (uint32_t infoSize : kInfoHeaderSizes) known = known || header->headerSize == infoSize;
    if (!known) return false;
    header->width = static_cast<int32_t>(Little32(info + 4));
    header->height = static_cast<int32_t>(Little32(info + 8));
    header->bits = Little16(info + 14);
    header->compression = Little32(info + 16);
    header->coloursUsed = Little32(info + 32);
    return true;
}

bool BitsFitCompression(uint32_t bits, uint32_t compression) {
    switch (compression) {
        case kPlainRows: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case kRunLength8: return bits == 8;
        case kRunLength4: return bits == 4;
        case kBitFields: return bits == 16 || bits == 32;
    }
    return false;
}

}  // namespace

PictureContent PictureContentOf(const uint8_t* data, size_t size) {
    if (data == nullptr) return PictureContent::Unknown;
    if (StartsWith(data, size, "\xFF\xD8\xFF", 3)) return PictureContent::Jpeg;
    if (StartsWith(data, size, "BM", 2)) return PictureContent::Bmp;
    if (StartsWith(data, size, "II*\0", 4) || StartsWith(data, size, "MM\0*", 4)) return PictureContent::Tiff;
    if (StartsWith(data, size, "8BPS", 4)) return PictureContent::Psd;
    if (PcxHeaderStart(data, size)) return PictureContent::Pcx;
    return PictureContent::Unknown;
}

bool BmpLayoutInside(const uint8_t* data, size_t size) {
    BmpHeader header;
    if (PictureContentOf(data, size) != PictureContent::Bmp || !ReadBmpHeader(data, size, &header)) return false;
    // A negative height means rows stored top-down; INT32_MIN stays negative in 64 bits.
    const uint64_t rows = static_cast<uint64_t>(header.height < 0 ? -header.height : header.height);
    if (header.width <= 0 || rows == 0 || !BitsFitCompression(header.bits, header.compression)) return false;
    // Three masks follow a plain info header; the later versions hold them inside.
    uint64_t headersEnd = kFileHeaderSize + static_cast<uint64_t>(header.headerSize);
    if (header.compression == kBitFields && header.headerSize == 40) headersEnd += 12;
    uint64_t colours = 0;
    if (header.bits <= 8) colours = header.coloursUsed != 0 ? header.coloursUsed : 1u << header.bits;
    const uint64_t pixelOffset = Little32(data + 10);
    if (headersEnd + colours * header.paletteEntrySize > size) return false;
    if (pixelOffset < headersEnd || pixelOffset >= size) return false;
    if (header.compression == kRunLength8 || header.compression == kRunLength4) return true;
    // Each row is padded to whole 32-bit words; divided rather than multiplied, as rows times row
    // bytes can pass 64 bits.
    const uint64_t rowBytes = (static_cast<uint64_t>(header.width) * header.bits + 31) / 32 * 4;
    return rowBytes <= (size - pixelOffset) / rows;
}
