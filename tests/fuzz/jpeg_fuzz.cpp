#include "pictures/jpeg_decoder.h"
#include "tests/fuzz/fuzz_decoder.h"

namespace {

// Into the preview's box, as every JPEG the program is given goes first; the result may never
// be larger than the box, nor the picture's own size be empty.
bool DecodeForPreview(const uint8_t* data, size_t size, DecodedPicture* out) {
    int32_t width = 0;
    int32_t height = 0;
    if (!DecodeJpegBytesToFit(data, size, FitBox{320, 240, false}, out, &width, &height)) return false;
    if (width <= 0 || height <= 0 || out->width > 320 || out->height > 240) __builtin_trap();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOneDecoder(DecodeForPreview, data, size);
}
