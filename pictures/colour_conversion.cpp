#include "pictures/colour_conversion.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>

#include "pictures/colour_profile.h"

struct ColourTransform {
    cmsHTRANSFORM handle;
    ~ColourTransform() { cmsDeleteTransform(handle); }
};

namespace {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

Profile OpenProfile(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > kMaxProfileBytes) return nullptr;
    return Profile(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
}

// Colorants and tone curves within these of sRGB's look the same on screen as sRGB, whoever
// wrote the profile: such a picture is shown as stored, untouched by rounding.
constexpr double kSrgbColorantTolerance = 0.002;
constexpr double kSrgbCurveTolerance = 0.002;

bool SameColorant(cmsHPROFILE profile, cmsHPROFILE srgb, cmsTagSignature tag) {
    const auto* colorant = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tag));
    const auto* wanted = static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb, tag));
    return colorant != nullptr && wanted != nullptr && std::fabs(colorant->X - wanted->X) < kSrgbColorantTolerance &&
           std::fabs(colorant->Y - wanted->Y) < kSrgbColorantTolerance &&
           std::fabs(colorant->Z - wanted->Z) < kSrgbColorantTolerance;
}

bool SameCurve(cmsHPROFILE profile, cmsHPROFILE srgb, cmsTagSignature tag) {
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag));
    const auto* wanted = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, tag));
    if (curve == nullptr || wanted == nullptr) return false;
    for (int step = 0; step <= 32; ++step) {
        const float at = static_cast<float>(step) / 32;
        if (std::fabs(cmsEvalToneCurveFloat(curve, at) - cmsEvalToneCurveFloat(wanted, at)) > kSrgbCurveTolerance) {
            return false;
        }
    }
    return true;
}

bool IsSrgb(cmsHPROFILE profile, cmsHPROFILE srgb) {
    if (cmsGetColorSpace(profile) != cmsSigRgbData) return false;
    return SameColorant(profile, srgb, cmsSigRedColorantTag) && SameColorant(profile, srgb, cmsSigGreenColorantTag) &&
           SameColorant(profile, srgb, cmsSigBlueColorantTag) && SameCurve(profile, srgb, cmsSigRedTRCTag) &&
           SameCurve(profile, srgb, cmsSigGreenTRCTag) && SameCurve(profile, srgb, cmsSigBlueTRCTag);
}

struct PixelForm {
    cmsColorSpaceSignature space;
    cmsUInt32Number format;
};

PixelForm FormOf(StoredPixels pixels) {
    switch (pixels) {
        case StoredPixels::Bgrx: return {cmsSigRgbData, TYPE_BGRA_8};
        case StoredPixels::GreyBgrx:
            return {cmsSigGrayData, COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1) | EXTRA_SH(3)};
        case StoredPixels::Cmyk: return {cmsSigCmykData, TYPE_CMYK_8};
        case StoredPixels::InvertedCmyk: break;
    }
    return {cmsSigCmykData, TYPE_CMYK_8_REV};
}

// A profile a picture's colours can come from: one of a device or a colour space, not a link,
// an abstract or a list of named colours.
bool DescribesPictures(cmsHPROFILE profile) {
    const cmsProfileClassSignature kind = cmsGetDeviceClass(profile);
    return kind == cmsSigInputClass || kind == cmsSigDisplayClass || kind == cmsSigOutputClass ||
           kind == cmsSigColorSpaceClass;
}

cmsHTRANSFORM CreateTransform(cmsHPROFILE source, const PixelForm& form, cmsHPROFILE target) {
    return cmsCreateTransform(source, form.format, target, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                              cmsFLAGS_BLACKPOINTCOMPENSATION);
}

