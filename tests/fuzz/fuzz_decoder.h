// Shared body of the decoder fuzz targets: any input must end in a refusal or in a complete,
// opaque picture within the caps; anything else stops the fuzzer like a crash would.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pictures/decoded_picture.h"

inline int FuzzOneDecoder(bool (*decoder)(const uint8_t*, size_t, DecodedPicture*), const uint8_t* data, size_t size) {
    DecodedPicture picture;
    if (!decoder(data, size, &picture)) return 0;
    if (!PictureSizeAllowed(picture.width, picture.height)) __builtin_trap();
    if (picture.bgra.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4) {
        __builtin_trap();
    }
    for (size_t alpha = 3; alpha < picture.bgra.size(); alpha += 4) {
        if (picture.bgra[alpha] != 255) __builtin_trap();
    }
    return 0;
}
