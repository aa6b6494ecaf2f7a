#include "pictures/exif_orientation.h"

#include <algorithm>

#include "pictures/byte_reader.h"

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr size_t kEntryBytes = 12;

struct TiffReader {
    ByteReader bytes;
    bool bigEndian = false;
};

bool ReadU16(TiffReader* tiff, uint16_t* value) {
    return tiff->bigEndian ? ReadU16BE(&tiff->bytes, value) : ReadU16LE(&tiff->bytes, value);
}

bool ReadU32(TiffReader* tiff, uint32_t* value) {
    uint16_t first = 0, second = 0;
    if (!ReadU16(tiff, &first) || !ReadU16(tiff, &second)) return false;
    *value = tiff->bigEndian ? (uint32_t{first} << 16) | second : (uint32_t{second} << 16) | first;
    return true;
}

// Looks only at IFD0: the orientation belongs to the main picture, and following IFD links
// would let a crafted file send the reader round in circles.
int OrientationOfTiff(const uint8_t* start, size_t size) {
    TiffReader tiff;
    tiff.bytes = MakeByteReader(start, size);
    const uint8_t* order = nullptr;
    if (!TakeBytes(&tiff.bytes, 2, &order)) return 1;
    if (order[0] == 'M' && order[1] == 'M') {
        tiff.bigEndian = true;
    } else if (order[0] != 'I' || order[1] != 'I') {
        return 1;
    }
    uint16_t magic = 0;
    uint32_t ifd = 0;
    uint16_t entries = 0;
    if (!ReadU16(&tiff, &magic) || magic != 42 || !ReadU32(&tiff, &ifd) || ifd > size) return 1;
    tiff.bytes.position = ifd;
    if (!ReadU16(&tiff, &entries)) return 1;
    // At most 65,535 entries of 12 bytes, each read bounds-checked: the walk ends with the data.
    for (uint16_t i = 0; i < entries && BytesLeft(tiff.bytes) >= kEntryBytes; ++i) {
        uint16_t tag = 0, type = 0, value = 0;
        uint32_t count = 0;
        ReadU16(&tiff, &tag);
        ReadU16(&tiff, &type);
        ReadU32(&tiff, &count);
        ReadU16(&tiff, &value);
        SkipBytes(&tiff.bytes, 2);
        if (tag != kOrientationTag) continue;
        if (type != kShortType || count != 1 || value < 1 || value > 8) return 1;
        return value;
    }
    return 1;
}

// Walks the JPEG's segments up to the start of the compressed data; the first APP1 segment
// that holds Exif data decides.
int OrientationOfJpeg(const uint8_t* start, size_t size) {
    ByteReader jpeg = MakeByteReader(start, size);
    SkipBytes(&jpeg, 2);
    for (;;) {
        uint8_t prefix = 0, marker = 0;
        if (!ReadU8(&jpeg, &prefix) || prefix != 0xFF || !ReadU8(&jpeg, &marker)) return 1;
        // Fill bytes before a marker.
        while (marker == 0xFF) {
            if (!ReadU8(&jpeg, &marker)) return 1;
        }
        if (marker == 0xDA || marker == 0xD9) return 1;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
        uint16_t length = 0;
        if (!ReadU16BE(&jpeg, &length) || length < 2) return 1;
        // A segment cut short by the end of what was read still counts, up to that end.
        const size_t body = length - 2u < BytesLeft(jpeg) ? length - 2u : BytesLeft(jpeg);
        const uint8_t* segment = jpeg.data + jpeg.position;
        static const uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
        if (marker == 0xE1 && body >= sizeof(kExif) && std::equal(kExif, kExif + 6, segment)) {
            return OrientationOfTiff(segment + sizeof(kExif), body - sizeof(kExif));
        }
        if (!SkipBytes(&jpeg, length - 2u)) return 1;
    }
}

}  // namespace

int PictureOrientationOf(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < 4) return 1;
    if (bytes[0] == 0xFF && bytes[1] == 0xD8) return OrientationOfJpeg(bytes, size);
    return OrientationOfTiff(bytes, size);
}
