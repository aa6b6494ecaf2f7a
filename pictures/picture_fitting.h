// Decoding a picture file straight to the size a view draws it at, by whichever decoder takes it.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>

#include "pictures/colour_conversion.h"

// The picture in the file at `path`, fitted by FitPicture into a boxWidth x boxHeight box, as a
// 32 bpp GDI+ bitmap of exactly that size (at least 1 x 1); `width` and `height` get the picture's
// own size. A picture whose file records an orientation comes turned upright, and its size is the
// upright one. The file's first bytes choose the decoder: JPEG goes through libjpeg-turbo, TIFF
// through libtiff, BMP, PCX and PSD through the program's own decoders; anything else is
// undecodable, and so is a file its decoder refuses: GDI+ decodes no picture, it only draws them.
// A picture whose file embeds a colour profile comes in `display`'s colours. Null when nothing
// decodes it.
Gdiplus::Bitmap* LoadFittedPicture(const WCHAR* path, int32_t boxWidth, int32_t boxHeight,
                                   const DisplayProfile& display, int32_t* width, int32_t* height);
