#include "catalogue/wave_header.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <initializer_list>

#include "pictures/byte_reader.h"

namespace {

constexpr uint32_t FourCc(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           (static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24);
}

constexpr uint32_t kRiff = FourCc("RIFF");
constexpr uint32_t kWave = FourCc("WAVE");
constexpr uint32_t kFormatChunk = FourCc("fmt ");
constexpr uint32_t kDataChunk = FourCc("data");

// Format tags from the registered list.
constexpr uint16_t kPcm = 0x0001;
constexpr uint16_t kMsAdpcm = 0x0002;
constexpr uint16_t kIeeeFloat = 0x0003;
constexpr uint16_t kALaw = 0x0006;
constexpr uint16_t kMuLaw = 0x0007;
constexpr uint16_t kImaAdpcm = 0x0011;
constexpr uint16_t kGsm610 = 0x0031;
constexpr uint16_t kMpegLayer3 = 0x0055;
constexpr uint16_t kExtensible = 0xFFFE;

constexpr uint16_t kMaxChannels = 8;
constexpr uint32_t kMaxSampleRate = 384000;
constexpr size_t kCommonFieldBytes = 16;    // up to wBitsPerSample
constexpr size_t kExtendedFieldBytes = 18;  // with cbSize

// The fields every format shares, and the format's own bytes that follow cbSize.
struct WaveFormat {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t averageBytes = 0;
    uint16_t blockAlign = 0;
    uint16_t bits = 0;
    ByteReader extra;
};

bool AllowedBits(uint16_t bits, std::initializer_list<uint16_t> allowed) {
    return std::find(allowed.begin(), allowed.end(), bits) != allowed.end();
}

// Uncompressed samples: whole frames of `bits`-wide samples, and the rate they make.
WaveVerdict CheckLinear(const WaveFormat& format, bool floating) {
    const bool bitsAllowed = floating ? AllowedBits(format.bits, {32, 64}) : AllowedBits(format.bits, {8, 16, 24, 32});
    if (!bitsAllowed || format.blockAlign != format.channels * format.bits / 8 ||
        format.averageBytes != static_cast<uint64_t>(format.sampleRate) * format.blockAlign) {
        return WaveVerdict::BadSampleLayout;
    }
    return WaveVerdict::Playable;
}

// The low two bytes of the sub-format GUID carry the plain format tag; the rest is fixed.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

WaveVerdict CheckExtensible(WaveFormat format) {
    uint16_t validBits = 0, subFormat = 0;
    uint32_t channelMask = 0;
    const uint8_t* tail = nullptr;
    if (!ReadU16LE(&format.extra, &validBits) || !ReadU32LE(&format.extra, &channelMask) ||
        !ReadU16LE(&format.extra, &subFormat) || !TakeBytes(&format.extra, sizeof(kSubFormatTail), &tail) ||
        std::memcmp(tail, kSubFormatTail, sizeof(kSubFormatTail)) != 0 || validBits == 0 || validBits > format.bits ||
        std::bitset<32>(channelMask).count() > format.channels) {
        return WaveVerdict::BadFormatExtra;
    }
    if (subFormat != kPcm && subFormat != kIeeeFloat) return WaveVerdict::UnknownFormat;
    return CheckLinear(format, subFormat == kIeeeFloat);
}

// Block-coded formats state their rate as whole blocks a second, rounded either way.
bool RateMatchesBlocks(const WaveFormat& format, uint16_t samplesPerBlock) {
    if (samplesPerBlock == 0) return false;
    const uint64_t stated = static_cast<uint64_t>(format.averageBytes) * samplesPerBlock;
    const uint64_t exact = static_cast<uint64_t>(format.sampleRate) * format.blockAlign;
    return (stated > exact ? stated - exact : exact - stated) < samplesPerBlock;
}

// How an ADPCM block is laid out, per channel: a header of `headerBytes` holding `headerSamples`
// samples, then 4-bit samples in groups of `groupBytes`. Mono or stereo only.
struct AdpcmLayout {
    unsigned headerBytes;
    unsigned headerSamples;
    unsigned groupBytes;
};

WaveVerdict CheckAdpcmBlocks(const WaveFormat& format, uint16_t samplesPerBlock, const AdpcmLayout& layout) {
    const unsigned headers = layout.headerBytes * format.channels;
    if (format.channels > 2 || format.bits != 4 || format.blockAlign <= headers ||
        (format.blockAlign - headers) % (layout.groupBytes * format.channels) != 0) {
        return WaveVerdict::BadSampleLayout;
    }
    if (samplesPerBlock != (format.blockAlign - headers) * 2 / format.channels + layout.headerSamples ||
        !RateMatchesBlocks(format, samplesPerBlock)) {
        return WaveVerdict::BadFormatExtra;
    }
    return WaveVerdict::Playable;
}

// Microsoft ADPCM: per channel a 7-byte block header holding two samples, then 4-bit samples;
// the coefficient table is the standard one of seven pairs.
constexpr int16_t kMsAdpcmCoefficients[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                                {240, 0}, {460, -208}, {392, -232}};

WaveVerdict CheckMsAdpcm(WaveFormat format) {
    uint16_t samplesPerBlock = 0, coefficientCount = 0;
    if (!ReadU16LE(&format.extra, &samplesPerBlock) || !ReadU16LE(&format.extra, &coefficientCount) ||
        coefficientCount != 7) {
        return WaveVerdict::BadFormatExtra;
    }
    for (const auto& pair : kMsAdpcmCoefficients) {
        for (const int16_t expected : pair) {
            uint16_t value = 0;
            if (!ReadU16LE(&format.extra, &value) || static_cast<int16_t>(value) != expected) {
                return WaveVerdict::BadFormatExtra;
            }
        }
    }
    return CheckAdpcmBlocks(format, samplesPerBlock, {7, 2, 1});
}

// IMA ADPCM: per channel a 4-byte header holding one sample, then 4-bit samples in 4-byte words.
WaveVerdict CheckImaAdpcm(WaveFormat format) {
    uint16_t samplesPerBlock = 0;
    if (!ReadU16LE(&format.extra, &samplesPerBlock)) return WaveVerdict::BadFormatExtra;
    return CheckAdpcmBlocks(format, samplesPerBlock, {4, 1, 4});
}

// GSM 6.10 as Microsoft stores it: mono, two 160-sample frames in 65 bytes.
WaveVerdict CheckGsm610(WaveFormat format) {
    uint16_t samplesPerBlock = 0;
    if (format.channels != 1 || format.blockAlign != 65) return WaveVerdict::BadSampleLayout;
    if (!ReadU16LE(&format.extra, &samplesPerBlock) || samplesPerBlock != 320 ||
        !RateMatchesBlocks(format, samplesPerBlock)) {
        return WaveVerdict::BadFormatExtra;
    }
    return WaveVerdict::Playable;
}

// One byte per sample and channel.
WaveVerdict CheckCompanding(const WaveFormat& format) {
    if (format.bits != 8 || format.blockAlign != format.channels ||
        format.averageBytes != static_cast<uint64_t>(format.sampleRate) * format.channels) {
        return WaveVerdict::BadSampleLayout;
    }
    return WaveVerdict::Playable;
}

// MPEG layer 3: the MPEGLAYER3WAVEFORMAT fields, at one of the rates MPEG defines.
WaveVerdict CheckMpegLayer3(WaveFormat format) {
    constexpr uint32_t kMpegRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    if (format.channels > 2 ||
        std::find(std::begin(kMpegRates), std::end(kMpegRates), format.sampleRate) == std::end(kMpegRates)) {
        return WaveVerdict::BadSampleLayout;
    }
    constexpr uint16_t kMpegId = 1;
    uint16_t id = 0, blockSize = 0, framesPerBlock = 0;
    uint32_t flags = 0;
    if (!ReadU16LE(&format.extra, &id) || !ReadU32LE(&format.extra, &flags) || !ReadU16LE(&format.extra, &blockSize) ||
        !ReadU16LE(&format.extra, &framesPerBlock) || id != kMpegId || blockSize == 0 || framesPerBlock == 0) {
        return WaveVerdict::BadFormatExtra;
    }
    return WaveVerdict::Playable;
}

WaveVerdict CheckFormat(const uint8_t* body, uint32_t size) {
    ByteReader reader = MakeByteReader(body, size);
    WaveFormat format;
    if (!ReadU16LE(&reader, &format.tag) || !ReadU16LE(&reader, &format.channels) ||
        !ReadU32LE(&reader, &format.sampleRate) || !ReadU32LE(&reader, &format.averageBytes) ||
        !ReadU16LE(&reader, &format.blockAlign) || !ReadU16LE(&reader, &format.bits)) {
        return WaveVerdict::NoFormat;
    }
    // The format's own fields: exactly cbSize bytes, all inside the chunk.
    uint16_t extraSize = 0;
    if (size >= kExtendedFieldBytes) {
        const uint8_t* extra = nullptr;
        if (!ReadU16LE(&reader, &extraSize) || !TakeBytes(&reader, extraSize, &extra)) {
            return WaveVerdict::BadFormatExtra;
        }
        format.extra = MakeByteReader(extra, extraSize);
    }
    if (format.channels == 0 || format.channels > kMaxChannels) return WaveVerdict::BadChannels;
    if (format.sampleRate == 0 || format.sampleRate > kMaxSampleRate) return WaveVerdict::BadSampleRate;
    if (format.blockAlign == 0 || format.averageBytes == 0) return WaveVerdict::BadSampleLayout;
    switch (format.tag) {
        case kPcm: return CheckLinear(format, false);
        case kIeeeFloat: return CheckLinear(format, true);
        case kExtensible: return CheckExtensible(format);
        case kMsAdpcm: return CheckMsAdpcm(format);
        case kImaAdpcm: return CheckImaAdpcm(format);
        case kGsm610: return CheckGsm610(format);
        case kALaw:
        case kMuLaw: return CheckCompanding(format);
        case kMpegLayer3: return CheckMpegLayer3(format);
        default: return WaveVerdict::UnknownFormat;
    }
}

}  // namespace

