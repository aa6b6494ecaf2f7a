// ShowPicture and the companion sound: the one way any view chooses a picture.
#include <cstring>
#include <memory>
#include <vector>

#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/decoded_picture.h"
#include "catalogue/picture_names.h"

namespace {

// Large enough for any picture the decoders accept, small enough that a 32-bit process can try.
constexpr DWORD kMaxDecodableFileBytes = 320u * 1024 * 1024;

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
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
Gdiplus::Bitmap* DecodeWithOwnDecoders(const char* path) {
    std::vector<uint8_t> bytes;
    DecodedPicture decoded;
    if (!ReadWholeFile(path, &bytes) || !DecodeByContent(bytes.data(), bytes.size(), &decoded)) return nullptr;
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

// Replaces CurrentPicture with the file's picture. A file nobody can decode still becomes
// CurrentPicture, as an empty image that draws nothing; returns whether the load succeeded.
bool LoadCurrentPicture(const char* path) {
    delete CurrentPicture;
    CurrentPicture = nullptr;
    WCHAR wideName[kNameBufferSize];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wideName, kNameBufferSize) == 0) wideName[0] = L'\0';
    CurrentPicture = new Gdiplus::Image(wideName, FALSE);
    if (CurrentPicture == nullptr) return false;
    if (CurrentPicture->GetLastStatus() == Gdiplus::Ok) return true;
    if (Gdiplus::Bitmap* decoded = DecodeWithOwnDecoders(path)) {
        delete CurrentPicture;
        CurrentPicture = decoded;
        return true;
    }
    return false;
}

}  // namespace

void ShowPicture(HWND window) {
    if (GetFileAttributesA(NameBuffer) == INVALID_FILE_ATTRIBUTES) return;
    if (LoadCurrentPicture(NameBuffer)) {
        CurrentPictureWidth = static_cast<int32_t>(CurrentPicture->GetWidth());
        CurrentPictureHeight = static_cast<int32_t>(CurrentPicture->GetHeight());
        InvalidateRect(window, &DisplayArea, TRUE);
    }
    if (!MakeCompanionName(NameBuffer, kNameBufferSize)) return;
    // Without a companion, a sound still playing from an earlier picture goes on.
    if (GetFileAttributesA(NameBuffer) != INVALID_FILE_ATTRIBUTES) PlayCompanionSound(window, NameBuffer);
}

MCIERROR PlayCompanionSound(HWND window, const char* path) {
    // Stops and releases the previous companion; fails harmlessly when there is none.
    mciSendCommandA(SoundDeviceId, MCI_CLOSE, 0, 0);
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "waveaudio";
    open.lpstrElementName = path;
    MCIERROR error = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
    if (error != 0) return error;
    SoundDeviceId = open.wDeviceID;
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(window);
    error = mciSendCommandA(SoundDeviceId, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
    if (error != 0) mciSendCommandA(SoundDeviceId, MCI_CLOSE, 0, 0);
    return error;
}
