// The colour models that decoders meet besides RGB and grey, each turned into 8-bit sRGB in this
// one place: CMYK without a profile, CIE L*a*b* and linear light.
#pragma once

#include <cstdint>

struct Rgb8 {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// CMYK as Adobe's applications store it, `maximum` (255 or 65535) meaning no ink, by the plain
// rule used when there is no profile: each of red, green and blue is what its ink leaves times
// what black leaves, rounded to 8 bits.
inline Rgb8 InvertedCmykToRgb(uint32_t cyan, uint32_t magenta, uint32_t yellow, uint32_t black, uint32_t maximum) {
    const uint64_t fullScale = static_cast<uint64_t>(maximum) * maximum;
    auto left = [&](uint32_t ink) {
        return static_cast<uint8_t>((static_cast<uint64_t>(ink) * black * 255 + fullScale / 2) / fullScale);
    };
    return Rgb8{left(cyan), left(magenta), left(yellow)};
}

// A linear light value through the sRGB curve to 8 bits, rounded to nearest; below 0 (and NaN)
// gives 0, above 1 gives 255.
uint8_t LinearToSrgb8(double linear);

// CIE L*a*b* relative to D50, as Photoshop and ICC profiles use it (L* 0..100, a* and b* about
// -128..127), to sRGB: XYZ, Bradford's adaptation to D65, sRGB's matrix, clamped, and its curve.
Rgb8 LabToSrgb(double lightness, double a, double b);
