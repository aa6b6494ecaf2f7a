// Decoding a picture file straight to the size a view draws it at, by whichever decoder takes it.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "pictures/colour_conversion.h"
#include "pictures/decoded_picture.h"

// Decoding is in two halves, DecodeFittedPicture and then UprightPictureOf, which give the
// picture in a file fitted by FitPicture into a box, as a 32 bpp GDI+ bitmap of exactly that size
// (at least 1 x 1). A picture whose file records an orientation comes turned upright, and its size
// is the upright one. The file's first bytes choose the decoder: JPEG goes through libjpeg-turbo,
// TIFF through libtiff, BMP, PCX and PSD through the program's own decoders; anything else is
// undecodable, and so is a file its decoder refuses: GDI+ decodes no picture, it only draws them.
// A picture whose file embeds a colour profile comes in the display's colours.

// A file's picture fitted to a box but not yet handed to GDI+: the pixels as they lie in the file,
// the picture's size as stored, and the orientation the file records (1 when none).
struct FittedPicture {
    DecodedPicture pixels;
    int32_t width = 0;
    int32_t height = 0;
    int orientation = 1;
};

// The first half, which touches neither GDI+ nor any window, so any thread may run it. Once
// `abandon` (when given) is set, reading the file fails and the decode stops early. False when
// nothing decodes the file.
bool DecodeFittedPicture(const WCHAR* path, int32_t boxWidth, int32_t boxHeight, const DisplayProfile& display,
                         FittedPicture* out, const std::atomic<bool>* abandon = nullptr);

// A fitted picture as GDI+ draws it: turned upright, with the picture's upright size.
struct UprightPicture {
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    int32_t width = 0;
    int32_t height = 0;
};

// The second half, on the GUI thread: the fitted picture handed over to GDI+. Its bitmap is null
// when GDI+ cannot make it.
UprightPicture UprightPictureOf(const FittedPicture& fitted);
