#include "pictures/bmp_layout.h"

#include "pictures/colour_profile.h"

namespace {

uint32_t Little16(const uint8_t* at) { return static_cast<uint32_t>(at[0] | at[1] << 8); }
uint32_t Little32(const uint8_t* at) { return Little16(at) | Little16(at + 2) << 16; }

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kOs2HeaderSize = 64;
// The info header and its later versions, up to the fifth, and OS/2's second header.
constexpr uint32_t kInfoHeaderSizes[] = {40, 52, 56, kOs2HeaderSize, 108, 124};

bool BitsFitCompression(uint32_t bits, uint32_t compression) {
    switch (compression) {
        case kBmpPlainRows:
            return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case kBmpRunLength8: return bits == 8;
        case kBmpRunLength4: return bits == 4;
        case kBmpBitFields:
        case kBmpAlphaBitFields: return bits == 16 || bits == 32;
    }
    return false;
}

bool IsRunOfBits(uint32_t mask) {
    if (mask == 0) return true;
    while ((mask & 1) == 0) mask >>= 1;
    return (mask & (mask + 1)) == 0;
}

// Header fields into `layout`; `headersEnd` gets where the masks and the palette end or begin.
bool ReadHeader(const uint8_t* start, size_t startSize, BmpLayout* layout, uint32_t* coloursUsed,
                uint64_t* headersEnd) {
    if (startSize < kFileHeaderSize + 4 || start[0] != 'B' || start[1] != 'M') return false;
    const uint32_t headerSize = Little32(start + kFileHeaderSize);
    *headersEnd = kFileHeaderSize + static_cast<uint64_t>(headerSize);
    const uint8_t* info = start + kFileHeaderSize;
    if (headerSize == kCoreHeaderSize) {
        if (*headersEnd > startSize) return false;
        layout->width = static_cast<int32_t>(Little16(info + 4));
        layout->height = static_cast<int32_t>(Little16(info + 6));
        layout->bits = Little16(info + 10);
        layout->paletteEntrySize = 3;
        *coloursUsed = 0;
        return true;
    }
    bool known = false;
    for (uint32_t infoSize : kInfoHeaderSizes) known = known || headerSize == infoSize;
    if (!known || *headersEnd > startSize) return false;
    layout->compression = Little32(info + 16);
    // OS/2's codes 3 and 4 are Huffman and 24-bit run-length coding, not bit fields.
    if (headerSize == kOs2HeaderSize && layout->compression > kBmpRunLength4) return false;
    const bool masksAfter =
        headerSize == 40 && (layout->compression == kBmpBitFields || layout->compression == kBmpAlphaBitFields);
    if (masksAfter) *headersEnd += layout->compression == kBmpBitFields ? 12 : 16;
    if (*headersEnd > startSize) return false;
    const int64_t height = static_cast<int32_t>(Little32(info + 8));
    if (height == INT32_MIN) return false;
    layout->width = static_cast<int32_t>(Little32(info + 4));
    layout->height = static_cast<int32_t>(height < 0 ? -height : height);
    layout->topDown = height < 0;
    layout->bits = Little16(info + 14);
    *coloursUsed = Little32(info + 32);
    if (layout->compression == kBmpBitFields || layout->compression == kBmpAlphaBitFields) {
        for (int channel = 0; channel < 3; ++channel) layout->masks[channel] = Little32(info + 40 + 4 * channel);
    }
    return true;
}

// bV5CSType PROFILE_EMBEDDED: bV5ProfileData is the profile's offset from the header's start.
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint32_t kEmbeddedProfile = 0x4D424544;  // 'MBED'

void FindEmbeddedProfile(const uint8_t* start, uint64_t fileSize, BmpLayout* layout) {
    const uint8_t* info = start + kFileHeaderSize;
    if (Little32(info) != kV5HeaderSize || Little32(info + 56) != kEmbeddedProfile) return;
    const uint64_t offset = kFileHeaderSize + uint64_t{Little32(info + 112)};
    const uint32_t size = Little32(info + 116);
    if (size == 0 || size > kMaxProfileBytes || offset > fileSize || size > fileSize - offset) return;
    layout->profileOffset = offset;
    layout->profileSize = size;
}

void DefaultMasks(BmpLayout* layout) {
    static const uint32_t k16[3] = {0x7C00, 0x03E0, 0x001F};
    static const uint32_t k32[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    const uint32_t* masks = layout->bits == 16 ? k16 : k32;
    for (int channel = 0; channel < 3; ++channel) layout->masks[channel] = masks[channel];
}

}  // namespace

bool ReadBmpLayout(const uint8_t* start, size_t startSize, uint64_t fileSize, BmpLayout* layout) {
    uint32_t coloursUsed = 0;
    uint64_t headersEnd = 0;
    if (start == nullptr || startSize > fileSize || !ReadHeader(start, startSize, layout, &coloursUsed, &headersEnd)) {
        return false;
    }
    if (layout->width <= 0 || layout->height == 0 || !BitsFitCompression(layout->bits, layout->compression)) {
        return false;
    }
    if (layout->compression == kBmpPlainRows && layout->bits >= 16) DefaultMasks(layout);
    FindEmbeddedProfile(start, fileSize, layout);
    for (uint32_t mask : layout->masks) {
        if (!IsRunOfBits(mask)) return false;
    }
    uint64_t colours = 0;
    if (layout->bits <= 8) colours = coloursUsed != 0 ? coloursUsed : 1u << layout->bits;
    layout->pixelOffset = Little32(start + 10);
    layout->paletteOffset = headersEnd;
    if (headersEnd + colours * layout->paletteEntrySize > fileSize) return false;
    if (layout->pixelOffset < headersEnd || layout->pixelOffset >= fileSize) return false;
    // A palette longer than the depth can index holds unused entries; the pixels may start
    // inside one said to be longer than it is.
    const uint64_t beforePixels = (layout->pixelOffset - headersEnd) / layout->paletteEntrySize;
    const uint64_t indexable = layout->bits <= 8 ? uint64_t{1} << layout->bits : 0;
    const uint64_t usable = colours < indexable ? colours : indexable;
    layout->paletteColours = static_cast<uint32_t>(usable < beforePixels ? usable : beforePixels);
    if (layout->compression == kBmpRunLength8 || layout->compression == kBmpRunLength4) return true;
    // Each row is padded to whole 32-bit words; divided rather than multiplied, as rows times row
    // bytes can pass 64 bits.
    layout->rowBytes = (static_cast<uint64_t>(layout->width) * layout->bits + 31) / 32 * 4;
    return layout->rowBytes <= (fileSize - layout->pixelOffset) / static_cast<uint64_t>(layout->height);
}
