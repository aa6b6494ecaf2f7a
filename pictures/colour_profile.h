// Embedded ICC profiles: the pieces of a file that say which colours its numbers mean, found and
// checked within bounds. Win32-free, with no colour maths of its own (colour_conversion.* applies
// the profiles), so it is tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// No profile a picture carries is taken past this size: real ones are a few KB, the largest
// printer profiles a few MB.
constexpr size_t kMaxProfileBytes = 4u * 1024 * 1024;

// The colours a profile's header (its bytes 16 to 19) says it describes; Other for any other
// colour space and for bytes too short to be a profile's header.
enum class ProfileSpace { Other, Rgb, Grey, Cmyk };
ProfileSpace ProfileSpaceOf(const std::vector<uint8_t>& profile);

// One APP2 segment as a JPEG holds it: its bytes after the length field.
struct MarkerPayload {
    const uint8_t* data;
    size_t size;
};

// A JPEG carries its profile cut into pieces, one an APP2 segment that starts "ICC_PROFILE\0",
// then the piece's number from 1 and the number of pieces; the pieces in number order, which
// need not be the file's order, are the profile. Other APP2 segments do not count. False, with
// `profile` empty, when there are no pieces, when one is missing or repeated, when the pieces
// disagree on their number, or when the profile would be empty or pass kMaxProfileBytes.
bool AssembleJpegProfile(const MarkerPayload* segments, size_t count, std::vector<uint8_t>* profile);
