// The companion sound's header check: one valid file per format, then one mutation per field
// or structural rule, each refused for its own reason.
#include "catalogue/wave_header.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::string;

Bytes Le(uint64_t value, int bytes) {
    Bytes out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

Bytes Chunk(const char* id, const Bytes& body, uint32_t statedSize) {
    Bytes chunk = Bytes(id, 4) + Le(statedSize, 4) + body;
    if (body.size() % 2 == 1) chunk += '\0';
    return chunk;
}
Bytes Chunk(const char* id, const Bytes& body) { return Chunk(id, body, static_cast<uint32_t>(body.size())); }

Bytes Riff(const Bytes& chunks) { return "RIFF" + Le(chunks.size() + 4, 4) + "WAVE" + chunks; }

// A fmt chunk body from its common fields and the format's own bytes (cbSize counts them);
// `extra` null gives the 16-byte body without cbSize.
Bytes Format(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t average, uint16_t align, uint16_t bits,
             const Bytes* extra = nullptr) {
    Bytes body = Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(average, 4) + Le(align, 2) + Le(bits, 2);
    if (extra != nullptr) body += Le(extra->size(), 2) + *extra;
    return body;
}

const Bytes kSamples(100, '\x11');
Bytes Wave(const Bytes& format) { return Riff(Chunk("fmt ", format) + Chunk("data", kSamples)); }

const Bytes kNoExtra;
const Bytes kGuidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
const Bytes kPcm24Extra = Le(24, 2) + Le(0x4, 4) + Le(1, 2) + kGuidTail;
const Bytes kFloat32Extra = Le(32, 2) + Le(0x3, 4) + Le(3, 2) + kGuidTail;
const Bytes kAdpcmCoefficients = Le(256, 2) + Le(0, 2) + Le(512, 2) + Le(0xFF00, 2) + Le(0, 4) + Le(192, 2) +
                                 Le(64, 2) + Le(240, 2) + Le(0, 2) + Le(460, 2) + Le(0xFF30, 2) + Le(392, 2) +
                                 Le(0xFF18, 2);
const Bytes kAdpcmExtra = Le(1012, 2) + Le(7, 2) + kAdpcmCoefficients;
const Bytes kImaExtra = Le(505, 2);
const Bytes kGsmExtra = Le(320, 2);
const Bytes kMp3Extra = Le(1, 2) + Le(2, 4) + Le(417, 2) + Le(1, 2) + Le(1393, 2);

// The layouts sox writes (ADPCM and GSM average rates rounded as it rounds them).
const Bytes kPcm16 = Format(1, 1, 22050, 44100, 2, 16);
const Bytes kPcm8Stereo = Format(1, 2, 8000, 16000, 2, 8, &kNoExtra);
const Bytes kPcm24 = Format(0xFFFE, 1, 22050, 66150, 3, 24, &kPcm24Extra);
const Bytes kFloat32 = Format(0xFFFE, 2, 48000, 384000, 8, 32, &kFloat32Extra);
const Bytes kFloat64 = Format(3, 1, 22050, 176400, 8, 64, &kNoExtra);
const Bytes kAdpcm = Format(2, 1, 22050, 11156, 512, 4, &kAdpcmExtra);
const Bytes kIma = Format(0x11, 1, 22050, 11178, 256, 4, &kImaExtra);
const Bytes kGsm = Format(0x31, 1, 8000, 1625, 65, 0, &kGsmExtra);
const Bytes kALaw = Format(6, 2, 8000, 16000, 2, 8, &kNoExtra);
const Bytes kMp3 = Format(0x55, 2, 44100, 16000, 1, 0, &kMp3Extra);

// Offsets inside the fmt body.
constexpr size_t kChannels = 2, kRate = 4, kAverage = 8, kAlign = 12, kBits = 14, kExtraSize = 16, kExtra = 18;

Bytes Set(Bytes bytes, size_t at, uint64_t value, int width) {
    return bytes.replace(at, static_cast<size_t>(width), Le(value, width));
}

WaveVerdict Check(const Bytes& file) {
    return CheckWaveHeader(reinterpret_cast<const uint8_t*>(file.data()), file.size(), file.size());
}

struct Case {
    const char* name;
    Bytes file;
    WaveVerdict expected;
};

void ExpectVerdicts(const std::vector<Case>& cases) {
    for (const Case& c : cases) EXPECT_EQ(Check(c.file), c.expected) << c.name;
}

TEST(CheckWaveHeader, OneValidFilePerFormat) {
    ExpectVerdicts({{"PCM 16-bit mono, 16-byte fmt", Wave(kPcm16), WaveVerdict::Playable},
                    {"PCM 8-bit stereo", Wave(kPcm8Stereo), WaveVerdict::Playable},
                    {"extensible PCM 24-bit", Wave(kPcm24), WaveVerdict::Playable},
                    {"extensible float 32-bit stereo", Wave(kFloat32), WaveVerdict::Playable},
                    {"IEEE float 64-bit", Wave(kFloat64), WaveVerdict::Playable},
                    {"MS ADPCM", Wave(kAdpcm), WaveVerdict::Playable},
                    {"IMA ADPCM", Wave(kIma), WaveVerdict::Playable},
                    {"GSM 6.10", Wave(kGsm), WaveVerdict::Playable},
                    {"A-law stereo", Wave(kALaw), WaveVerdict::Playable},
                    {"MPEG layer 3", Wave(kMp3), WaveVerdict::Playable},
                    {"8 channels at 384 kHz", Wave(Format(1, 8, 384000, 6144000, 16, 16)), WaveVerdict::Playable}});
}

TEST(CheckWaveHeader, EachFieldOutOfRangeOrInconsistentIsRefused) {
    using V = WaveVerdict;
    ExpectVerdicts({
        {"0 channels", Wave(Set(kPcm16, kChannels, 0, 2)), V::BadChannels},
        {"9 channels", Wave(Format(1, 9, 8000, 144000, 18, 16)), V::BadChannels},
        {"255 channels", Wave(Set(kAdpcm, kChannels, 255, 2)), V::BadChannels},
        {"rate 0", Wave(Set(kPcm16, kRate, 0, 4)), V::BadSampleRate},
        {"rate 384001", Wave(Set(kPcm16, kRate, 384001, 4)), V::BadSampleRate},
        {"7 bits", Wave(Set(kPcm16, kBits, 7, 2)), V::BadSampleLayout},
        {"PCM 12 bits", Wave(Format(1, 2, 8000, 24000, 3, 12)), V::BadSampleLayout},
        {"float 16 bits", Wave(Format(3, 1, 8000, 16000, 2, 16, &kNoExtra)), V::BadSampleLayout},
        {"block align 0", Wave(Set(kPcm16, kAlign, 0, 2)), V::BadSampleLayout},
        {"block align 3 for 16-bit mono", Wave(Set(kPcm16, kAlign, 3, 2)), V::BadSampleLayout},
        {"average 0", Wave(Set(kPcm16, kAverage, 0, 4)), V::BadSampleLayout},
        {"average one off", Wave(Set(kPcm16, kAverage, 44101, 4)), V::BadSampleLayout},
        {"unknown tag", Wave(Set(kPcm16, 0, 0x1234, 2)), V::UnknownFormat},
        {"cbSize past the chunk", Wave(Set(kALaw, kExtraSize, 2, 2)), V::BadFormatExtra},
        {"extensible, cbSize 20", Wave(Set(kPcm24, kExtraSize, 20, 2).erase(kExtra + 20)), V::BadFormatExtra},
        {"extensible, 25 valid bits", Wave(Set(kPcm24, kExtra, 25, 2)), V::BadFormatExtra},
        {"extensible, 0 valid bits", Wave(Set(kPcm24, kExtra, 0, 2)), V::BadFormatExtra},
        {"extensible, mask of 3 speakers", Wave(Set(kPcm24, kExtra + 2, 0x7, 4)), V::BadFormatExtra},
        {"extensible, foreign GUID", Wave(Set(kPcm24, kExtra + 10, 0x11, 1)), V::BadFormatExtra},
        {"extensible, ADPCM sub-format", Wave(Set(kPcm24, kExtra + 6, 2, 2)), V::UnknownFormat},
        {"extensible, block align 4", Wave(Set(kPcm24, kAlign, 4, 2)), V::BadSampleLayout},
        {"ADPCM, 16-byte fmt", Wave(kAdpcm.substr(0, 16)), V::BadFormatExtra},
        {"ADPCM, samples per block off", Wave(Set(kAdpcm, kExtra, 1011, 2)), V::BadFormatExtra},
        {"ADPCM, block align off", Wave(Set(kAdpcm, kAlign, 511, 2)), V::BadFormatExtra},
        {"ADPCM, block align below headers", Wave(Set(kAdpcm, kAlign, 7, 2)), V::BadSampleLayout},
        {"ADPCM, 3 channels", Wave(Set(kAdpcm, kChannels, 3, 2)), V::BadSampleLayout},
        {"ADPCM, 8 bits", Wave(Set(kAdpcm, kBits, 8, 2)), V::BadSampleLayout},
        {"ADPCM, 6 coefficients", Wave(Set(kAdpcm, kExtra + 2, 6, 2)), V::BadFormatExtra},
        {"ADPCM, a coefficient changed", Wave(Set(kAdpcm, kExtra + 8, 513, 2)), V::BadFormatExtra},
        {"ADPCM, average far off", Wave(Set(kAdpcm, kAverage, 11200, 4)), V::BadFormatExtra},
        {"IMA, block align off", Wave(Set(kIma, kAlign, 258, 2)), V::BadSampleLayout},
        {"IMA, samples per block off", Wave(Set(kIma, kExtra, 504, 2)), V::BadFormatExtra},
        {"IMA, no cbSize", Wave(kIma.substr(0, 16)), V::BadFormatExtra},
        {"GSM, block align 64", Wave(Set(kGsm, kAlign, 64, 2)), V::BadSampleLayout},
        {"GSM, 160 samples per block", Wave(Set(kGsm, kExtra, 160, 2)), V::BadFormatExtra},
        {"A-law, 16 bits", Wave(Set(kALaw, kBits, 16, 2)), V::BadSampleLayout},
        {"MP3, foreign id", Wave(Set(kMp3, kExtra, 0, 2)), V::BadFormatExtra},
        {"MP3, block size 0", Wave(Set(kMp3, kExtra + 6, 0, 2)), V::BadFormatExtra},
        {"MP3, rate 22051", Wave(Set(kMp3, kRate, 22051, 4)), V::BadSampleLayout},
    });
}

TEST(CheckWaveHeader, ChunkStructureIsWalkedWithinTheFile) {
    using V = WaveVerdict;
    const Bytes format = Chunk("fmt ", kPcm16);
    const Bytes data = Chunk("data", kSamples);
    const Bytes good = Riff(format + data);
    ExpectVerdicts({
        {"RIFX", Set(good, 0, 0x58464952, 4), V::NotRiffWave},
        {"AVI form", Set(good, 8, 0x20495641, 4), V::NotRiffWave},
        {"11 bytes", good.substr(0, 11), V::NotRiffWave},
        {"empty file", Bytes(), V::NotRiffWave},
        {"fmt chunk longer than the file", Riff(Chunk("fmt ", kPcm16, 4000) + data), V::ChunkOutOfBounds},
        {"data chunk longer than the file", Riff(format + Chunk("data", kSamples, 101)), V::ChunkOutOfBounds},
        {"data size 0xFFFFFFFF", Riff(format + Chunk("data", kSamples, 0xFFFFFFFF)), V::ChunkOutOfBounds},
        {"RIFF size cuts the fmt chunk", Set(good, 4, 20, 4), V::ChunkOutOfBounds},
        {"fmt of 14 bytes", Riff(Chunk("fmt ", kPcm16.substr(0, 14)) + data), V::NoFormat},
        {"no fmt chunk", Riff(Chunk("LIST", "info") + data), V::NoFormat},
        {"no data chunk", Riff(format), V::NoData},
        {"empty data chunk", Riff(format + Chunk("data", "")), V::NoData},
        {"data only before fmt", Riff(data + format), V::NoData},
        {"odd chunk padded", Riff(Chunk("LIST", "odd") + format + data), V::Playable},
        {"odd chunk unpadded", Riff("LIST" + Le(3, 4) + "odd" + format + data), V::ChunkOutOfBounds},
        {"junk after the RIFF chunk", good + "junk", V::Playable},
        {"a second, bad fmt after the first", Riff(format + Chunk("fmt ", Set(kPcm16, kChannels, 0, 2)) + data),
         V::Playable},
        {"0-channel fmt before a good one", Riff(Chunk("fmt ", Set(kPcm16, kChannels, 0, 2)) + format + data),
         V::BadChannels},
    });
}

TEST(CheckWaveHeader, OnlyTheHeadIsRead) {
    // Samples far past the head are fine; a fmt or data chunk header past it cannot be vouched for.
    const Bytes format = Chunk("fmt ", kPcm16);
    const Bytes padding = Chunk("JUNK", Bytes(kWaveHeadBytes, '\0'));
    const struct {
        const char* name;
        Bytes file;
        WaveVerdict expected;
    } cases[] = {
        {"long data", Riff(format + Chunk("data", Bytes(3 * kWaveHeadBytes, '\x22'))), WaveVerdict::Playable},
        {"fmt past the head", Riff(padding + format + Chunk("data", kSamples)), WaveVerdict::NoFormat},
        {"data past the head", Riff(format + padding + Chunk("data", kSamples)), WaveVerdict::NoData},
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(c.file.data());
        EXPECT_EQ(CheckWaveHeader(bytes, kWaveHeadBytes, c.file.size()), c.expected) << c.name;
    }
}

}  // namespace
