// BMP pictures of any size, decoded straight to the size a view draws them at: the rows stream
// from the file through the area filter in the order they are stored, so neither the file nor the
// full-size picture is ever held. Every layout Windows reads: the OS/2 core header, the info header
// and its later versions, 1 to 32 bits a pixel, palettes, bit fields, run-length data, rows stored
// bottom-up or top-down. Alpha is ignored. Win32-free, so it is tested and fuzzed natively.
#pragma once

#include <cstdint>

#include "pictures/decoded_picture.h"
#include "pictures/picture_source.h"

// Decodes to `out` at the size FitPicture gives the picture in a boxWidth x boxHeight box (at
// least 1 x 1) and reports the picture's own size. False, with `out` unspecified, for a layout
// ReadBmpLayout refuses, a picture the area filter cannot take, or a file that cannot be read as
// its headers promise. Run-length data that ends early leaves the rest of the picture black.
bool DecodeBmpToFit(PictureSource source, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out,
                    int32_t* pictureWidth, int32_t* pictureHeight);
