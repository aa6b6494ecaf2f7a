#include "pictures/picture_fitting.h"

#include <shlwapi.h>

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "pictures/area_filter.h"
#include "pictures/decoded_picture.h"
#include "pictures/exif_orientation.h"
#include "pictures/file_reading.h"
#include "pictures/jpeg_decoder.h"
#include "pictures/picture_content.h"

namespace {

// Large enough for any picture the decoders accept, small enough that a 32-bit process can try.
constexpr uint64_t kMaxDecodableFileBytes = 320u * 1024 * 1024;

// Enough of the start of a file for its kind to show, and for a JPEG's orientation: its Exif
// segment (at most 64 KB) comes first, or after a JFIF segment of a few bytes.
constexpr size_t kStartBytes = 128 * 1024;

// Rows GDI+ hands over at a time while a picture it decoded is fitted: a few megabytes of copy.
constexpr int64_t kBandBytes = 4 * 1024 * 1024;

// Open only while the picture is being read, and shared in every way, so that nobody else is kept
// from writing, renaming or deleting the file even meanwhile.
struct FileHandle {
    HANDLE handle;
    explicit FileHandle(const WCHAR* path)
        : handle(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
};

size_t ReadFromFile(void* context, uint8_t* buffer, size_t size) {
    DWORD read = 0;
    if (!ReadFile(static_cast<FileHandle*>(context)->handle, buffer, static_cast<DWORD>(size), &read, nullptr)) {
        return 0;
    }
    return read;
}

// The fitted picture handed to GDI+, which draws it 1:1. It owns its pixels.
Gdiplus::Bitmap* ToBitmap(const DecodedPicture& decoded) {
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(decoded.width, decoded.height, PixelFormat32bppRGB));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Rect all(0, 0, decoded.width, decoded.height);
    Gdiplus::BitmapData locked;
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppRGB, &locked) != Gdiplus::Ok) {
        return nullptr;
    }
    const size_t rowBytes = static_cast<size_t>(decoded.width) * 4;
    for (int32_t row = 0; row < decoded.height; ++row) {
        std::memcpy(static_cast<uint8_t*>(locked.Scan0) + static_cast<ptrdiff_t>(row) * locked.Stride,
                    decoded.bgra.data() + row * rowBytes, rowBytes);
    }
    bitmap->UnlockBits(&locked);
    return bitmap.release();
}

// What GDI+ decoded whole, shrunk band by band.
bool FitGdiplusPicture(Gdiplus::Bitmap& source, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out) {
    const int32_t width = static_cast<int32_t>(source.GetWidth());
    const int32_t height = static_cast<int32_t>(source.GetHeight());
    int32_t fittedWidth = 0;
    int32_t fittedHeight = 0;
    FittedSize(width, height, boxWidth, boxHeight, &fittedWidth, &fittedHeight);
    AreaFilter filter;
    if (!StartAreaFilter(width, height, fittedWidth, fittedHeight, &filter, out)) return false;
    const int32_t band = static_cast<int32_t>(kBandBytes / (static_cast<int64_t>(width) * 4) + 1);
    for (int32_t top = 0; top < height; top += band) {
        Gdiplus::Rect rows(0, top, width, top + band < height ? band : height - top);
        Gdiplus::BitmapData locked;
        if (source.LockBits(&rows, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &locked) != Gdiplus::Ok) {
            return false;
        }
        for (int32_t row = 0; row < rows.Height; ++row) {
            FilterRow(&filter, static_cast<const uint8_t*>(locked.Scan0) + static_cast<ptrdiff_t>(row) * locked.Stride,
                      4);
        }
        source.UnlockBits(&locked);
    }
    return AreaFilterDone(filter);
}

// JPEG (when libjpeg-turbo refused it), BMP and TIFF go to GDI+ through a stream over the bytes.
// It is the shell's memory stream because that one reads nothing past its end wherever a seek
// went; OLE's stream on global memory, under Wine, reads on past it, and a TIFF whose offsets
// point outside the file then crashes the decoder. Once fitted, neither the decoded picture nor
// the stream is kept.
bool DecodeWithGdiplus(std::vector<uint8_t>* bytes, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out,
                       int32_t* width, int32_t* height) {
    IStream* stream = SHCreateMemStream(bytes->data(), static_cast<UINT>(bytes->size()));
    // The stream holds a copy: a picture GDI+ must decode whole needs all the room there is.
    *bytes = std::vector<uint8_t>();
    if (stream == nullptr) return false;
    bool fitted = false;
    {
        Gdiplus::Bitmap source(stream, FALSE);
        if (source.GetLastStatus() == Gdiplus::Ok) {
            *width = static_cast<int32_t>(source.GetWidth());
            *height = static_cast<int32_t>(source.GetHeight());
            try {
                fitted = FitGdiplusPicture(source, boxWidth, boxHeight, out);
            } catch (const std::bad_alloc&) {
                fitted = false;
            }
        }
    }
    stream->Release();
    return fitted;
}

