// ShowPicture: the one way any view chooses a picture.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/decoded_picture.h"
#include "catalogue/picture_names.h"

namespace {

// Large enough for any picture the decoders accept, small enough that a 32-bit process can try.
constexpr DWORD kMaxDecodableFileBytes = 320u * 1024 * 1024;

bool ReadWholeFile(const WCHAR* path, std::vector<uint8_t>* bytes) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxDecodableFileBytes;
    if (ok) {
        try {
            bytes->resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    DWORD read = 0;
    ok = ok && ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
         read == bytes->size();
    CloseHandle(file);
    return ok;
}

// GDI+ has no PCX or PSD codec: such files go through the program's own decoders, chosen by
// content, and come back as an ordinary GDI+ bitmap.
// `read` tells whether the file could be read at all.
Gdiplus::Bitmap* DecodeWithOwnDecoders(const WCHAR* path, bool* read) {
    std::vector<uint8_t> bytes;
    DecodedPicture decoded;
    *read = ReadWholeFile(path, &bytes);
    if (!*read || !DecodeByContent(bytes.data(), bytes.size(), &decoded)) return nullptr;
    bytes = std::vector<uint8_t>();
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

// Wine's GDI+ keeps hold of a BMP or TIFF that it fails to decode: an open file handle every
// time (which also keeps the file from being replaced), and for a TIFF whatever its header made
// the decoder allocate (megabytes for an absurd strip). A file that nobody could decode is not
// handed over again while it stays the same file: same full path, size and time of last write.
// The outcome is the same as loading it again. (Decoding from a copy in memory would spare the
// handle, but Wine's BMP decoder then reads wherever a hostile pixel offset points, and crashes.)
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
    delete CurrentPicture;
    CurrentPicture = nullptr;
    FileIdentity file;
    const bool identified = IdentifyFile(path, &file);
    const bool undecodable = identified && KnownUndecodable(file);
    // An empty name gives the empty image that stands for an undecodable file.
    CurrentPicture = new Gdiplus::Image(undecodable ? L"" : path, FALSE);
    if (CurrentPicture == nullptr) return false;
    if (CurrentPicture->GetLastStatus() == Gdiplus::Ok) return true;
    if (undecodable) return false;
    bool read = false;
    if (Gdiplus::Bitmap* decoded = DecodeWithOwnDecoders(path, &read)) {
        delete CurrentPicture;
        CurrentPicture = decoded;
        return true;
    }
    // A file that could not be read (locked, still being written) is tried afresh next time.
    if (identified && read) RememberUndecodable(file);
    return false;
}

}  // namespace

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
