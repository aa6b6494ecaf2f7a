// What a file's first bytes say it is. A name ending in one of the five picture extensions only
// promises a picture: the system's decoders go by content and would draw metafiles, icons, PNG and
// GIF files under such names (and a broken metafile can bring the process down), so a file is
// shown only when its content is one of the five kinds, whatever its extension among them.
// Win32-free.
#pragma once

#include <cstddef>
#include <cstdint>

enum class PictureContent { Unknown, Jpeg, Bmp, Tiff, Pcx, Psd };

// By the signature at the start of the file: JPEG start of image, BMP "BM", TIFF "II*\0" or
// "MM\0*", a PCX header's first three bytes, PSD "8BPS".
PictureContent PictureContentOf(const uint8_t* data, size_t size);

// True when a BMP's headers are ones the system's decoders know and everything they point at (the
// palette, the bit masks and the pixel rows) lies inside the `size` bytes. A decoder reading from
// memory goes wherever the pixel offset leads, so nothing else may be handed to it.
bool BmpLayoutInside(const uint8_t* data, size_t size);
