// Pictures that GDI+ cannot decode (PCX, PSD) are decoded by the program itself into this
// neutral form, which the loader then hands to GDI+ as a bitmap. Nothing here touches Win32,
// so the decoders can be tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    // Top-down rows, 4 bytes a pixel in the order B, G, R, A (A always 255), no row padding:
    // exactly the memory layout of a 32 bpp GDI+ bitmap with stride width * 4.
    std::vector<uint8_t> bgra;
    // The ICC profile of the RGB or grey colours `bgra` holds, as the file embeds it; empty for
    // sRGB. Converted to the display's once the picture is fitted (colour_conversion.h).
    std::vector<uint8_t> profile;
};

// A 32-bit process must never attempt a huge allocation for a hostile header, so both decoders
// refuse pictures wider or taller than this, or whose decoded pixels would exceed the byte cap.
constexpr int32_t kMaxPictureSide = 16384;
constexpr uint64_t kMaxPictureBytes = 256ull * 1024 * 1024;

// True when width x height is positive and within the caps above.
bool PictureSizeAllowed(int64_t width, int64_t height);

// Each decoder accepts its format by content alone (never by file name) and returns false,
// leaving `out` unspecified, for anything it cannot decode completely and safely.
bool DecodePcx(const uint8_t* data, size_t size, DecodedPicture* out);
bool DecodePsd(const uint8_t* data, size_t size, DecodedPicture* out);

// Tries every decoder the program has; false when none accepts the bytes.
bool DecodeByContent(const uint8_t* data, size_t size, DecodedPicture* out);

// The same for a picture shown on a display of profile `display` (the ICC bytes of a
// DisplayProfile, colour_conversion.h; sRGB when null or empty): a CMYK PSD whose profile is
// CMYK comes through it in the display's colours, where it has to be turned into RGB. The
// forms above show such a picture in sRGB.
bool DecodePsd(const uint8_t* data, size_t size, DecodedPicture* out, const std::vector<uint8_t>* display);
bool DecodeByContent(const uint8_t* data, size_t size, DecodedPicture* out, const std::vector<uint8_t>* display);

// For the decoders themselves: sizes `out` for width x height, every pixel opaque black, once the
// caps allow it; false (nothing allocated) otherwise.
bool StartPicture(int64_t width, int64_t height, DecodedPicture* out);

// Writes one pixel of a picture made by StartPicture; `pixel` counts row by row from the top left.
inline void StorePixel(DecodedPicture* out, size_t pixel, uint8_t red, uint8_t green, uint8_t blue) {
    uint8_t* bgra = out->bgra.data() + pixel * 4;
    bgra[0] = blue;
    bgra[1] = green;
    bgra[2] = red;
}
