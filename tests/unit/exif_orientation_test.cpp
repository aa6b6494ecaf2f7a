#include "pictures/exif_orientation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes* out, uint32_t value, bool bigEndian) {
    const uint8_t low = value & 0xFF, high = (value >> 8) & 0xFF;
    out->insert(out->end(), {bigEndian ? high : low, bigEndian ? low : high});
}

void Put32(Bytes* out, uint32_t value, bool bigEndian) {
    Put16(out, bigEndian ? value >> 16 : value & 0xFFFF, bigEndian);
    Put16(out, bigEndian ? value & 0xFFFF : value >> 16, bigEndian);
}

struct Entry {
    uint16_t tag, type;
    uint32_t count;
    uint16_t value;
};

// A TIFF header and IFD0 with `entries`, the IFD placed `gap` bytes after the header.
Bytes Tiff(bool bigEndian, const std::vector<Entry>& entries, uint32_t gap = 0) {
    Bytes out = {static_cast<uint8_t>(bigEndian ? 'M' : 'I'), static_cast<uint8_t>(bigEndian ? 'M' : 'I')};
    Put16(&out, 42, bigEndian);
    Put32(&out, 8 + gap, bigEndian);
    out.resize(out.size() + gap, 0xEE);
    Put16(&out, static_cast<uint32_t>(entries.size()), bigEndian);
    for (const Entry& e : entries) {
        Put16(&out, e.tag, bigEndian);
        Put16(&out, e.type, bigEndian);
        Put32(&out, e.count, bigEndian);
        Put16(&out, e.value, bigEndian);
        Put16(&out, 0, bigEndian);
    }
    Put32(&out, 0, bigEndian);  // no next IFD
    return out;
}

Bytes Segment(uint8_t marker, const Bytes& body) {
    Bytes out = {0xFF, marker};
    Put16(&out, static_cast<uint32_t>(body.size() + 2), true);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// A JPEG start with a JFIF segment, then an Exif segment around `tiff`, then the scan.
Bytes Jpeg(const Bytes& tiff, const char* signature = "Exif") {
    Bytes out = {0xFF, 0xD8};
    const Bytes jfif = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    out.insert(out.end(), jfif.begin(), jfif.end());
    Bytes exif(signature, signature + 4);
    exif.insert(exif.end(), {0, 0});
    exif.insert(exif.end(), tiff.begin(), tiff.end());
    const Bytes app1 = Segment(0xE1, exif);
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), {0xFF, 0xDA, 0x00, 0x08, 1, 2, 3, 4, 5, 6, 0xFF, 0xD9});
    return out;
}

int Of(const Bytes& bytes) { return PictureOrientationOf(bytes.data(), bytes.size()); }

const Entry kWidth = {0x0100, 3, 1, 640};
const Entry kMake = {0x010F, 2, 6, 0};

Entry Orientation(uint16_t value) { return {0x0112, 3, 1, value}; }

TEST(PictureOrientationOf, ReadsEveryValueFromJpegAndTiffInBothByteOrders) {
    for (bool bigEndian : {false, true}) {
        for (uint16_t value = 1; value <= 8; ++value) {
            SCOPED_TRACE(std::string(bigEndian ? "MM" : "II") + " orientation " + std::to_string(value));
            const Bytes tiff = Tiff(bigEndian, {kWidth, kMake, Orientation(value)});
            EXPECT_EQ(Of(tiff), value);
            EXPECT_EQ(Of(Jpeg(tiff)), value);
            EXPECT_EQ(Of(Jpeg(Tiff(bigEndian, {Orientation(value)}, 40))), value);
        }
    }
}

TEST(PictureOrientationOf, AnythingMalformedIsUpright) {
    const Bytes good = Jpeg(Tiff(true, {kWidth, Orientation(6)}));
    ASSERT_EQ(Of(good), 6);
    Bytes pastTheEnd = Tiff(false, {Orientation(6)});
    pastTheEnd[4] = 0xF0;  // IFD0 offset far past the data
    Bytes entriesPastTheEnd = Tiff(false, {Orientation(6)});
    entriesPastTheEnd[8] = 0xFF;  // 255 entries claimed, one there: the one there still counts
    Bytes segmentTooLong = good;
    segmentTooLong[22] = 0x7F;  // APP1 length reaching far past the file
    const struct {
        const char* what;
        Bytes bytes;
        int expected;
    } kCases[] = {
        {"empty", {}, 1},
        {"no Exif segment", Jpeg({}, "XMP "), 1},
        {"value 0", Jpeg(Tiff(false, {Orientation(0)})), 1},
        {"value 9", Jpeg(Tiff(false, {Orientation(9)})), 1},
        {"LONG type", Jpeg(Tiff(false, {{0x0112, 4, 1, 6}})), 1},
        {"count 2", Jpeg(Tiff(true, {{0x0112, 3, 2, 6}})), 1},
        {"no orientation tag", Jpeg(Tiff(true, {kWidth, kMake})), 1},
        {"byte order XX", Jpeg(Bytes{'X', 'X', 0, 42, 0, 0, 0, 8}), 1},
        {"magic 43", Jpeg(Bytes{'I', 'I', 43, 0, 8, 0, 0, 0}), 1},
        {"IFD offset past the end", pastTheEnd, 1},
        {"entry count past the end", entriesPastTheEnd, 6},
        {"APP1 length past the end", segmentTooLong, 6},
        {"truncated inside the entry", Bytes(good.begin(), good.begin() + 50), 1},
        {"truncated inside the segment header", Bytes(good.begin(), good.begin() + 21), 1},
        {"segment length 1", Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x01, 'E', 'x'}, 1},
        {"no marker after the start", Bytes{0xFF, 0xD8, 0x12, 0x34, 0x56}, 1},
        {"Exif after the scan",
         [&] {
             Bytes b = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02};
             b.insert(b.end(), good.begin() + 2, good.end());
             return b;
         }(),
         1},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(Of(c.bytes), c.expected) << c.what;
    }
}

}  // namespace
