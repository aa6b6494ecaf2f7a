// How a photograph is meant to be turned: the orientation a camera records instead of turning
// the pixels (EXIF tag 0x0112, the TIFF tag 274). Win32-free.
#pragma once

#include <cstddef>
#include <cstdint>

// The orientation of a JPEG (from its APP1 Exif segment) or a TIFF (from its first IFD), 1..8:
// 1 upright, 2 mirrored left to right, 3 turned half round, 4 mirrored top to bottom,
// 5 transposed, 6 to be turned a quarter clockwise, 7 transversed, 8 to be turned a quarter
// anticlockwise. Anything else, a missing or malformed tag included, is 1. `bytes` may be only
// the start of the file; whatever lies past `size` counts as missing.
int PictureOrientationOf(const uint8_t* bytes, size_t size);

// Whether the upright picture has its width and height swapped against the stored one.
inline bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }
