#include "pictures/tiff_decoder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "pictures/area_filter.h"
#include "pictures/colour_profile.h"
#include "pictures/exif_orientation.h"
#include "pictures/packed_samples.h"

namespace {

// The source as libtiff's client I/O sees it: a position of its own, moved to only when read.
struct TiffClient {
    PictureSource source;
    uint64_t position = 0;
    uint64_t sourcePosition = UINT64_MAX;
};

tmsize_t ReadClient(thandle_t handle, void* buffer, tmsize_t size) {
    TiffClient* client = static_cast<TiffClient*>(handle);
    if (size <= 0 || client->position >= client->source.size) return 0;
    if (client->sourcePosition != client->position) {
        if (!client->source.seek(client->source.context, client->position)) return 0;
        client->sourcePosition = client->position;
    }
    uint8_t* bytes = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < static_cast<size_t>(size)) {
        const size_t count =
            client->source.read(client->source.context, bytes + done, static_cast<size_t>(size) - done);
        if (count == 0 || count > static_cast<size_t>(size) - done) break;
        done += count;
    }
    client->position += done;
    client->sourcePosition = client->position;
    return static_cast<tmsize_t>(done);
}

tmsize_t WriteClient(thandle_t, void*, tmsize_t) { return 0; }

toff_t SeekClient(thandle_t handle, toff_t offset, int whence) {
    TiffClient* client = static_cast<TiffClient*>(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR) base = client->position;
    if (whence == SEEK_END) base = client->source.size;
    if (offset > UINT64_MAX - base) return static_cast<toff_t>(-1);
    client->position = base + offset;
    return client->position;
}

int CloseClient(thandle_t) { return 0; }

toff_t SizeOfClient(thandle_t handle) { return static_cast<TiffClient*>(handle)->source.size; }

int MapNothing(thandle_t, void**, toff_t*) { return 0; }

void UnmapNothing(thandle_t, void*, toff_t) {}

// Handled here, so that libtiff neither prints nor goes on to its process-wide handlers.
int SayNothing(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// What libtiff reports with no file to hand a handler goes to its process-wide ones, which print:
// they are silenced once, whichever thread decodes first.
bool SilenceLibtiff() {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return true;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle OpenTiff(TiffClient* client) {
    static const bool silenced = SilenceLibtiff();
    (void)silenced;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kMaxTiffAllocation));
    TIFFOpenOptionsSetErrorHandlerExtR(options, SayNothing, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, SayNothing, nullptr);
    // "m": read through the client, never mapped.
    TIFF* tiff = TIFFClientOpenExt("picture", "rm", client, ReadClient, WriteClient, SeekClient, CloseClient,
                                   SizeOfClient, MapNothing, UnmapNothing, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tiff);
}

// A picture's rows in bands: a strip's or a row of tiles' height, fewer when that many rows of
// B, G, R, x would pass the allocation cap (a strip or tile is then decoded once for each band
// it meets). No band crosses from one strip or row of tiles into the next.
struct Bands {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t unit = 0;  // rows per strip or per tile
    uint32_t rows = 0;  // at most
    bool tiled = false;
    uint32_t tileWidth = 0;
};

uint32_t BandRows(const Bands& bands, uint32_t top) {
    return std::min({bands.rows, bands.height - top, bands.unit - top % bands.unit});
}

bool PlanBands(TIFF* tiff, uint32_t width, uint32_t height, Bands* bands) {
    bands->width = width;
    bands->height = height;
    bands->tiled = TIFFIsTiled(tiff) != 0;
    uint32_t unit = 0;
    if (bands->tiled) {
        if (!TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &bands->tileWidth) ||
            !TIFFGetField(tiff, TIFFTAG_TILELENGTH, &unit)) {
            return false;
        }
        if (bands->tileWidth == 0 || unit == 0) return false;
    } else {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &unit);
    }
    bands->unit = unit == 0 || unit > height ? height : unit;
    bands->rows = static_cast<uint32_t>(std::min<uint64_t>(bands->unit, kMaxTiffAllocation / (uint64_t{width} * 4)));
    return bands->rows > 0;
}

