#include "pictures/picture_content.h"

#include <cstring>

#include "pictures/bmp_layout.h"

namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
}

bool PcxHeaderStart(const uint8_t* data, size_t size) {
    if (size < 3 || data[0] != 0x0A) return false;
    const uint8_t version = data[1];
    const bool knownVersion = version == 0 || version == 2 || version == 3 || version == 4 || version == 5;
    return knownVersion && data[2] == 1;
}

}  // namespace

PictureContent PictureContentOf(const uint8_t* data, size_t size) {
    if (data == nullptr) return PictureContent::Unknown;
    if (StartsWith(data, size, "\xFF\xD8\xFF", 3)) return PictureContent::Jpeg;
    if (StartsWith(data, size, "BM", 2)) return PictureContent::Bmp;
    if (StartsWith(data, size, "II*\0", 4) || StartsWith(data, size, "MM\0*", 4)) return PictureContent::Tiff;
    if (StartsWith(data, size, "8BPS", 4)) return PictureContent::Psd;
    if (PcxHeaderStart(data, size)) return PictureContent::Pcx;
    return PictureContent::Unknown;
}

bool BmpLayoutInside(const uint8_t* data, size_t size) {
    BmpLayout layout;
    return ReadBmpLayout(data, size, size, &layout);
}
