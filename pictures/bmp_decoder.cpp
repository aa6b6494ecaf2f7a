#include "pictures/bmp_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "pictures/area_filter.h"
#include "pictures/bmp_layout.h"
#include "pictures/colour_profile.h"
#include "pictures/packed_samples.h"

namespace {

// Stored rows read at a time: big reads, little memory.
constexpr size_t kBandBytes = 1 << 20;
constexpr size_t kRunChunk = 64 * 1024;

// One channel of a bit-field pixel: where it lies and its largest value.
struct Channel {
    uint32_t mask = 0;
    uint32_t shift = 0;
    uint32_t top = 0;
};

Channel ChannelOf(uint32_t mask) {
    Channel channel;
    channel.mask = mask;
    if (mask == 0) return channel;
    while (((mask >> channel.shift) & 1) == 0) ++channel.shift;
    channel.top = mask >> channel.shift;
    return channel;
}

// The channel's value scaled to 0..255, rounded.
uint8_t Scaled(const Channel& channel, uint32_t pixel) {
    const uint32_t value = (pixel & channel.mask) >> channel.shift;
    if (channel.top == 255 || channel.top == 0) return static_cast<uint8_t>(value);
    return static_cast<uint8_t>((uint64_t{value} * 255 + channel.top / 2) / channel.top);
}

// How stored rows become B, G, R, x rows.
struct RowDecoder {
    BmpLayout layout;
    // Unused entries, and indices past the palette, are black.
    uint8_t palette[256][4] = {};
    Channel channels[3];            // red, green, blue
    std::vector<uint8_t> pixels16;  // B, G, R, x of every 16-bit pixel
    // Stored rows that already are B, G, R (24 bits) or B, G, R, x (32 bits with the usual masks)
    // go to the filter as they are.
    int directBytes = 0;
};

// An RGB profile only: every BMP is shown as B, G, R.
void ReadProfile(const PictureSource& source, const BmpLayout& layout, std::vector<uint8_t>* profile) {
    if (layout.profileSize == 0) return;
    profile->resize(layout.profileSize);
    if (!ReadAt(source, layout.profileOffset, profile->data(), profile->size()) ||
        ProfileSpaceOf(*profile) != ProfileSpace::Rgb) {
        profile->clear();
    }
}

bool PrepareDecoder(const PictureSource& source, RowDecoder* decoder) {
    const BmpLayout& layout = decoder->layout;
    if (layout.paletteColours > 0) {
        uint8_t entries[256 * 4];
        if (!ReadAt(source, layout.paletteOffset, entries, layout.paletteColours * layout.paletteEntrySize)) {
            return false;
        }
        for (uint32_t index = 0; index < layout.paletteColours; ++index) {
            std::memcpy(decoder->palette[index], entries + index * layout.paletteEntrySize, 3);
        }
    }
    for (int channel = 0; channel < 3; ++channel) decoder->channels[channel] = ChannelOf(layout.masks[channel]);
    if (layout.bits == 24) decoder->directBytes = 3;
    if (layout.bits == 32 && layout.masks[0] == 0xFF0000 && layout.masks[1] == 0xFF00 && layout.masks[2] == 0xFF) {
        decoder->directBytes = 4;
    }
    if (layout.bits == 16) {
        decoder->pixels16.resize(65536 * 4);
        for (uint32_t pixel = 0; pixel < 65536; ++pixel) {
            for (int channel = 0; channel < 3; ++channel) {
                decoder->pixels16[pixel * 4 + 2 - channel] = Scaled(decoder->channels[channel], pixel);
            }
        }
    }
    return true;
}

void DecodeRow(const RowDecoder& decoder, const uint8_t* stored, uint8_t* row) {
    const uint32_t width = static_cast<uint32_t>(decoder.layout.width);
    const uint32_t bits = decoder.layout.bits;
    if (bits <= 8) {
        for (uint32_t x = 0; x < width; ++x)
            std::memcpy(row + x * 4, decoder.palette[PackedSample(stored, x, bits)], 4);
    } else if (bits == 16) {
        for (uint32_t x = 0; x < width; ++x) {
            std::memcpy(row + x * 4, &decoder.pixels16[(stored[x * 2] | stored[x * 2 + 1] << 8) * 4u], 4);
        }
    } else {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* at = stored + x * 4;
            const uint32_t pixel = at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
            for (int channel = 0; channel < 3; ++channel)
                row[x * 4 + 2 - channel] = Scaled(decoder.channels[channel], pixel);
        }
    }
}

// Uncompressed rows, a band at a time in the order they are stored.
bool StreamPlainRows(const PictureSource& source, const RowDecoder& decoder, AreaFilter* filter) {
    const BmpLayout& layout = decoder.layout;
    const size_t rowBytes = static_cast<size_t>(layout.rowBytes);
    const size_t bandRows = std::max<size_t>(1, kBandBytes / rowBytes);
    std::vector<uint8_t> band(bandRows * rowBytes);
    std::vector<uint8_t> row(static_cast<size_t>(layout.width) * 4);
    if (!source.seek(source.context, layout.pixelOffset)) return false;
    for (size_t done = 0; done < static_cast<size_t>(layout.height);) {
        const size_t rows = std::min(bandRows, static_cast<size_t>(layout.height) - done);
        if (!ReadExactly(source, band.data(), rows * rowBytes)) return false;
        for (size_t index = 0; index < rows; ++index) {
            const uint8_t* stored = band.data() + index * rowBytes;
            if (decoder.directBytes != 0) {
                FilterRow(filter, stored, decoder.directBytes);
            } else {
                DecodeRow(decoder, stored, row.data());
                FilterRow(filter, row.data(), 4);
            }
        }
        done += rows;
    }
    return true;
}

