// The one rule by which every view sizes and places a picture: scale down to fit the box,
// never up, keep the aspect ratio, centre. Win32-free so it can be tested natively.
#pragma once

#include <cstdint>

struct FittedRect {
    int32_t x;  // offsets relative to the box's origin
    int32_t y;
    int32_t width;
    int32_t height;
};

FittedRect FitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth, int32_t boxHeight);
