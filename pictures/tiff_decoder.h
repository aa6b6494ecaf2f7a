// TIFF pictures through libtiff, decoded straight to the size a view draws them at: strip by
// strip, or a row of tiles at a time, through the area filter, so that neither the file nor the
// full-size picture is ever held. Only the first picture of the file is read. Win32-free, so it is
// tested and fuzzed natively.
#pragma once

#include <cstdint>

#include "pictures/colour_conversion.h"
#include "pictures/decoded_picture.h"
#include "pictures/picture_source.h"

// No one allocation of libtiff's or of the decoder's may be larger: a strip or a tile, a band of
// rows, a table.
constexpr uint64_t kMaxTiffAllocation = 64ull * 1024 * 1024;

// Decodes to `out` at the size FitPicture gives the upright picture in a boxWidth x boxHeight box
// (at least 1 x 1); a picture stored sideways is fitted to the box turned a quarter, so that it
// fits once turned. Reports the stored picture's size and the orientation its tag 274 records
// (1..8, 1 when missing or invalid); the caller turns the fitted picture. An RGB, palette or grey
// picture comes with the profile its tag 34675 carries, when that profile is of its colours; an
// 8-bit CMYK one with a CMYK profile is converted row by row to `display`'s colours (sRGB's when
// null) before it is shrunk. False, with `out` unspecified, for whatever libtiff refuses, fails to
// read or cannot read within the caps; libtiff's errors and warnings go nowhere.
bool DecodeTiffToFit(PictureSource source, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out,
                     int32_t* pictureWidth, int32_t* pictureHeight, int* orientation,
                     const DisplayProfile* display = nullptr);
