#include "pictures/decoded_picture.h"

#include <new>

bool PictureSizeAllowed(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return false;
    if (width > kMaxPictureSide || height > kMaxPictureSide) return false;
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 <= kMaxPictureBytes;
}

bool StartPicture(int64_t width, int64_t height, DecodedPicture* out) {
    if (!PictureSizeAllowed(width, height)) return false;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    out->width = static_cast<int32_t>(width);
    out->height = static_cast<int32_t>(height);
    out->bgra.assign(pixels * 4, 0);
    for (size_t pixel = 0; pixel < pixels; ++pixel) out->bgra[pixel * 4 + 3] = 255;
    return true;
}

bool DecodeByContent(const uint8_t* data, size_t size, DecodedPicture* out, const std::vector<uint8_t>* display) {
    // Each decoder refuses foreign bytes from its first few, so trying them in turn is cheap. A
    // picture within the caps may still not fit in what is left of a 32-bit address space.
    try {
        return DecodePcx(data, size, out) || DecodePsd(data, size, out, display);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DecodeByContent(const uint8_t* data, size_t size, DecodedPicture* out) {
    return DecodeByContent(data, size, out, nullptr);
}
