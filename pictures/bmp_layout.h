// What a BMP's headers say about its pixels, and whether everything they point at (the palette,
// the bit masks, the pixel rows) lies inside the file. Win32-free.
#pragma once

#include <cstddef>
#include <cstdint>

// Compression codes of the info header.
constexpr uint32_t kBmpPlainRows = 0, kBmpRunLength8 = 1, kBmpRunLength4 = 2, kBmpBitFields = 3, kBmpAlphaBitFields = 6;

// Enough of a file's start for every header and its masks: the file header, the largest info
// header and four masks after a plain one.
constexpr size_t kBmpHeadBytes = 14 + 124 + 16;

struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;  // always positive; topDown says which way the rows are stored
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = kBmpPlainRows;
    // Red, green and blue masks of 16- and 32-bit pixels, the defaults where none are stored;
    // each is a run of set bits, or 0 for a channel that is always black.
    uint32_t masks[3] = {0, 0, 0};
    uint64_t paletteOffset = 0;
    // The palette entries that can be used: at most 2^bits, and only those before the pixels.
    uint32_t paletteColours = 0;
    uint32_t paletteEntrySize = 4;
    uint64_t pixelOffset = 0;
    // One stored row, padded to whole 32-bit words (not for run-length data).
    uint64_t rowBytes = 0;
    // The ICC profile a fifth-version header embeds, inside the file and within
    // kMaxProfileBytes; size 0 without one (sRGB, the system's colours, a linked file or
    // calibration points, all shown as stored).
    uint64_t profileOffset = 0;
    uint32_t profileSize = 0;
};

// Reads the headers from `start`, the first `startSize` bytes of a file of `fileSize` bytes, and
// checks the layout against the file: false for headers of unknown sizes, depths and compressions,
// for JPEG and PNG inside a BMP, for masks that are no runs of bits and for anything that points
// past the file's end.
bool ReadBmpLayout(const uint8_t* start, size_t startSize, uint64_t fileSize, BmpLayout* layout);
