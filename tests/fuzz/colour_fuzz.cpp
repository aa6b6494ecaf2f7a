// The colour profile readers and Little CMS's opening of what they find. The input is read as a
// JPEG's APP2 segments (each a big-endian 16-bit length, then that many bytes); where they make
// no profile, the input itself is the profile. It then converts a picture from those colours,
// as RGB, grey and CMYK, and is tried as the display's profile.
#include <lcms2.h>

#include <vector>

#include "pictures/colour_conversion.h"
#include "pictures/colour_profile.h"

namespace {

std::vector<uint8_t> ProfileFrom(const uint8_t* data, size_t size) {
    std::vector<MarkerPayload> segments;
    for (size_t at = 0; at + 2 <= size;) {
        const size_t length = static_cast<size_t>(data[at] << 8 | data[at + 1]);
        at += 2;
        if (length > size - at) break;
        segments.push_back({data + at, length});
        at += length;
    }
    std::vector<uint8_t> profile;
    if (!AssembleJpegProfile(segments.data(), segments.size(), &profile)) profile.assign(data, data + size);
    return profile;
}

// Some picture colours, every pixel's differing; opaque, but for CMYK, whose four bytes are ink.
DecodedPicture SomePicture(bool cmyk) {
    DecodedPicture picture;
    StartPicture(16, 16, &picture);
    for (size_t at = 0; at < picture.bgra.size(); ++at) {
        if (cmyk || at % 4 != 3) picture.bgra[at] = static_cast<uint8_t>(at * 37);
    }
    return picture;
}

std::vector<uint8_t> SavedProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// Adobe RGB's primaries at gamma 2.2: far enough from sRGB to be converted to any display.
std::vector<uint8_t> WideProfile() {
    const cmsCIExyY white = {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    std::vector<uint8_t> bytes = SavedProfile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(gamma);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> wide = WideProfile();
    const std::vector<uint8_t> profile = ProfileFrom(data, size);
    DecodedPicture picture = SomePicture(false);
    picture.profile = profile;
    ConvertToDisplay(DisplayProfile(), &picture);
    for (StoredPixels pixels : {StoredPixels::Cmyk, StoredPixels::InvertedCmyk}) {
        DecodedPicture cmyk = SomePicture(true);
        if (auto transform = ColourTransformFor(profile, pixels, DisplayProfile())) {
            TransformPixels(*transform, cmyk.bgra.data(), cmyk.bgra.size() / 4);
        }
    }
    DecodedPicture shown = SomePicture(false);
    shown.profile = wide;
    ConvertToDisplay(profile, &shown);
    // The conversion keeps every picture opaque.
    for (const DecodedPicture* converted : {&picture, &shown}) {
        for (size_t at = 3; at < converted->bgra.size(); at += 4) {
            if (converted->bgra[at] != 255) __builtin_trap();
        }
    }
    return 0;
}