WaveVerdict CheckWaveHeader(const uint8_t* head, size_t headSize, uint64_t fileSize) {
    ByteReader reader = MakeByteReader(head, static_cast<size_t>(std::min<uint64_t>(headSize, fileSize)));
    uint32_t riff = 0, riffSize = 0, wave = 0;
    if (!ReadU32LE(&reader, &riff) || !ReadU32LE(&reader, &riffSize) || !ReadU32LE(&reader, &wave) || riff != kRiff ||
        wave != kWave) {
        return WaveVerdict::NotRiffWave;
    }
    // Chunks end with the RIFF chunk or the file, whichever comes first; a few stray bytes after
    // the last whole chunk are ignored.
    const uint64_t end = std::min<uint64_t>(uint64_t{8} + riffSize, fileSize);
    bool formatSeen = false;
    // Every step moves on by at least a chunk header, so the walk ends.
    for (uint64_t at = reader.position; at + 8 <= end && at + 8 <= reader.size;) {
        reader.position = static_cast<size_t>(at);
        uint32_t id = 0, size = 0;
        ReadU32LE(&reader, &id);
        ReadU32LE(&reader, &size);
        const uint64_t bodyEnd = at + 8 + size;
        if (bodyEnd > end) return WaveVerdict::ChunkOutOfBounds;
        if (id == kFormatChunk && !formatSeen) {
            // The player reads the first fmt chunk, and the data chunk only after it.
            const uint8_t* body = nullptr;
            if (size < kCommonFieldBytes || !TakeBytes(&reader, size, &body)) return WaveVerdict::NoFormat;
            const WaveVerdict verdict = CheckFormat(body, size);
            if (verdict != WaveVerdict::Playable) return verdict;
            formatSeen = true;
        } else if (id == kDataChunk && formatSeen) {
            return size > 0 ? WaveVerdict::Playable : WaveVerdict::NoData;
        }
        // A chunk of odd size is followed by a pad byte.
        at = bodyEnd + (size & 1);
    }
    return formatSeen ? WaveVerdict::NoData : WaveVerdict::NoFormat;
}