// How the raw path turns stored samples into B, G, R, x.
struct RawSamples {
    uint16_t photometric = 0;
    uint16_t bits = 0;
    uint16_t samples = 0;
    uint8_t levels[256] = {};      // grey levels of 1 to 8 bits
    uint8_t palette[256][4] = {};  // B, G, R, x
    // CMYK only: to the display's colours, after the samples are copied as they are.
    std::shared_ptr<const ColourTransform> cmyk;
};

uint8_t From16(const uint8_t* at) {
    uint16_t value = 0;
    std::memcpy(&value, at, 2);
    return static_cast<uint8_t>((value + 128u) / 257u);
}

void ConvertSamples(const RawSamples& raw, const uint8_t* stored, uint32_t count, uint8_t* row) {
    const uint32_t samples = raw.samples;
    for (uint32_t x = 0; x < count; ++x, row += 4) {
        if (raw.photometric == PHOTOMETRIC_RGB) {
            for (int channel = 0; channel < 3; ++channel) {
                const uint32_t sample = x * samples + channel;
                row[2 - channel] = raw.bits == 16 ? From16(stored + sample * 2) : stored[sample];
            }
        } else if (raw.photometric == PHOTOMETRIC_SEPARATED) {
            std::memcpy(row, stored + x * samples, 4);
        } else if (raw.photometric == PHOTOMETRIC_PALETTE) {
            std::memcpy(row, raw.palette[PackedSample(stored, x * samples, raw.bits)], 4);
        } else {
            uint8_t level = 0;
            if (raw.bits == 16) {
                level = From16(stored + x * samples * 2);
                if (raw.photometric == PHOTOMETRIC_MINISWHITE) level = static_cast<uint8_t>(255 - level);
            } else {
                level = raw.levels[PackedSample(stored, x * samples, raw.bits)];
            }
            row[0] = row[1] = row[2] = level;
        }
    }
    if (raw.cmyk) TransformPixels(*raw.cmyk, row - size_t{count} * 4, count);
}

// Unsigned grey, palette and RGB samples of the depths below, in one plane: the raw path reads
// them as stored. False for everything else, which goes through libtiff's RGBA interface.
bool TakeRawSamples(TIFF* tiff, RawSamples* raw) {
    uint16_t planes = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planes);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &raw->bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &raw->samples);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &raw->photometric)) return false;
    if ((planes != PLANARCONFIG_CONTIG && raw->samples > 1) || format != SAMPLEFORMAT_UINT || raw->samples == 0) {
        return false;
    }
    const uint16_t bits = raw->bits;
    const bool packed = bits == 1 || bits == 2 || bits == 4 || bits == 8;
    switch (raw->photometric) {
        case PHOTOMETRIC_RGB: return raw->samples >= 3 && (bits == 8 || bits == 16);
        case PHOTOMETRIC_SEPARATED: return raw->cmyk && raw->samples >= 4 && bits == 8;
        case PHOTOMETRIC_MINISBLACK:
        case PHOTOMETRIC_MINISWHITE:
            if (!packed) return bits == 16;
            for (uint32_t value = 0; value < (1u << bits); ++value) {
                const uint32_t level = value * 255 / ((1u << bits) - 1);
                raw->levels[value] =
                    static_cast<uint8_t>(raw->photometric == PHOTOMETRIC_MINISWHITE ? 255 - level : level);
            }
            return true;
        case PHOTOMETRIC_PALETTE: {
            uint16_t* map[3] = {nullptr, nullptr, nullptr};
            if (!packed || !TIFFGetField(tiff, TIFFTAG_COLORMAP, &map[0], &map[1], &map[2])) return false;
            // As libtiff's own reading has it: a map whose entries all fit in 8 bits is an 8-bit one.
            const uint32_t colours = 1u << bits;
            bool eightBit = true;
            for (uint32_t index = 0; index < colours; ++index) {
                for (uint16_t* channel : map) eightBit = eightBit && channel[index] < 256;
            }
            for (uint32_t index = 0; index < colours; ++index) {
                for (int channel = 0; channel < 3; ++channel) {
                    const uint16_t value = map[channel][index];
                    raw->palette[index][2 - channel] = static_cast<uint8_t>(eightBit ? value : value >> 8);
                }
            }
            return true;
        }
    }
    return false;
}

