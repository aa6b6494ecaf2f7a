// Bounds-checked reading of a file already in memory, shared by the picture decoders. Every read
// either succeeds completely or fails and leaves the position where it was, so a decoder can
// chain reads and test the outcome once.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteReader {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};

inline ByteReader MakeByteReader(const uint8_t* data, size_t size) {
    ByteReader reader;
    reader.data = data;
    reader.size = data != nullptr ? size : 0;
    return reader;
}

inline size_t BytesLeft(const ByteReader& reader) { return reader.size - reader.position; }

// Hands out the next `count` bytes in place and steps over them.
inline bool TakeBytes(ByteReader* reader, uint64_t count, const uint8_t** bytes) {
    if (count > BytesLeft(*reader)) return false;
    *bytes = reader->data + reader->position;
    reader->position += static_cast<size_t>(count);
    return true;
}

inline bool SkipBytes(ByteReader* reader, uint64_t count) {
    const uint8_t* ignored = nullptr;
    return TakeBytes(reader, count, &ignored);
}

inline bool ReadU8(ByteReader* reader, uint8_t* value) {
    const uint8_t* bytes = nullptr;
    if (!TakeBytes(reader, 1, &bytes)) return false;
    *value = bytes[0];
    return true;
}

inline bool ReadU16LE(ByteReader* reader, uint16_t* value) {
    const uint8_t* bytes = nullptr;
    if (!TakeBytes(reader, 2, &bytes)) return false;
    *value = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    return true;
}

inline bool ReadU16BE(ByteReader* reader, uint16_t* value) {
    const uint8_t* bytes = nullptr;
    if (!TakeBytes(reader, 2, &bytes)) return false;
    *value = static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
    return true;
}

inline bool ReadU32LE(ByteReader* reader, uint32_t* value) {
    const uint8_t* bytes = nullptr;
    if (!TakeBytes(reader, 4, &bytes)) return false;
    *value = (static_cast<uint32_t>(bytes[3]) << 24) | (static_cast<uint32_t>(bytes[2]) << 16) |
             (static_cast<uint32_t>(bytes[1]) << 8) | bytes[0];
    return true;
}

inline bool ReadU32BE(ByteReader* reader, uint32_t* value) {
    const uint8_t* bytes = nullptr;
    if (!TakeBytes(reader, 4, &bytes)) return false;
    *value = (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
             (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
    return true;
}
