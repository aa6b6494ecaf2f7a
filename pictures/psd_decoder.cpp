// PSD: a big-endian header, three length-prefixed sections (colour mode data, image resources,
// layers and masks) and last the merged picture, stored channel after channel. Only that merged
// picture is shown, so the three sections are skipped, apart from an indexed picture's palette
// and the colour profile among the image resources. Photoshop stores the merged picture matted on
// white, and its colour channels are drawn as they are; a document saved without "maximize
// compatibility" holds a blank one, which is what shows.
#include <cstring>
#include <memory>
#include <vector>

#include "pictures/byte_reader.h"
#include "pictures/colour_conversion.h"
#include "pictures/colour_models.h"
#include "pictures/colour_profile.h"
#include "pictures/decoded_picture.h"

namespace {

constexpr uint16_t kVersion = 1;
constexpr uint16_t kMaxChannels = 56;
constexpr uint16_t kBitmapMode = 0;
constexpr uint16_t kGreyscaleMode = 1;
constexpr uint16_t kIndexedMode = 2;
constexpr uint16_t kRgbMode = 3;
constexpr uint16_t kCmykMode = 4;
constexpr uint16_t kMultichannelMode = 7;
constexpr uint16_t kDuotoneMode = 8;
constexpr uint16_t kLabMode = 9;
constexpr uint32_t kIndexedPaletteSize = 256 * 3;
constexpr uint16_t kRawCompression = 0;
constexpr uint16_t kPackBitsCompression = 1;
// A two-byte PackBits packet repeats a byte at most 128 times.
constexpr uint64_t kLongestPackBitsRun = 64;
constexpr int kMostColourChannels = 4;

// Each mode shown, the leading channels its picture is made of and the depths Photoshop writes it
// in. Multichannel shows its first channel as grey, and duotone the grey it stores, without the
// inks its colour mode data describes.
struct ModeRule {
    uint16_t mode;
    int colourChannels;
    uint16_t depths[3];
};
constexpr ModeRule kModeRules[] = {
    {kBitmapMode, 1, {1}},   {kGreyscaleMode, 1, {8, 16, 32}}, {kIndexedMode, 1, {8}}, {kRgbMode, 3, {8, 16, 32}},
    {kCmykMode, 4, {8, 16}}, {kMultichannelMode, 1, {8, 16}},  {kDuotoneMode, 1, {8}}, {kLabMode, 3, {8, 16}},
};

struct PsdLayout {
    uint16_t channels = 0;  // every channel stored, alpha and spot channels included
    uint16_t mode = 0;
    uint16_t depth = 0;
    int colourChannels = 0;  // the leading channels that make up the picture
    int64_t width = 0;
    int64_t height = 0;
    size_t rowBytes = 0;               // one row of one channel, padded to whole bytes
    const uint8_t* palette = nullptr;  // indexed: 256 reds, then 256 greens, then 256 blues
    uint16_t compression = 0;
    ByteReader imageData;
    const uint8_t* profile = nullptr;  // image resource 1039, when there is one
    uint32_t profileSize = 0;
    const ColourTransform* cmyk = nullptr;  // CMYK through its profile, where Little CMS takes it
};

bool SkipSection(ByteReader* reader, const uint8_t** content, uint32_t* length) {
    return ReadU32BE(reader, length) && TakeBytes(reader, *length, content);
}

const ModeRule* RuleFor(uint16_t mode, uint16_t depth) {
    for (const ModeRule& rule : kModeRules) {
        if (rule.mode != mode) continue;
        for (uint16_t allowed : rule.depths) {
            if (allowed != 0 && allowed == depth) return &rule;
        }
    }
    return nullptr;
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
    uint16_t version = 0;
    uint32_t height = 0, width = 0;
    if (!TakeBytes(&reader, 4, &signature) || std::memcmp(signature, "8BPS", 4) != 0 || !ReadU16BE(&reader, &version) ||
        version != kVersion || !SkipBytes(&reader, 6) || !ReadU16BE(&reader, &layout->channels) ||
        !ReadU32BE(&reader, &height) || !ReadU32BE(&reader, &width) || !ReadU16BE(&reader, &layout->depth) ||
        !ReadU16BE(&reader, &layout->mode)) {
        return false;
    }
    const ModeRule* rule = RuleFor(layout->mode, layout->depth);
    if (rule == nullptr) return false;
    layout->colourChannels = rule->colourChannels;
    if (layout->channels < layout->colourChannels || layout->channels > kMaxChannels) return false;
    if (!PictureSizeAllowed(width, height)) return false;
    layout->width = width;
    layout->height = height;
    layout->rowBytes = (static_cast<size_t>(width) * layout->depth + 7) / 8;

    const uint8_t* section = nullptr;
    uint32_t length = 0;
    if (!SkipSection(&reader, &section, &length)) return false;
    if (layout->mode == kIndexedMode) {
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

uint32_t SixteenBits(const uint8_t* bytes) { return static_cast<uint32_t>((bytes[0] << 8) | bytes[1]); }

// Thirty-two-bit samples are linear light, as IEEE floats.
double FloatSample(const uint8_t* bytes) {
    const uint32_t bits = (SixteenBits(bytes) << 16) | SixteenBits(bytes + 2);
    float sample = 0;
    std::memcpy(&sample, &bits, sizeof sample);
    return sample;
}

// Sixteen-bit samples are scaled by 1/257 with the remainder dropped, which is what ImageMagick
// (the reference for these decoders) shows; taking the high byte instead differs for half of
// all values.
uint8_t EightBitSample(const PsdLayout& layout, const uint8_t* row, size_t x) {
    if (layout.depth == 8) return row[x];
    if (layout.depth == 16) return static_cast<uint8_t>(SixteenBits(row + 2 * x) / 257);
    return LinearToSrgb8(FloatSample(row + 4 * x));
}

// Photoshop's L* a* b*: L* 0..100 over the whole range, a* and b* offset by half of it, in steps
// of 1 at 8 bits and 1/256 at 16.
Rgb8 LabPixel(const PsdLayout& layout, const uint8_t* const* rows, size_t x) {
    if (layout.depth == 8) return LabToSrgb(rows[0][x] * 100.0 / 255.0, rows[1][x] - 128.0, rows[2][x] - 128.0);
    const size_t at = 2 * x;
    return LabToSrgb(SixteenBits(rows[0] + at) * 100.0 / 65535.0, (SixteenBits(rows[1] + at) - 32768.0) / 256.0,
                     (SixteenBits(rows[2] + at) - 32768.0) / 256.0);
}

// The mode is a constant here, so that each mode's row loop is made without the others' cases.
template <uint16_t mode>
Rgb8 Pixel(const PsdLayout& layout, const uint8_t* const* rows, size_t x) {
    auto sample = [&](int channel) { return EightBitSample(layout, rows[channel], x); };
    switch (mode) {
        case kBitmapMode: {
            // One bit a pixel, the first in the high bit; 1 is black.
            const uint8_t level = (rows[0][x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
            return Rgb8{level, level, level};
        }
        case kIndexedMode: {
            const uint8_t* palette = layout.palette;
            const uint8_t index = rows[0][x];
            return Rgb8{palette[index], palette[256 + index], palette[512 + index]};
        }
        case kRgbMode: return Rgb8{sample(0), sample(1), sample(2)};
        case kCmykMode: {
            // At full precision: dropping sixteen-bit samples to eight first would be 2 off.
            auto ink = [&](int channel) {
                return layout.depth == 8 ? rows[channel][x] : SixteenBits(rows[channel] + 2 * x);
            };
            return InvertedCmykToRgb(ink(0), ink(1), ink(2), ink(3), layout.depth == 8 ? 255 : 65535);
        }
        case kLabMode: return LabPixel(layout, rows, x);
        default: {
            const uint8_t level = sample(0);
            return Rgb8{level, level, level};
        }
    }
}

template <uint16_t mode>
void StoreRowIn(const PsdLayout& layout, const uint8_t* const* rows, int64_t y, DecodedPicture* out) {
    const size_t width = static_cast<size_t>(layout.width);
    const size_t firstPixel = static_cast<size_t>(y) * width;
    for (size_t x = 0; x < width; ++x) {
        const Rgb8 rgb = Pixel<mode>(layout, rows, x);
        StorePixel(out, firstPixel + x, rgb.red, rgb.green, rgb.blue);
    }
}

// The inks as Photoshop stores them (255 is none; sixteen bits reduced to eight as everywhere
// here) through the profile into the row's place, which the transform leaves holding black in
// each pixel's fourth byte until it is made opaque again.
void StoreProfiledCmykRow(const PsdLayout& layout, const uint8_t* const* rows, int64_t y, DecodedPicture* out) {
    const size_t width = static_cast<size_t>(layout.width);
    uint8_t* pixels = out->bgra.data() + static_cast<size_t>(y) * width * 4;
    for (size_t x = 0; x < width; ++x) {
        for (int channel = 0; channel < 4; ++channel)
            pixels[x * 4 + channel] = EightBitSample(layout, rows[channel], x);
    }
    TransformPixels(*layout.cmyk, pixels, width);
    for (size_t x = 0; x < width; ++x) pixels[x * 4 + 3] = 255;
}

// `rows` holds row y of each colour channel.
void StoreRow(const PsdLayout& layout, const uint8_t* const* rows, int64_t y, DecodedPicture* out) {
    switch (layout.mode) {
        case kBitmapMode: return StoreRowIn<kBitmapMode>(layout, rows, y, out);
        case kIndexedMode: return StoreRowIn<kIndexedMode>(layout, rows, y, out);
        case kRgbMode: return StoreRowIn<kRgbMode>(layout, rows, y, out);
        case kCmykMode:
            if (layout.cmyk != nullptr) return StoreProfiledCmykRow(layout, rows, y, out);
            return StoreRowIn<kCmykMode>(layout, rows, y, out);
        case kLabMode: return StoreRowIn<kLabMode>(layout, rows, y, out);
        default: return StoreRowIn<kGreyscaleMode>(layout, rows, y, out);
    }
}

bool DecodeRaw(const PsdLayout& layout, DecodedPicture* out) {
    ByteReader reader = layout.imageData;
    const uint64_t channelBytes = static_cast<uint64_t>(layout.height) * layout.rowBytes;
    const uint8_t* samples = nullptr;
    if (!TakeBytes(&reader, channelBytes * layout.channels, &samples)) return false;
    if (!StartPicture(layout.width, layout.height, out)) return false;
    const uint8_t* rows[kMostColourChannels] = {};
    for (int64_t y = 0; y < layout.height; ++y) {
        for (int channel = 0; channel < layout.colourChannels; ++channel) {
            rows[channel] =
                samples + static_cast<size_t>(channel * channelBytes) + static_cast<size_t>(y) * layout.rowBytes;
        }
        StoreRow(layout, rows, y, out);
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
    const uint64_t height = static_cast<uint64_t>(layout.height);
    const uint64_t rows = layout.channels * height;
    const uint8_t* counts = nullptr;
    if (!TakeBytes(&reader, rows * 2, &counts)) return false;
    auto count = [&](uint64_t row) { return static_cast<uint64_t>(SixteenBits(counts + row * 2)); };
    // Each colour channel's packed rows, one after another: where they start, and where they end.
    const uint64_t colourRows = static_cast<uint64_t>(layout.colourChannels) * height;
    uint64_t channelStart[kMostColourChannels] = {};
    uint64_t allBytes = 0, colourBytes = 0;
    for (uint64_t row = 0; row < rows; ++row) {
        if (row < colourRows && row % height == 0) channelStart[row / height] = allBytes;
        allBytes += count(row);
        if (row < colourRows) colourBytes = allBytes;
    }
    // Every channel's data must be present, and the colour channels must be able to fill the
    // picture, before the picture is allocated.
    if (allBytes > BytesLeft(reader) || colourBytes * kLongestPackBitsRun < colourRows * layout.rowBytes) return false;
    if (!StartPicture(layout.width, layout.height, out)) return false;
    ByteReader channelData[kMostColourChannels];
    for (int channel = 0; channel < layout.colourChannels; ++channel) {
        const uint64_t end = channel + 1 < layout.colourChannels ? channelStart[channel + 1] : colourBytes;
        channelData[channel] = MakeByteReader(reader.data + reader.position + channelStart[channel],
                                              static_cast<size_t>(end - channelStart[channel]));
    }
    std::vector<uint8_t> unpacked(layout.rowBytes * static_cast<size_t>(layout.colourChannels));
    const uint8_t* channelRows[kMostColourChannels] = {};
    for (uint64_t y = 0; y < height; ++y) {
        for (int channel = 0; channel < layout.colourChannels; ++channel) {
            const size_t length = static_cast<size_t>(count(static_cast<uint64_t>(channel) * height + y));
            uint8_t* row = unpacked.data() + static_cast<size_t>(channel) * layout.rowBytes;
            const uint8_t* packed = nullptr;
            if (!TakeBytes(&channelData[channel], length, &packed) ||
                !UnpackRow(packed, length, row, layout.rowBytes)) {
                return false;
            }
            channelRows[channel] = row;
        }
        StoreRow(layout, channelRows, static_cast<int64_t>(y), out);
    }
    return true;
}

// CMYK has to be RGB before the picture is fitted, so a CMYK profile is applied while decoding,
// straight to the display's; one that is not CMYK, or that Little CMS refuses, leaves the plain
// conversion.
std::shared_ptr<const ColourTransform> CmykTransform(const PsdLayout& layout, const DisplayProfile* display) {
    if (layout.mode != kCmykMode || layout.profile == nullptr) return nullptr;
    const std::vector<uint8_t> profile(layout.profile, layout.profile + layout.profileSize);
    return CmykTransformFor(profile, StoredPixels::InvertedCmyk, display);
}

// Kept where it describes the colours the picture is shown in, as stored: greyscale pictures are
// grey, RGB and indexed ones RGB. A 32-bit picture's profile is one of linear light, which is gone
// once the picture is encoded for sRGB; the other modes are turned into sRGB or grey as they are,
// CMYK by its profile as it is decoded.
void KeepProfile(const PsdLayout& layout, DecodedPicture* out) {
    const bool grey = layout.mode == kGreyscaleMode;
    out->profile.clear();
    if (layout.depth > 16 || !(grey || layout.mode == kRgbMode || layout.mode == kIndexedMode)) return;
    out->profile.assign(layout.profile, layout.profile + layout.profileSize);
    if (ProfileSpaceOf(out->profile) != (grey ? ProfileSpace::Grey : ProfileSpace::Rgb)) out->profile.clear();
}

}  // namespace

bool DecodePsd(const uint8_t* data, size_t size, DecodedPicture* out, const DisplayProfile* display) {
    PsdLayout layout;
    if (!ReadLayout(data, size, &layout)) return false;
    const std::shared_ptr<const ColourTransform> cmyk = CmykTransform(layout, display);
    layout.cmyk = cmyk.get();
    if (!(layout.compression == kRawCompression ? DecodeRaw(layout, out) : DecodePackBits(layout, out))) return false;
    KeepProfile(layout, out);
    return true;
}

bool DecodePsd(const uint8_t* data, size_t size, DecodedPicture* out) { return DecodePsd(data, size, out, nullptr); }
