// A picture file read in pieces, from anywhere in it: what the streaming decoders (BMP, TIFF) read
// from, a file in the program, bytes in memory in the tests and the fuzzers. Win32-free.
#pragma once

#include <cstddef>
#include <cstdint>

struct PictureSource {
    // Fills up to `size` bytes of `buffer` from the current position and returns how many; 0 at
    // the end or on an error.
    size_t (*read)(void* context, uint8_t* buffer, size_t size);
    // Moves to `offset` bytes from the start; false when it cannot.
    bool (*seek)(void* context, uint64_t offset);
    void* context;
    // The whole file's, as it was when it was opened.
    uint64_t size;
};

// Exactly `size` bytes from the current position, through as many reads as it takes.
bool ReadExactly(const PictureSource& source, uint8_t* buffer, size_t size);

// The same from `offset`.
bool ReadAt(const PictureSource& source, uint64_t offset, uint8_t* buffer, size_t size);

// Bytes in memory as a source; `position` moves as it is read.
struct MemoryFile {
    const uint8_t* data;
    size_t size;
    size_t position;
};
PictureSource MemorySource(MemoryFile* file);
