#include "catalogue/picture_names.h"

#include <cwchar>

namespace {

// Only ASCII letters fold: the kinds are ASCII, and no other letter may pass for one of them.
bool SameLetters(const wchar_t* a, const char* b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const wchar_t upper = a[i] >= L'a' && a[i] <= L'z' ? a[i] - (L'a' - L'A') : a[i];
        if (upper != static_cast<wchar_t>(b[i])) return false;
    }
    return true;
}

}  // namespace

int PictureKindOf(const wchar_t* name) {
    const wchar_t* dot = std::wcsrchr(name, L'.');
    if (dot == nullptr) return 0;
    const wchar_t* extension = dot + 1;
    // Only the first three characters count, so "photo.tiff" is a TIF and "photo.jpeg" is not
    // a JPG: a shorter extension text can never match a three-letter kind.
    if (std::wcslen(extension) < 3) return 0;
    static const char* const kKinds[] = {"JPG", "BMP", "PCX", "PSD", "TIF"};
    for (int kind = 0; kind < 5; ++kind) {
        if (SameLetters(extension, kKinds[kind], 3)) return kind + 1;
    }
    return 0;
}

bool MakeCompanionName(wchar_t* name, size_t capacity) {
    wchar_t* dot = std::wcsrchr(name, L'.');
    if (dot == nullptr) return false;
    const size_t kept = static_cast<size_t>(dot - name) + 1;
    if (kept + 4 > capacity) return false;
    std::wmemcpy(dot + 1, L"WAV", 4);
    return true;
}