// To the display's profile where Little CMS can use it as one, else to sRGB.
std::shared_ptr<const ColourTransform> BuildTransform(const std::vector<uint8_t>& embedded, StoredPixels pixels,
                                                      const DisplayProfile& display) {
    const PixelForm form = FormOf(pixels);
    Profile source = OpenProfile(embedded);
    if (!source || cmsGetColorSpace(source.get()) != form.space || !DescribesPictures(source.get())) return nullptr;
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb) return nullptr;
    Profile target = OpenProfile(display);
    if (target && (cmsGetColorSpace(target.get()) != cmsSigRgbData || !DescribesPictures(target.get()) ||
                   IsSrgb(target.get(), srgb.get()))) {
        target.reset();
    }
    cmsHTRANSFORM handle = target ? CreateTransform(source.get(), form, target.get()) : nullptr;
    if (handle == nullptr) {
        if (IsSrgb(source.get(), srgb.get())) return nullptr;
        handle = CreateTransform(source.get(), form, srgb.get());
    }
    if (handle == nullptr) return nullptr;
    std::shared_ptr<ColourTransform> transform(new (std::nothrow) ColourTransform{handle});
    if (!transform) cmsDeleteTransform(handle);
    return transform;
}

// A shoot is mostly in one profile, and the display's rarely changes: a few transforms are kept,
// the last used first, and a profile Little CMS refused is remembered as refused.
struct CachedTransform {
    uint64_t hash;
    StoredPixels pixels;
    std::vector<uint8_t> embedded;
    DisplayProfile display;
    std::shared_ptr<const ColourTransform> transform;
};
constexpr size_t kCachedTransforms = 4;

std::mutex CacheLock;
std::vector<CachedTransform> Cache;

uint64_t HashOf(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second, StoredPixels pixels) {
    uint64_t hash = 14695981039346656037ull ^ static_cast<uint64_t>(pixels);
    for (const std::vector<uint8_t>* bytes : {&first, &second}) {
        for (uint8_t byte : *bytes) hash = (hash ^ byte) * 1099511628211ull;
        hash = (hash ^ bytes->size()) * 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::shared_ptr<const ColourTransform> ColourTransformFor(const std::vector<uint8_t>& embedded, StoredPixels pixels,
                                                          const DisplayProfile& display) {
    if (embedded.empty()) return nullptr;
    const uint64_t hash = HashOf(embedded, display, pixels);
    try {
        std::lock_guard<std::mutex> hold(CacheLock);
        for (size_t index = 0; index < Cache.size(); ++index) {
            CachedTransform& entry = Cache[index];
            if (entry.hash == hash && entry.pixels == pixels && entry.embedded == embedded &&
                entry.display == display) {
                std::rotate(Cache.begin(), Cache.begin() + static_cast<ptrdiff_t>(index),
                            Cache.begin() + static_cast<ptrdiff_t>(index) + 1);
                return Cache.front().transform;
            }
        }
        std::shared_ptr<const ColourTransform> transform = BuildTransform(embedded, pixels, display);
        if (Cache.size() == kCachedTransforms) Cache.pop_back();
        Cache.insert(Cache.begin(), CachedTransform{hash, pixels, embedded, display, transform});
        return transform;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::shared_ptr<const ColourTransform> CmykTransformFor(const std::vector<uint8_t>& embedded, StoredPixels pixels,
                                                        const DisplayProfile* display) {
    if (ProfileSpaceOf(embedded) != ProfileSpace::Cmyk) return nullptr;
    return ColourTransformFor(embedded, pixels, display != nullptr ? *display : DisplayProfile());
}

void TransformPixels(const ColourTransform& transform, uint8_t* pixels, size_t count) {
    // Little CMS counts pixels in 32 bits; a fitted picture or a row has far fewer.
    constexpr size_t kMostAtOnce = size_t{1} << 30;
    for (size_t done = 0; done < count; done += kMostAtOnce) {
        const size_t now = count - done < kMostAtOnce ? count - done : kMostAtOnce;
        cmsDoTransform(transform.handle, pixels + done * 4, pixels + done * 4, static_cast<cmsUInt32Number>(now));
    }
}

void ConvertToDisplay(const DisplayProfile& display, DecodedPicture* picture) {
    const ProfileSpace space = ProfileSpaceOf(picture->profile);
    if (space != ProfileSpace::Rgb && space != ProfileSpace::Grey) return;
    const std::shared_ptr<const ColourTransform> transform = ColourTransformFor(
        picture->profile, space == ProfileSpace::Rgb ? StoredPixels::Bgrx : StoredPixels::GreyBgrx, display);
    if (transform) TransformPixels(*transform, picture->bgra.data(), picture->bgra.size() / 4);
}
