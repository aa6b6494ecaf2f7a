// JPEG pictures through libjpeg-turbo, decoded straight to the size a view draws them at: the
// decoder scales in the DCT domain by M/8 to about twice that size (ChooseDctScale), and its rows
// stream through the area filter. Memory stays bounded for any picture the format allows.
// Win32-free, so it is tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pictures/area_filter.h"
#include "pictures/colour_conversion.h"
#include "pictures/decoded_picture.h"

// Where the compressed bytes come from, so that a file can be read in pieces instead of whole.
// `read` fills up to `size` bytes of `buffer` and returns how many; 0 means the end or an error.
struct JpegSource {
    size_t (*read)(void* context, uint8_t* buffer, size_t size);
    void* context;
};

// libjpeg-turbo's working memory for one picture: a progressive picture keeps all its
// coefficients (about 161 MB at 24 MP, 6 bytes a pixel at most), and one that needs more is
// refused, not swapped. As much as the coefficients of the largest progressive pictures a 32-bit
// process could ever decode whole, so every one of those is shown.
constexpr long kMaxJpegWorkingMemory = 1024l * 1024 * 1024;

// Decodes to `out` at the size FittedSize gives the picture in `box` (at least 1 x 1) and reports
// the picture's own size, as stored. An RGB or grey picture comes with the profile its APP2
// segments carry, when that profile is of its colours; a CMYK one with a CMYK profile is
// converted row by row to `display`'s colours (sRGB's when null) before it is shrunk. False, with
// `out` unspecified, for whatever libjpeg-turbo refuses or the memory caps do not allow;
// libjpeg-turbo's errors never go further.
bool DecodeJpegToFit(JpegSource source, const FitBox& box, DecodedPicture* out, int32_t* pictureWidth,
                     int32_t* pictureHeight, const DisplayProfile* display = nullptr);

// The same from bytes in memory.
bool DecodeJpegBytesToFit(const uint8_t* data, size_t size, const FitBox& box, DecodedPicture* out,
                          int32_t* pictureWidth, int32_t* pictureHeight, const DisplayProfile* display = nullptr);
