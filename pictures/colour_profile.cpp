#include "pictures/colour_profile.h"

#include <cstring>
#include <new>

namespace {

constexpr char kIccMarker[] = "ICC_PROFILE";  // with its terminating zero, 12 bytes
constexpr size_t kPieceHeader = sizeof kIccMarker + 2;

bool IsProfilePiece(const MarkerPayload& segment) {
    return segment.data != nullptr && segment.size >= kPieceHeader &&
           std::memcmp(segment.data, kIccMarker, sizeof kIccMarker) == 0;
}

}  // namespace

ProfileSpace ProfileSpaceOf(const std::vector<uint8_t>& profile) {
    if (profile.size() < 128) return ProfileSpace::Other;
    const uint8_t* space = profile.data() + 16;
    if (std::memcmp(space, "RGB ", 4) == 0) return ProfileSpace::Rgb;
    if (std::memcmp(space, "GRAY", 4) == 0) return ProfileSpace::Grey;
    if (std::memcmp(space, "CMYK", 4) == 0) return ProfileSpace::Cmyk;
    return ProfileSpace::Other;
}

bool AssembleJpegProfile(const MarkerPayload* segments, size_t count, std::vector<uint8_t>* profile) {
    profile->clear();
    // Indexed by piece number; entry 0 is never used.
    const MarkerPayload* pieces[256] = {};
    unsigned pieceCount = 0;
    size_t total = 0;
    for (size_t index = 0; index < count; ++index) {
        const MarkerPayload& segment = segments[index];
        if (!IsProfilePiece(segment)) continue;
        const unsigned number = segment.data[sizeof kIccMarker];
        const unsigned pieceTotal = segment.data[sizeof kIccMarker + 1];
        if (pieceCount == 0) pieceCount = pieceTotal;
        if (pieceTotal == 0 || pieceTotal != pieceCount || number == 0 || number > pieceTotal ||
            pieces[number] != nullptr) {
            return false;
        }
        pieces[number] = &segment;
        total += segment.size - kPieceHeader;
        if (total > kMaxProfileBytes) return false;
    }
    if (pieceCount == 0 || total == 0) return false;
    for (unsigned number = 1; number <= pieceCount; ++number) {
        if (pieces[number] == nullptr) return false;
    }
    try {
        profile->reserve(total);
        for (unsigned number = 1; number <= pieceCount; ++number) {
            const MarkerPayload& piece = *pieces[number];
            profile->insert(profile->end(), piece.data + kPieceHeader, piece.data + piece.size);
        }
    } catch (const std::bad_alloc&) {
        profile->clear();
        return false;
    }
    return true;
}
