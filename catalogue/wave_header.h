// Whether a companion sound's RIFF/WAVE header is one the system's wave player can be trusted
// with. Its driver divides by header fields and sizes its buffers from them, and a malformed
// header ends the whole process; so only headers whose every field is in range and consistent
// with the others are vouched for, and anything unusual is refused rather than guessed at.
#pragma once

#include <cstddef>
#include <cstdint>

// How much of a file the check reads: the fmt chunk and the data chunk's header must lie within it.
constexpr size_t kWaveHeadBytes = 64 * 1024;

enum class WaveVerdict {
    Playable,
    NotRiffWave,       // no "RIFF" ... "WAVE" at the start
    ChunkOutOfBounds,  // a chunk reaches past the RIFF chunk or the file
    NoFormat,          // no fmt chunk in the head, or one shorter than its fields
    BadChannels,
    BadSampleRate,
    BadSampleLayout,  // bits, block align or average rate inconsistent for the format
    BadFormatExtra,   // the format's own fields after the common ones missing or insane
    UnknownFormat,    // a format tag not vouched for
    NoData,           // no non-empty data chunk after the fmt chunk within the head
};

// `head` holds the first min(kWaveHeadBytes, fileSize) bytes of a file of `fileSize` bytes.
WaveVerdict CheckWaveHeader(const uint8_t* head, size_t headSize, uint64_t fileSize);