// Strips a row at a time (libtiff decodes each strip as it goes), tiles a band at a time.
bool StreamRawRows(TIFF* tiff, const Bands& bands, const RawSamples& raw, AreaFilter* filter) {
    const uint64_t chunkBytes = bands.tiled ? TIFFTileSize64(tiff) : TIFFScanlineSize64(tiff);
    if (chunkBytes == 0 || chunkBytes > kMaxTiffAllocation) return false;
    std::vector<uint8_t> chunk(static_cast<size_t>(chunkBytes));
    const size_t rowBytes = size_t{bands.width} * 4;
    if (!bands.tiled) {
        std::vector<uint8_t> row(rowBytes);
        for (uint32_t y = 0; y < bands.height; ++y) {
            if (TIFFReadScanline(tiff, chunk.data(), y, 0) < 0) return false;
            ConvertSamples(raw, chunk.data(), bands.width, row.data());
            FilterRow(filter, row.data(), 4);
        }
        return true;
    }
    const uint64_t tileRowBytes = TIFFTileRowSize64(tiff);
    std::vector<uint8_t> band(rowBytes * bands.rows);
    for (uint32_t top = 0, rows = 0; top < bands.height; top += rows) {
        rows = BandRows(bands, top);
        for (uint32_t left = 0; left < bands.width; left += bands.tileWidth) {
            if (TIFFReadTile(tiff, chunk.data(), left, top, 0, 0) < 0) return false;
            const uint32_t count = std::min(bands.tileWidth, bands.width - left);
            for (uint32_t y = 0; y < rows; ++y) {
                const uint64_t inTile = (top + y) % bands.unit;
                ConvertSamples(raw, chunk.data() + inTile * tileRowBytes, count,
                               band.data() + y * rowBytes + size_t{left} * 4);
            }
        }
        for (uint32_t y = 0; y < rows; ++y) FilterRow(filter, band.data() + y * rowBytes, 4);
    }
    return true;
}

// Everything else libtiff's RGBA interface converts (YCbCr and JPEG, CMYK, CIE L*a*b*, planes
// apart, ...), in stored order: it would otherwise turn the rows as the orientation tag says,
// which the caller does.
bool StreamRgbaRows(TIFF* tiff, const Bands& bands, AreaFilter* filter) {
    char message[1024];
    if (!TIFFRGBAImageOK(tiff, message)) return false;
    TIFFRGBAImage image;
    if (!TIFFRGBAImageBegin(&image, tiff, 1, message)) return false;
    image.req_orientation = ORIENTATION_TOPLEFT;
    image.orientation = ORIENTATION_TOPLEFT;
    bool read = true;
    try {
        std::vector<uint32_t> raster(size_t{bands.width} * bands.rows);
        std::vector<uint8_t> row(size_t{bands.width} * 4);
        for (uint32_t top = 0, rows = 0; top < bands.height && read; top += rows) {
            rows = BandRows(bands, top);
            image.row_offset = static_cast<int>(top);
            image.col_offset = 0;
            read = TIFFRGBAImageGet(&image, raster.data(), bands.width, rows) != 0;
            for (uint32_t y = 0; y < rows && read; ++y) {
                const uint32_t* pixels = raster.data() + size_t{y} * bands.width;
                for (uint32_t x = 0; x < bands.width; ++x) {
                    row[x * 4] = static_cast<uint8_t>(TIFFGetB(pixels[x]));
                    row[x * 4 + 1] = static_cast<uint8_t>(TIFFGetG(pixels[x]));
                    row[x * 4 + 2] = static_cast<uint8_t>(TIFFGetR(pixels[x]));
                }
                FilterRow(filter, row.data(), 4);
            }
        }
    } catch (const std::bad_alloc&) {
        read = false;
    }
    TIFFRGBAImageEnd(&image);
    return read;
}

