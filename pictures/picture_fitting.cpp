#include "pictures/picture_fitting.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "pictures/area_filter.h"
#include "pictures/bmp_decoder.h"
#include "pictures/decoded_picture.h"
#include "pictures/exif_orientation.h"
#include "pictures/file_reading.h"
#include "pictures/jpeg_decoder.h"
#include "pictures/picture_content.h"
#include "pictures/picture_source.h"
#include "pictures/tiff_decoder.h"

namespace {

// Large enough for any PCX or PSD the decoders accept, small enough that a 32-bit process can try.
constexpr uint64_t kMaxDecodableFileBytes = 320u * 1024 * 1024;

// Enough of the start of a file for its kind to show, and for a JPEG's orientation: its Exif
// segment (at most 64 KB) comes first, or after a JFIF segment of a few bytes.
constexpr size_t kStartBytes = 128 * 1024;

// Open only while the picture is being read, and shared in every way, so that nobody else is kept
// from writing, renaming or deleting the file even meanwhile.
struct FileHandle {
    HANDLE handle;
    const std::atomic<bool>* abandon;
    FileHandle(const WCHAR* path, const std::atomic<bool>* abandonWhenSet)
        : handle(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)),
          abandon(abandonWhenSet) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
};

// A decode that is no longer wanted sees its file end: every decoder gives up on a file cut short,
// the JPEG decoder as soon as its data runs out.
size_t ReadFromFile(void* context, uint8_t* buffer, size_t size) {
    FileHandle* file = static_cast<FileHandle*>(context);
    if (file->abandon != nullptr && file->abandon->load(std::memory_order_relaxed)) return 0;
    DWORD read = 0;
    if (!ReadFile(file->handle, buffer, static_cast<DWORD>(size), &read, nullptr)) {
        return 0;
    }
    return read;
}

bool SeekInFile(void* context, uint64_t offset) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return offset <= INT64_MAX &&
           SetFilePointerEx(static_cast<FileHandle*>(context)->handle, distance, nullptr, FILE_BEGIN) != FALSE;
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

// PCX and PSD are read whole by the program's own decoders and then fitted.
bool DecodeWholeFile(const WCHAR* path, int32_t boxWidth, int32_t boxHeight, const DisplayProfile& display,
                     DecodedPicture* out, int32_t* width, int32_t* height) {
    std::vector<uint8_t> bytes;
    uint64_t size = 0;
    if (!ReadFileStart(path, kMaxDecodableFileBytes, Overlong::Refuse, &bytes, &size) ||
        !DecodeByContent(bytes.data(), bytes.size(), out, &display)) {
        return false;
    }
    bytes = std::vector<uint8_t>();
    *width = out->width;
    *height = out->height;
    try {
        return FitDecodedPicture(FitBox{boxWidth, boxHeight, false}, out);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// JPEG, BMP and TIFF are read in pieces by decoders that fit as they go, never whole: a 400 MP
// photo is a file of 170 MB as a JPEG and of 1.2 GB as a BMP. Only the kinds the names promise
// are decoded; anything else under a picture's name (a metafile, an icon, a PNG) is undecodable.
// A picture stored sideways is fitted by its upright size (FitBox). `orientation` gets the one
// the file records.
bool DecodeFittedAsStored(const WCHAR* path, int32_t boxWidth, int32_t boxHeight, const DisplayProfile& display,
                          DecodedPicture* out, int32_t* width, int32_t* height, int* orientation,
                          const std::atomic<bool>* abandon) {
    FileHandle file(path, abandon);
    LARGE_INTEGER size;
    if (file.handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.handle, &size) || size.QuadPart <= 0) return false;
    std::vector<uint8_t> start(kStartBytes);
    start.resize(ReadFromFile(&file, start.data(), start.size()));
    const PictureSource source{ReadFromFile, SeekInFile, &file, static_cast<uint64_t>(size.QuadPart)};
    switch (PictureContentOf(start.data(), start.size())) {
        case PictureContent::Jpeg:
            *orientation = PictureOrientationOf(start.data(), start.size());
            return SeekInFile(&file, 0) &&
                   DecodeJpegToFit(JpegSource{ReadFromFile, &file},
                                   FitBox{boxWidth, boxHeight, OrientationSwapsSides(*orientation)}, out, width, height,
                                   &display);
        case PictureContent::Bmp: return DecodeBmpToFit(source, boxWidth, boxHeight, out, width, height);
        case PictureContent::Tiff:
            return DecodeTiffToFit(source, boxWidth, boxHeight, out, width, height, orientation, &display);
        case PictureContent::Pcx:
        case PictureContent::Psd: break;
        case PictureContent::Unknown: return false;
    }
    return DecodeWholeFile(path, boxWidth, boxHeight, display, out, width, height);
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

bool DecodeFittedPicture(const WCHAR* path, int32_t boxWidth, int32_t boxHeight, const DisplayProfile& display,
                         FittedPicture* out, const std::atomic<bool>* abandon) {
    out->orientation = 1;
    if (!DecodeFittedAsStored(path, boxWidth, boxHeight, display, &out->pixels, &out->width, &out->height,
                              &out->orientation, abandon)) {
        return false;
    }
    // In the display's colours, converted once fitted, where it costs least.
    ConvertToDisplay(display, &out->pixels);
    return true;
}

UprightPicture UprightPictureOf(const FittedPicture& fitted) {
    UprightPicture upright;
    upright.bitmap.reset(ToBitmap(fitted.pixels));
    // Turned only once fitted, where it costs least.
    if (!upright.bitmap || !TurnUpright(upright.bitmap.get(), fitted.orientation)) return UprightPicture();
    upright.width = fitted.width;
    upright.height = fitted.height;
    if (OrientationSwapsSides(fitted.orientation)) std::swap(upright.width, upright.height);
    return upright;
}
