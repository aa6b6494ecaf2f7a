#include "catalogue/picture_names.h"

#include <cctype>
#include <cstring>

namespace {

bool SameLetters(const char* a, const char* b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i])) return false;
    }
    return true;
}

}  // namespace

int PictureKindOf(const char* name) {
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr) return 0;
    const char* extension = dot + 1;
    // Only the first three characters count, so "photo.tiff" is a TIF and "photo.jpeg" is not
    // a JPG: a shorter extension text can never match a three-letter kind.
    if (std::strlen(extension) < 3) return 0;
    static const char* const kKinds[] = {"JPG", "BMP", "PCX", "PSD", "TIF"};
    for (int kind = 0; kind < 5; ++kind) {
        if (SameLetters(extension, kKinds[kind], 3)) return kind + 1;
    }
    return 0;
}

bool MakeCompanionName(char* name, size_t capacity) {
    char* dot = std::strrchr(name, '.');
    if (dot == nullptr) return false;
    const size_t kept = static_cast<size_t>(dot - name) + 1;
    if (kept + 4 > capacity) return false;
    std::memcpy(dot + 1, "WAV", 4);
    return true;
}
