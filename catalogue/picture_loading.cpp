// ShowPicture: the one way any view chooses a picture. The file is read whole and closed at once,
// so that nothing holds it while its picture is on show (it can be renamed, replaced or deleted);
// its first bytes decide which decoder sees the copy in memory.
#include <shlwapi.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/decoded_picture.h"
#include "catalogue/file_reading.h"
#include "catalogue/picture_content.h"
#include "catalogue/picture_names.h"

namespace {

// Large enough for any picture the decoders accept, small enough that a 32-bit process can try.
constexpr DWORD kMaxDecodableFileBytes = 320u * 1024 * 1024;

bool ReadWholeFile(const WCHAR* path, std::vector<uint8_t>* bytes) {
    uint64_t size = 0;
    return ReadFileStart(path, kMaxDecodableFileBytes, Overlong::Refuse, bytes, &size) && size > 0;
}

// The memory GDI+ decoded CurrentPicture from, if it did: GDI+ may read it again whenever the
// picture is drawn, so it lives exactly as long as CurrentPicture.
IStream* CurrentPictureSource = nullptr;

// JPEG, BMP and TIFF go to GDI+ through a stream over a copy of the bytes. It is the shell's
// memory stream because that one reads nothing past its end wherever a seek went; OLE's stream on
// global memory, under Wine, reads on past it, and a TIFF whose offsets point outside the file then
// crashes the decoder.
Gdiplus::Image* DecodeWithGdiplus(std::vector<uint8_t>* bytes, IStream** source) {
    IStream* stream = SHCreateMemStream(bytes->data(), static_cast<UINT>(bytes->size()));
    *bytes = std::vector<uint8_t>();
    if (stream == nullptr) return nullptr;
    std::unique_ptr<Gdiplus::Image> image(new Gdiplus::Image(stream, FALSE));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) {
        image.reset();
        stream->Release();
        return nullptr;
    }
    *source = stream;
    return image.release();
}

// GDI+ has no PCX or PSD codec: the program's own decoders turn such files into an ordinary
// GDI+ bitmap that owns its pixels.
Gdiplus::Bitmap* DecodeWithOwnDecoders(std::vector<uint8_t>* bytes) {
    DecodedPicture decoded;
    if (!DecodeByContent(bytes->data(), bytes->size(), &decoded)) return nullptr;
    *bytes = std::vector<uint8_t>();
    std::unique_ptr<Gdiplus::Bitmap> bitmap(
        new Gdiplus::Bitmap(decoded.width, decoded.height, PixelFormat32bppRGB));
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

// Only the kinds the names promise are decoded; anything else under a picture's name (a metafile,
// an icon, a PNG) is undecodable. A BMP reaches GDI+ only once its layout is known to stay inside
// the file.
Gdiplus::Image* DecodePicture(std::vector<uint8_t>* bytes, IStream** source) {
    switch (PictureContentOf(bytes->data(), bytes->size())) {
        case PictureContent::Bmp:
            if (!BmpLayoutInside(bytes->data(), bytes->size())) return nullptr;
            return DecodeWithGdiplus(bytes, source);
        case PictureContent::Jpeg:
        case PictureContent::Tiff: return DecodeWithGdiplus(bytes, source);
        case PictureContent::Pcx:
        case PictureContent::Psd: return DecodeWithOwnDecoders(bytes);
        case PictureContent::Unknown: break;
    }
    return nullptr;
}

// Wine's GDI+ never lets go of a BMP or TIFF stream that it fails to decode: the copy of the file
// stays in memory for good, and for a TIFF whatever its header made the decoder allocate
// (megabytes for an absurd strip). A file that nobody could decode is not read and decoded again
// while it stays the same file: same full path, size and time of last write. The outcome is the
// same as loading it again.
struct FileIdentity {
    std::wstring path;
    ULARGE_INTEGER size;
    FILETIME written;
};
std::vector<FileIdentity> UndecodableFiles;
// Bounds the record for a session spent in folders full of broken files.
constexpr size_t kMaxUndecodableFiles = 4096;

bool IdentifyFile(const WCHAR* path, FileIdentity* file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    const DWORD length = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (length == 0 || !GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
    file->path.assign(length, L'\0');
    if (GetFullPathNameW(path, length, &file->path[0], nullptr) + 1 != length) return false;
    file->path.pop_back();
    file->size.LowPart = data.nFileSizeLow;
    file->size.HighPart = data.nFileSizeHigh;
    file->written = data.ftLastWriteTime;
    return true;
}

bool KnownUndecodable(const FileIdentity& file) {
    for (const FileIdentity& known : UndecodableFiles) {
        if (known.size.QuadPart == file.size.QuadPart && CompareFileTime(&known.written, &file.written) == 0 &&
            lstrcmpiW(known.path.c_str(), file.path.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

void RememberUndecodable(const FileIdentity& file) {
    if (UndecodableFiles.size() >= kMaxUndecodableFiles) UndecodableFiles.clear();
    UndecodableFiles.push_back(file);
}

// Replaces CurrentPicture with the file's picture. A file nobody can decode still becomes
// CurrentPicture, as an empty image that draws nothing; returns whether the load succeeded.
bool LoadCurrentPicture(const WCHAR* path) {
    DisposeCurrentPicture();
    FileIdentity file;
    const bool identified = IdentifyFile(path, &file);
    bool read = false;
    if (!identified || !KnownUndecodable(file)) {
        std::vector<uint8_t> bytes;
        read = ReadWholeFile(path, &bytes);
        if (read) CurrentPicture = DecodePicture(&bytes, &CurrentPictureSource);
    }
    if (CurrentPicture != nullptr) return true;
    // A file that could not be read (locked, still being written) is tried afresh next time.
    if (identified && read) RememberUndecodable(file);
    // GDI+ fails to load a file without a name, which gives the empty image.
    CurrentPicture = new Gdiplus::Image(L"", FALSE);
    return false;
}

}  // namespace

void DisposeCurrentPicture() {
    delete CurrentPicture;
    CurrentPicture = nullptr;
    if (CurrentPictureSource != nullptr) CurrentPictureSource->Release();
    CurrentPictureSource = nullptr;
}

void ShowPicture(HWND window) {
    if (GetFileAttributesW(NameBuffer) == INVALID_FILE_ATTRIBUTES) return;
    if (LoadCurrentPicture(NameBuffer)) {
        CurrentPictureWidth = static_cast<int32_t>(CurrentPicture->GetWidth());
        CurrentPictureHeight = static_cast<int32_t>(CurrentPicture->GetHeight());
        InvalidateRect(window, &DisplayArea, TRUE);
    }
    if (!MakeCompanionName(NameBuffer, kNameBufferSize)) return;
    // Without a companion, a sound still playing from an earlier picture goes on.
    if (GetFileAttributesW(NameBuffer) != INVALID_FILE_ATTRIBUTES) PlayCompanionSound(window, NameBuffer);
}