// The run-length data from the pixel offset to the end of the file, a chunk at a time.
struct RunInput {
    const PictureSource* source;
    std::vector<uint8_t> chunk = std::vector<uint8_t>(kRunChunk);
    size_t at = 0;
    size_t end = 0;

    bool Next(uint8_t* byte) {
        if (at == end) {
            end = source->read(source->context, chunk.data(), chunk.size());
            at = 0;
            if (end == 0 || end > chunk.size()) return false;
        }
        *byte = chunk[at++];
        return true;
    }
};

// The row being filled from run-length data, handed to the filter as it is left.
struct RunRow {
    std::vector<uint8_t> pixels;
    int32_t width = 0;
    int32_t x = 0;
    int32_t y = 0;
    bool blank = true;

    void Put(const uint8_t* colour) {
        if (x >= width) return;
        std::memcpy(&pixels[static_cast<size_t>(x) * 4], colour, 4);
        ++x;
        blank = false;
    }
    void Leave(AreaFilter* filter) {
        if (blank) {
            FilterBlackRows(filter, 1);
        } else {
            FilterRow(filter, pixels.data(), 4);
            std::fill(pixels.begin(), pixels.end(), 0);
        }
        blank = true;
        ++y;
    }
};

// RLE8 and RLE4: runs of one index (two alternating ones for RLE4), literal stretches padded to
// whole words, the end of a line, a jump right and down, the end of the picture. Pixels a run
// puts past the row's end are dropped; whatever the data never reaches, it may end at any byte,
// stays black.
bool StreamRuns(const PictureSource& source, const RowDecoder& decoder, AreaFilter* filter) {
    const BmpLayout& layout = decoder.layout;
    const bool four = layout.compression == kBmpRunLength4;
    if (!source.seek(source.context, layout.pixelOffset)) return false;
    RunInput input{&source};
    RunRow row;
    row.width = layout.width;
    row.pixels.assign(static_cast<size_t>(layout.width) * 4, 0);
    uint8_t count = 0, code = 0;
    while (row.y < layout.height && input.Next(&count) && input.Next(&code)) {
        if (count > 0) {
            for (int index = 0; index < count; ++index) {
                row.Put(decoder.palette[!four ? code : index % 2 == 0 ? code >> 4 : code & 15]);
            }
        } else if (code == 0) {
            row.Leave(filter);
            row.x = 0;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            uint8_t right = 0, down = 0;
            if (!input.Next(&right) || !input.Next(&down)) break;
            row.x = std::min(row.x + right, row.width);
            for (int step = 0; step < down && row.y < layout.height; ++step) row.Leave(filter);
        } else {
            const int bytes = four ? (code + 1) / 2 : code;
            uint8_t byte = 0;
            for (int index = 0; index < bytes && input.Next(&byte); ++index) {
                if (!four) {
                    row.Put(decoder.palette[byte]);
                    continue;
                }
                row.Put(decoder.palette[byte >> 4]);
                if (index * 2 + 1 < code) row.Put(decoder.palette[byte & 15]);
            }
            if (bytes % 2 != 0) input.Next(&byte);
        }
    }
    if (row.y < layout.height) row.Leave(filter);
    FilterBlackRows(filter, layout.height - row.y);
    return true;
}

// Rows stored bottom-up went through the filter in that order: the fitted picture is upside down.
void TurnRowsOver(DecodedPicture* picture) {
    const size_t rowBytes = static_cast<size_t>(picture->width) * 4;
    uint8_t* top = picture->bgra.data();
    uint8_t* bottom = top + (static_cast<size_t>(picture->height) - 1) * rowBytes;
    for (; top < bottom; top += rowBytes, bottom -= rowBytes) std::swap_ranges(top, top + rowBytes, bottom);
}

}  // namespace

bool DecodeBmpToFit(PictureSource source, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out,
                    int32_t* pictureWidth, int32_t* pictureHeight) {
    uint8_t head[kBmpHeadBytes];
    const size_t headSize = source.size < sizeof head ? static_cast<size_t>(source.size) : sizeof head;
    std::unique_ptr<RowDecoder> decoder(new (std::nothrow) RowDecoder);
    if (!decoder || !ReadAt(source, 0, head, headSize) ||
        !ReadBmpLayout(head, headSize, source.size, &decoder->layout)) {
        return false;
    }
    const BmpLayout& layout = decoder->layout;
    int32_t targetWidth = 0;
    int32_t targetHeight = 0;
    FittedSize(layout.width, layout.height, FitBox{boxWidth, boxHeight, false}, &targetWidth, &targetHeight);
    AreaFilter filter;
    try {
        if (!StartAreaFilter(layout.width, layout.height, targetWidth, targetHeight, &filter, out)) return false;
        if (!PrepareDecoder(source, decoder.get())) return false;
        const bool runs = layout.compression == kBmpRunLength8 || layout.compression == kBmpRunLength4;
        if (!(runs ? StreamRuns(source, *decoder, &filter) : StreamPlainRows(source, *decoder, &filter))) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!AreaFilterDone(filter)) return false;
    if (!layout.topDown) TurnRowsOver(out);
    try {
        ReadProfile(source, layout, &out->profile);
    } catch (const std::bad_alloc&) {
        out->profile.clear();
    }
    *pictureWidth = layout.width;
    *pictureHeight = layout.height;
    return true;
}
