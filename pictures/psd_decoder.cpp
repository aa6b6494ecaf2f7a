// PSD: a big-endian header, three length-prefixed sections (colour mode data, image resources,
// layers and masks) and last the merged picture, stored channel after channel. Only that merged
// picture is shown, so the three sections are skipped, apart from an indexed picture's palette
// and the colour profile among the image resources.
#include <cstring>
#include <vector>

#include "pictures/byte_reader.h"
#include "pictures/colour_profile.h"
#include "pictures/decoded_picture.h"

namespace {

constexpr uint16_t kVersion = 1;
constexpr uint16_t kMaxChannels = 56;
constexpr uint16_t kGreyscaleMode = 1;
constexpr uint16_t kIndexedMode = 2;
constexpr uint16_t kRgbMode = 3;
constexpr uint32_t kIndexedPaletteSize = 256 * 3;
constexpr uint16_t kRawCompression = 0;
constexpr uint16_t kPackBitsCompression = 1;
// A two-byte PackBits packet repeats a byte at most 128 times.
constexpr uint64_t kLongestPackBitsRun = 64;

struct PsdLayout {
    uint16_t channels = 0;  // every channel stored, alpha and spot channels included
    uint16_t mode = 0;
    int colourChannels = 0;  // the leading channels that make up the picture
    int64_t width = 0;
    int64_t height = 0;
    size_t sampleBytes = 0;
    const uint8_t* palette = nullptr;  // indexed: 256 reds, then 256 greens, then 256 blues
    uint16_t compression = 0;
    ByteReader imageData;
    const uint8_t* profile = nullptr;  // image resource 1039, when there is one
    uint32_t profileSize = 0;
};

bool SkipSection(ByteReader* reader, const uint8_t** content, uint32_t* length) {
    return ReadU32BE(reader, length) && TakeBytes(reader, *length, content);
}

// Image resources: "8BIM", a 16-bit id, a Pascal name padded to an even length, then a 32-bit
// size and that many bytes, again padded to an even length. The first that is a profile counts.
constexpr uint16_t kProfileResource = 1039;

void FindProfile(const uint8_t* resources, uint32_t length, PsdLayout* layout) {
    ByteReader reader = MakeByteReader(resources, length);
    const uint8_t* signature = nullptr;
    const uint8_t* content = nullptr;
    uint16_t id = 0;
    uint8_t nameLength = 0;
    uint32_t size = 0;
    while (TakeBytes(&reader, 4, &signature) && std::memcmp(signature, "8BIM", 4) == 0 && ReadU16BE(&reader, &id) &&
           ReadU8(&reader, &nameLength) && SkipBytes(&reader, nameLength | 1u) && ReadU32BE(&reader, &size) &&
           TakeBytes(&reader, size, &content)) {
        if (id == kProfileResource && size > 0 && size <= kMaxProfileBytes) {
            layout->profile = content;
            layout->profileSize = size;
            return;
        }
        if (size % 2 != 0 && !SkipBytes(&reader, 1)) return;
    }
}

bool ReadLayout(const uint8_t* data, size_t size, PsdLayout* layout) {
    ByteReader reader = MakeByteReader(data, size);
    const uint8_t* signature = nullptr;
    uint16_t version = 0, depth = 0;
    uint32_t height = 0, width = 0;
    if (!TakeBytes(&reader, 4, &signature) || std::memcmp(signature, "8BPS", 4) != 0 || !ReadU16BE(&reader, &version) ||
        version != kVersion || !SkipBytes(&reader, 6) || !ReadU16BE(&reader, &layout->channels) ||
        !ReadU32BE(&reader, &height) || !ReadU32BE(&reader, &width) || !ReadU16BE(&reader, &depth) ||
        !ReadU16BE(&reader, &layout->mode)) {
        return false;
    }
    const uint16_t mode = layout->mode;
    if (mode != kGreyscaleMode && mode != kIndexedMode && mode != kRgbMode) return false;
    if (depth != 8 && !(depth == 16 && mode != kIndexedMode)) return false;
    layout->colourChannels = mode == kRgbMode ? 3 : 1;
    if (layout->channels < layout->colourChannels || layout->channels > kMaxChannels) return false;
    if (!PictureSizeAllowed(width, height)) return false;
    layout->width = width;
    layout->height = height;
    layout->sampleBytes = depth / 8;

    const uint8_t* section = nullptr;
    uint32_t length = 0;
    if (!SkipSection(&reader, &section, &length)) return false;
    if (mode == kIndexedMode) {
        if (length != kIndexedPaletteSize) return false;
        layout->palette = section;
    }
    if (!SkipSection(&reader, &section, &length)) return false;
    FindProfile(section, length, layout);
    if (!SkipSection(&reader, &section, &length)) return false;
    if (!ReadU16BE(&reader, &layout->compression)) return false;
    if (layout->compression != kRawCompression && layout->compression != kPackBitsCompression) return false;
    layout->imageData = reader;
    return true;
}

size_t RowBytes(const PsdLayout& layout) { return static_cast<size_t>(layout.width) * layout.sampleBytes; }

// Sixteen-bit samples are scaled by 1/257 with the remainder dropped, which is what ImageMagick
// (the reference for these decoders) shows; taking the high byte instead differs for half of
// all values.
uint8_t EightBitSample(const PsdLayout& layout, const uint8_t* row, size_t x) {
    if (layout.sampleBytes == 1) return row[x];
    return static_cast<uint8_t>(((row[2 * x] << 8) | row[2 * x + 1]) / 257);
}

void StoreChannelRow(const PsdLayout& layout, int channel, int64_t y, const uint8_t* row, DecodedPicture* out) {
    const size_t width = static_cast<size_t>(layout.width);
    const size_t firstPixel = static_cast<size_t>(y) * width;
    for (size_t x = 0; x < width; ++x) {
        const uint8_t sample = EightBitSample(layout, row, x);
        if (layout.mode == kRgbMode) {
            // Channels 0, 1, 2 are red, green, blue; the pixel bytes run blue, green, red.
            out->bgra[(firstPixel + x) * 4 + static_cast<size_t>(2 - channel)] = sample;
        } else if (layout.mode == kIndexedMode) {
            const uint8_t* palette = layout.palette;
            StorePixel(out, firstPixel + x, palette[sample], palette[256 + sample], palette[512 + sample]);
        } else {
            StorePixel(out, firstPixel + x, sample, sample, sample);
        }
    }
}

bool DecodeRaw(const PsdLayout& layout, DecodedPicture* out) {
    ByteReader reader = layout.imageData;
    const uint64_t channelBytes = static_cast<uint64_t>(layout.height) * RowBytes(layout);
    const uint8_t* samples = nullptr;
    if (!TakeBytes(&reader, channelBytes * layout.channels, &samples)) return false;
    if (!StartPicture(layout.width, layout.height, out)) return false;
    for (int channel = 0; channel < layout.colourChannels; ++channel) {
        for (int64_t y = 0; y < layout.height; ++y) {
            const size_t row = static_cast<size_t>(channel * layout.height + y);
            StoreChannelRow(layout, channel, y, samples + row * RowBytes(layout), out);
        }
    }
    return true;
}

// One row must come out exactly full: a packet reaching past the row, or a row left short,
// means the counts and the data disagree, and the file is refused.
bool UnpackRow(const uint8_t* packed, size_t packedLength, uint8_t* row, size_t rowLength) {
    ByteReader input = MakeByteReader(packed, packedLength);
    size_t filled = 0;
    uint8_t header = 0;
    while (ReadU8(&input, &header)) {
        if (header == 128) continue;
        const size_t count = header < 128 ? header + 1u : 257u - header;
        if (count > rowLength - filled) return false;
        const uint8_t* bytes = nullptr;
        if (!TakeBytes(&input, header < 128 ? count : 1, &bytes)) return false;
        if (header < 128) {
            std::memcpy(row + filled, bytes, count);
        } else {
            std::memset(row + filled, bytes[0], count);
        }
        filled += count;
    }
    return filled == rowLength;
}

bool DecodePackBits(const PsdLayout& layout, DecodedPicture* out) {
    ByteReader reader = layout.imageData;
    const uint64_t rows = static_cast<uint64_t>(layout.channels) * static_cast<uint64_t>(layout.height);
    const uint8_t* counts = nullptr;
    if (!TakeBytes(&reader, rows * 2, &counts)) return false;
    const uint64_t colourRows = static_cast<uint64_t>(layout.colourChannels) * static_cast<uint64_t>(layout.height);
    uint64_t allBytes = 0, colourBytes = 0;
    for (uint64_t row = 0; row < rows; ++row) {
        const uint64_t count = static_cast<uint64_t>((counts[row * 2] << 8) | counts[row * 2 + 1]);
        allBytes += count;
        if (row < colourRows) colourBytes += count;
    }
    // Every channel's data must be present, and the colour channels must be able to fill the
    // picture, before the picture is allocated.
    if (allBytes > BytesLeft(reader) || colourBytes * kLongestPackBitsRun < colourRows * RowBytes(layout)) return false;
    if (!StartPicture(layout.width, layout.height, out)) return false;
    std::vector<uint8_t> unpacked(RowBytes(layout));
    for (uint64_t row = 0; row < colourRows; ++row) {
        const size_t count = static_cast<size_t>((counts[row * 2] << 8) | counts[row * 2 + 1]);
        const uint8_t* packed = nullptr;
        if (!TakeBytes(&reader, count, &packed) || !UnpackRow(packed, count, unpacked.data(), unpacked.size())) {
            return false;
        }
        const int channel = static_cast<int>(row / static_cast<uint64_t>(layout.height));
        StoreChannelRow(layout, channel, static_cast<int64_t>(row % static_cast<uint64_t>(layout.height)),
                        unpacked.data(), out);
    }
    return true;
}

}  // namespace

// Kept where it describes the colours the picture is shown in: RGB and indexed pictures are RGB.
void KeepProfile(const PsdLayout& layout, DecodedPicture* out) {
    out->profile.assign(layout.profile, layout.profile + layout.profileSize);
    const ProfileSpace wanted = layout.mode == kGreyscaleMode ? ProfileSpace::Grey : ProfileSpace::Rgb;
    if (ProfileSpaceOf(out->profile) != wanted) out->profile.clear();
}

bool DecodePsd(const uint8_t* data, size_t size, DecodedPicture* out) {
    PsdLayout layout;
    if (!ReadLayout(data, size, &layout)) return false;
    if (!(layout.compression == kRawCompression ? DecodeRaw(layout, out) : DecodePackBits(layout, out))) return false;
    KeepProfile(layout, out);
    return true;
}