// GDI+ has no PCX or PSD codec: the program's own decoders read those.
bool DecodeWithOwnDecoders(std::vector<uint8_t>* bytes, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out,
                           int32_t* width, int32_t* height) {
    if (!DecodeByContent(bytes->data(), bytes->size(), out)) return false;
    *bytes = std::vector<uint8_t>();
    *width = out->width;
    *height = out->height;
    try {
        return FitDecodedPicture(boxWidth, boxHeight, out);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Only the kinds the names promise are decoded; anything else under a picture's name (a metafile,
// an icon, a PNG) is undecodable. A BMP reaches GDI+ only once its layout is known to stay inside
// the file.
bool DecodeBytes(std::vector<uint8_t>* bytes, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out, int32_t* width,
                 int32_t* height) {
    switch (PictureContentOf(bytes->data(), bytes->size())) {
        case PictureContent::Bmp:
            if (!BmpLayoutInside(bytes->data(), bytes->size())) return false;
            return DecodeWithGdiplus(bytes, boxWidth, boxHeight, out, width, height);
        case PictureContent::Jpeg:
        case PictureContent::Tiff: return DecodeWithGdiplus(bytes, boxWidth, boxHeight, out, width, height);
        case PictureContent::Pcx:
        case PictureContent::Psd: return DecodeWithOwnDecoders(bytes, boxWidth, boxHeight, out, width, height);
        case PictureContent::Unknown: break;
    }
    return false;
}

// A picture stored sideways is fitted to the box turned a quarter: turned upright, it fits the box.
struct StoredBox {
    StoredBox(int orientation, int32_t boxWidth, int32_t boxHeight) : width(boxWidth), height(boxHeight) {
        if (OrientationSwapsSides(orientation)) std::swap(width, height);
    }
    int32_t width;
    int32_t height;
};

// A JPEG is read by libjpeg-turbo in pieces, never whole: a 400 MP photo is a file of 170 MB.
// Everything else, and a JPEG libjpeg-turbo refused, is read whole once and decoded from memory.
// `orientation` gets the one the file records.
bool DecodeFitted(const WCHAR* path, int32_t boxWidth, int32_t boxHeight, DecodedPicture* out, int32_t* width,
                  int32_t* height, int* orientation, bool* read) {
    {
        FileHandle file(path);
        *read = file.handle != INVALID_HANDLE_VALUE;
        if (!*read) return false;
        std::vector<uint8_t> start(kStartBytes);
        start.resize(ReadFromFile(&file, start.data(), start.size()));
        if (PictureContentOf(start.data(), start.size()) == PictureContent::Jpeg) {
            *orientation = PictureOrientationOf(start.data(), start.size());
            const StoredBox box(*orientation, boxWidth, boxHeight);
            SetFilePointer(file.handle, 0, nullptr, FILE_BEGIN);
            if (DecodeJpegToFit(JpegSource{ReadFromFile, &file}, box.width, box.height, out, width, height)) {
                return true;
            }
        }
    }
    std::vector<uint8_t> bytes;
    uint64_t size = 0;
    *read = ReadFileStart(path, kMaxDecodableFileBytes, Overlong::Refuse, &bytes, &size) && size > 0;
    if (!*read) return false;
    *orientation = PictureOrientationOf(bytes.data(), bytes.size());
    const StoredBox box(*orientation, boxWidth, boxHeight);
    return DecodeBytes(&bytes, box.width, box.height, out, width, height);
}

// Turns and mirrors the fitted picture as its file says it is meant to be seen. The transposed
// orientations 5 and 7 are a quarter turn and then a mirror, in two steps: GDI+'s combined
// Rotate90FlipX and Rotate270FlipX are not done alike everywhere (Wine mirrors before it turns,
// which gives the other one).
bool TurnUpright(Gdiplus::Bitmap* picture, int orientation) {
    using namespace Gdiplus;
    static const RotateFlipType kTurns[9][2] = {
        {RotateNoneFlipNone, RotateNoneFlipNone}, {RotateNoneFlipNone, RotateNoneFlipNone},
        {RotateNoneFlipX, RotateNoneFlipNone},    {Rotate180FlipNone, RotateNoneFlipNone},
        {RotateNoneFlipY, RotateNoneFlipNone},    {Rotate90FlipNone, RotateNoneFlipX},
        {Rotate90FlipNone, RotateNoneFlipNone},   {Rotate270FlipNone, RotateNoneFlipX},
        {Rotate270FlipNone, RotateNoneFlipNone},
    };
    if (orientation <= 1 || orientation > 8) return true;
    for (RotateFlipType turn : kTurns[orientation]) {
        if (turn != RotateNoneFlipNone && picture->RotateFlip(turn) != Ok) return false;
    }
    return true;
}

}  // namespace

Gdiplus::Bitmap* LoadFittedPicture(const WCHAR* path, int32_t boxWidth, int32_t boxHeight, int32_t* width,
                                   int32_t* height, bool* read) {
    DecodedPicture fitted;
    int orientation = 1;
    if (!DecodeFitted(path, boxWidth, boxHeight, &fitted, width, height, &orientation, read)) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(ToBitmap(fitted));
    // Turned only once fitted, where it costs least.
    if (!bitmap || !TurnUpright(bitmap.get(), orientation)) return nullptr;
    if (OrientationSwapsSides(orientation)) std::swap(*width, *height);
    return bitmap.release();
}
