// Writes PSD files field by field for the decoder tests, well-formed or not.
#pragma once

#include <cstdint>
#include <vector>

struct PsdFile {
    uint16_t version = 1;
    uint16_t channels = 3;
    uint32_t height = 2;
    uint32_t width = 3;
    uint16_t depth = 8;
    uint16_t mode = 3;
    std::vector<uint8_t> colourData;
    std::vector<uint8_t> resources;
    std::vector<uint8_t> layers;
    uint16_t compression = 0;
    std::vector<uint8_t> imageData;  // for PackBits: the row counts, then the rows
};

inline void PutBig(std::vector<uint8_t>* file, uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) file->push_back(static_cast<uint8_t>(value >> shift));
}

inline void PutSection(std::vector<uint8_t>* file, const std::vector<uint8_t>& section) {
    PutBig(file, static_cast<uint32_t>(section.size()), 4);
    file->insert(file->end(), section.begin(), section.end());
}

inline std::vector<uint8_t> Build(const PsdFile& psd) {
    std::vector<uint8_t> file = {'8', 'B', 'P', 'S'};
    PutBig(&file, psd.version, 2);
    file.insert(file.end(), 6, 0);
    PutBig(&file, psd.channels, 2);
    PutBig(&file, psd.height, 4);
    PutBig(&file, psd.width, 4);
    PutBig(&file, psd.depth, 2);
    PutBig(&file, psd.mode, 2);
    PutSection(&file, psd.colourData);
    PutSection(&file, psd.resources);
    PutSection(&file, psd.layers);
    PutBig(&file, psd.compression, 2);
    file.insert(file.end(), psd.imageData.begin(), psd.imageData.end());
    return file;
}

// Image resource 1039, which holds the picture's ICC profile, unnamed and padded to an even size.
inline std::vector<uint8_t> ProfileResource(const std::vector<uint8_t>& profile) {
    std::vector<uint8_t> resource = {'8', 'B', 'I', 'M', 0x04, 0x0F, 0, 0};
    PutBig(&resource, static_cast<uint32_t>(profile.size()), 4);
    resource.insert(resource.end(), profile.begin(), profile.end());
    if (profile.size() % 2 != 0) resource.push_back(0);
    return resource;
}

// A PSD of `mode` and `depth` whose image data holds `planes` (each channel's rows, top to bottom,
// every row padded to whole bytes), raw or with each row PackBits-packed in literal packets.
inline PsdFile WithPlanes(uint16_t mode, uint16_t depth, uint32_t width, uint32_t height,
                          const std::vector<std::vector<uint8_t>>& planes, bool packBits) {
    PsdFile psd;
    psd.mode = mode;
    psd.depth = depth;
    psd.width = width;
    psd.height = height;
    psd.channels = static_cast<uint16_t>(planes.size());
    psd.compression = packBits ? 1 : 0;
    const size_t rowBytes = (static_cast<size_t>(width) * depth + 7) / 8;
    std::vector<uint8_t> counts, rows;
    for (const std::vector<uint8_t>& plane : planes) {
        for (size_t start = 0; start < plane.size(); start += rowBytes) {
            if (!packBits) {
                rows.insert(rows.end(), plane.begin() + start, plane.begin() + start + rowBytes);
                continue;
            }
            const size_t rowStart = rows.size();
            for (size_t at = 0; at < rowBytes; at += 128) {
                const size_t length = rowBytes - at < 128 ? rowBytes - at : 128;
                rows.push_back(static_cast<uint8_t>(length - 1));
                rows.insert(rows.end(), plane.begin() + start + at, plane.begin() + start + at + length);
            }
            PutBig(&counts, static_cast<uint32_t>(rows.size() - rowStart), 2);
        }
    }
    psd.imageData = counts;
    psd.imageData.insert(psd.imageData.end(), rows.begin(), rows.end());
    return psd;
}
