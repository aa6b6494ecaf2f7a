#include "pictures/tiff_decoder.h"
#include "tests/fuzz/fuzz_decoder.h"

namespace {

// Into the preview's box: the result may never be larger than the box, turned or not.
bool DecodeForPreview(const uint8_t* data, size_t size, DecodedPicture* out) {
    MemoryFile file{data, size, 0};
    int32_t width = 0, height = 0;
    int orientation = 0;
    if (!DecodeTiffToFit(MemorySource(&file), 320, 240, out, &width, &height, &orientation)) return false;
    if (width <= 0 || height <= 0 || orientation < 1 || orientation > 8 || out->width > 320 || out->height > 320) {
        __builtin_trap();
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOneDecoder(DecodeForPreview, data, size);
}