// The profile tag 34675 carries, where it describes the colours of the picture's samples; a CMYK
// one goes to `raw` as a transform, for ink in the usual four.
std::vector<uint8_t> EmbeddedProfile(TIFF* tiff, const DisplayProfile& display, RawSamples* raw) {
    uint32_t size = 0;
    const void* data = nullptr;
    uint16_t photometric = 0, inks = INKSET_CMYK;
    std::vector<uint8_t> profile;
    if (!TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &size, &data) || data == nullptr || size > kMaxProfileBytes ||
        !TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)) {
        return profile;
    }
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inks);
    profile.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    const ProfileSpace space = ProfileSpaceOf(profile);
    const bool grey = photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
    if (photometric == PHOTOMETRIC_SEPARATED && inks == INKSET_CMYK && space == ProfileSpace::Cmyk) {
        raw->cmyk = CmykTransformFor(profile, StoredPixels::Cmyk, &display);
        profile.clear();
    }
    const bool rgb =
        photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_PALETTE || photometric == PHOTOMETRIC_YCBCR;
    if (!(rgb && space == ProfileSpace::Rgb) && !(grey && space == ProfileSpace::Grey)) profile.clear();
    return profile;
}

bool DecodeOpened(TIFF* tiff, int32_t boxWidth, int32_t boxHeight, const DisplayProfile& display, DecodedPicture* out,
                  int32_t* pictureWidth, int32_t* pictureHeight, int* orientation) {
    uint32_t width = 0, height = 0;
    uint16_t turn = ORIENTATION_TOPLEFT;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height)) {
        return false;
    }
    // The area filter's own limits, checked before anything is allocated for the picture.
    if (width == 0 || height == 0 || width > 65535 || height > 65535) return false;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &turn);
    *orientation = turn >= 1 && turn <= 8 ? turn : 1;
    Bands bands;
    if (!PlanBands(tiff, width, height, &bands)) return false;
    int32_t targetWidth = 0, targetHeight = 0;
    FittedSize(static_cast<int32_t>(width), static_cast<int32_t>(height),
               FitBox{boxWidth, boxHeight, OrientationSwapsSides(*orientation)}, &targetWidth, &targetHeight);
    AreaFilter filter;
    if (!StartAreaFilter(static_cast<int32_t>(width), static_cast<int32_t>(height), targetWidth, targetHeight, &filter,
                         out)) {
        return false;
    }
    std::unique_ptr<RawSamples> raw(new RawSamples);
    out->profile = EmbeddedProfile(tiff, display, raw.get());
    const bool read = TakeRawSamples(tiff, raw.get()) ? StreamRawRows(tiff, bands, *raw, &filter)
                                                      : StreamRgbaRows(tiff, bands, &filter);
    *pictureWidth = static_cast<int32_t>(width);
    *pictureHeight = static_cast<int32_t>(height);
    return read && AreaFilterDone(filter);
}

}  // namespace

bool DecodeTiffToFit(PictureSource source, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out,
                     int32_t* pictureWidth, int32_t* pictureHeight, int* orientation, const DisplayProfile* display) {
    TiffClient client;
    client.source = source;
    try {
        TiffHandle tiff = OpenTiff(&client);
        return tiff && DecodeOpened(tiff.get(), boxWidth, boxHeight, display != nullptr ? *display : DisplayProfile(),
                                    out, pictureWidth, pictureHeight, orientation);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
