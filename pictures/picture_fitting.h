// Decoding a picture file straight to the size a view draws it at, by whichever decoder takes it.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <cstdint>

#include "pictures/decoded_picture.h"

// The picture in the file at `path`, fitted by FitPicture into a boxWidth x boxHeight box, as a
// 32 bpp GDI+ bitmap of exactly that size (at least 1 x 1); `width` and `height` get the picture's
// own size. A picture whose file records an orientation comes turned upright, and its size is the
// upright one. The file's first bytes choose the decoder: JPEG goes through libjpeg-turbo, TIFF
// through libtiff, BMP, PCX and PSD through the program's own decoders; anything else is
// undecodable, and so is a file its decoder refuses: GDI+ decodes no picture, it only draws them.
// Null when nothing decodes it.
Gdiplus::Bitmap* LoadFittedPicture(const WCHAR* path, int32_t boxWidth, int32_t boxHeight, int32_t* width,
                                   int32_t* height);

// A file's picture fitted to a box but not yet handed to GDI+: the pixels as they lie in the file,
// the picture's size as stored, and the orientation the file records (1 when none).
struct FittedPicture {
    DecodedPicture pixels;
    int32_t width = 0;
    int32_t height = 0;
    int orientation = 1;
};

// The first half of LoadFittedPicture, which touches neither GDI+ nor any window, so any thread
// may run it. Once `abandon` (when given) is set, reading the file fails and the decode stops
// early. False when nothing decodes the file.
bool DecodeFittedPicture(const WCHAR* path, int32_t boxWidth, int32_t boxHeight, FittedPicture* out,
                         const std::atomic<bool>* abandon = nullptr);

// The second half, on the GUI thread: the fitted picture as GDI+ bitmap, turned upright, with the
// picture's upright size in `width` and `height`. Null when GDI+ cannot make it.
Gdiplus::Bitmap* UprightBitmapOf(const FittedPicture& fitted, int32_t* width, int32_t* height);
