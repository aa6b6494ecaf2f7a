// Pictures shown in the colours they were shot in: from the profile a file embeds to the
// display's, by Little CMS, perceptual intent with black-point compensation. Win32-free and safe
// on any thread: the display's profile comes with every call, as bytes the drawing thread
// captured, and the transforms, built once for each pair of profiles, are shared under a lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "pictures/decoded_picture.h"

// The display's profile as the drawing thread found it: ICC bytes, empty for sRGB.
using DisplayProfile = std::vector<uint8_t>;

// What the 4 bytes of each pixel a transform takes hold: B, G, R, x; a grey level in the first
// of 4 bytes; C, M, Y, K; or C, M, Y, K stored inverted (255 is no ink), as Adobe writes them.
enum class StoredPixels { Bgrx, GreyBgrx, Cmyk, InvertedCmyk };

struct ColourTransform;

// The transform from `embedded` to `display` (sRGB when empty or refused) for such pixels, built
// on first use. Null when none is needed (both are sRGB) or Little CMS refuses the embedded
// profile, or it does not describe such pixels: the picture is then shown as stored.
std::shared_ptr<const ColourTransform> ColourTransformFor(const std::vector<uint8_t>& embedded, StoredPixels pixels,
                                                          const DisplayProfile& display);

// The transform a CMYK picture's rows go through before they are fitted, from the profile its
// file embeds to `display` (sRGB when null): null, leaving the plain conversion, unless
// `embedded` is a CMYK profile that Little CMS takes. JPEG, TIFF and PSD all come this way, so
// that each shows the same CMYK in the same colours.
std::shared_ptr<const ColourTransform> CmykTransformFor(const std::vector<uint8_t>& embedded, StoredPixels pixels,
                                                        const DisplayProfile* display);

// Converts `count` pixels in place to B, G, R, x in the display's colours; the fourth byte of a
// CMYK pixel is left as it was.
void TransformPixels(const ColourTransform& transform, uint8_t* pixels, size_t count);

// Converts a fitted picture from the RGB or grey colours of the profile it carries (its
// `profile`) to the display's, in place; a picture without one is left as it is.
void ConvertToDisplay(const DisplayProfile& display, DecodedPicture* picture);
