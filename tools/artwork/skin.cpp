// The window face: a moulded outer rim, a flat plate, a raised bezel around the display well,
// a black outline and a two-pixel lip. Every band is a colour profile across its width, so the
// straight runs are exact per pixel and the rounded corners follow the same profile by distance.
#include <algorithm>
#include <cmath>

#include "canvas.h"
#include "title.h"

namespace {

// A colour at a depth from a band's outer edge, in pixels; pixel i of a straight run sits at i + 0.5.
struct ColourKey {
    double depth;
    Rgb colour;
};
using Profile = std::vector<ColourKey>;

constexpr double kPi = 3.14159265358979323846;

// Rim widths: 11 at the sides, 14 at the top, 13 at the bottom; the plate starts right after.
constexpr double kRimSide = 11, kRimTop = 14, kRimBottom = 13;
constexpr double kRimRadius = 10;
// The bezel's outer edge and corner radius; it is 13 pixels wide on every side.
constexpr double kBezelLeft = 17, kBezelTop = 38, kBezelRight = 373, kBezelBottom = 314;
constexpr double kBezelRadius = 9;
// The black outline; the lip fills the two rings between it and the well.
constexpr int kOutlineLeft = 30, kOutlineTop = 51, kOutlineRight = 360, kOutlineBottom = 301;

constexpr Rgb kBezelDark = 0x5F5A4E, kBezelCrest = 0xFBF8F2, kBezelInner = 0xD3CCBF, kBezelFoot = 0xC6BFB1;
constexpr Rgb kLipLight = 0xC6C3BD, kLipDark = 0x6B6860, kLipWhite = 0xFFFFFF, kLipNearWhite = 0xF2F0EB;

const Profile kRimSideProfile = {
    {0.5, kEdgeColour}, {2.5, 0xA8A292}, {4.5, kSideCrestColour}, {kRimSide + 0.5, kFaceColour}};
const Profile kRimTopProfile = {
    {0.5, kEdgeColour}, {2.5, 0x9E9788}, {5.5, kTopCrestColour}, {kRimTop + 0.5, kFaceColour}};
const Profile kRimBottomProfile = {
    {0.5, kEdgeColour}, {2.5, 0x9E9788}, {5.5, kTopCrestColour}, {kRimBottom + 0.5, kFaceColour}};
const Profile kBezelProfile = {
    {0.5, kBezelDark}, {2.5, 0xA39D8E}, {5.5, kBezelCrest}, {9.5, kBezelInner}, {12.5, kBezelFoot}};

// Between keys the colour follows a half cosine, so crests and feet are rounded rather than creased.
Rgb ProfileColour(const Profile& profile, double depth) {
    if (depth <= profile.front().depth) return profile.front().colour;
    for (size_t i = 1; i < profile.size(); ++i) {
        if (depth <= profile[i].depth) {
            const double t = (depth - profile[i - 1].depth) / (profile[i].depth - profile[i - 1].depth);
            return MixColours(profile[i - 1].colour, profile[i].colour, (1 - std::cos(kPi * t)) / 2);
        }
    }
    return profile.back().colour;
}

// Key by key mix of two profiles of the same shape.
Profile BlendProfiles(const Profile& a, const Profile& b, double t) {
    Profile out = a;
    for (size_t i = 0; i < out.size(); ++i) {
        out[i].depth = a[i].depth + (b[i].depth - a[i].depth) * t;
        out[i].colour = MixColours(a[i].colour, b[i].colour, t);
    }
    return out;
}

// The rim or the plate. In a corner the side profile turns into the top or bottom one with the
// angle seen from the plate's corner, so the moulding bends round without a mitre seam.
Rgb RimColour(double px, double py) {
    const bool bottom = py > kSkinHeight / 2.0;
    const double band = bottom ? kRimBottom : kRimTop;
    const double dx = std::min(px, kSkinWidth - px);
    const double dy = bottom ? kSkinHeight - py : py;
    if (dx >= kRimSide && dy >= band) return kFaceColour;
    double weight = dx >= kRimSide ? 1.0 : 0.0;
    if (dx < kRimSide && dy < band) weight = std::atan2(band - dy, kRimSide - dx) / (kPi / 2);
    const Profile profile = BlendProfiles(kRimSideProfile, bottom ? kRimBottomProfile : kRimTopProfile, weight);
    const double depth = RoundRectDepth(px, py, 0, 0, kSkinWidth, kSkinHeight, kRimRadius);
    return ProfileColour(profile, depth);
}

double BezelDepth(double px, double py) {
    return RoundRectDepth(px, py, kBezelLeft, kBezelTop, kBezelRight, kBezelBottom, kBezelRadius);
}

// The bezel over `below`, with its rounded outer corners smoothed by 4 x 4 samples.
Rgb BezelColour(double px, double py, Rgb below) {
    const double depth = BezelDepth(px, py);
    if (depth <= -1) return below;
    int covered = 16;
    if (depth < 1) {
        covered = 0;
        for (int i = 0; i < 16; ++i)
            if (BezelDepth(px - 0.375 + 0.25 * (i % 4), py - 0.375 + 0.25 * (i / 4)) > 0) ++covered;
    }
    return MixColours(below, ProfileColour(kBezelProfile, std::max(depth, 0.5)), covered / 16.0);
}

// The lip: ring 0 next to the outline, ring 1 next to the well. The bottom run is lit, the others
// are in shade; at the bottom corners the lit run goes through.
Rgb LipColour(int x, int y) {
    const int from_side = std::min(x - (kOutlineLeft + 1), (kOutlineRight - 2) - x);
    const int from_top = y - (kOutlineTop + 1);
    const int from_bottom = (kOutlineBottom - 2) - y;
    const int ring = std::min({from_side, from_top, from_bottom});
    if (from_bottom == ring) return ring == 0 ? kLipWhite : kLipNearWhite;
    return ring == 0 ? kLipLight : kLipDark;
}

Rgb FaceColour(int x, int y) {
    if (x >= kDisplayLeft && x < kDisplayRight && y >= kDisplayTop && y < kDisplayBottom) return 0x000000;
    if (x > kOutlineLeft && x < kOutlineRight - 1 && y > kOutlineTop && y < kOutlineBottom - 1) return LipColour(x, y);
    if (x >= kOutlineLeft && x < kOutlineRight && y >= kOutlineTop && y < kOutlineBottom) return 0x000000;
    const double px = x + 0.5, py = y + 0.5;
    return BezelColour(px, py, RimColour(px, py));
}

}  // namespace

Image SkinFace(bool with_title) {
    Image face = MakeImage(kSkinWidth, kSkinHeight, kFaceColour);
    for (int y = 0; y < kSkinHeight; ++y)
        for (int x = 0; x < kSkinWidth; ++x) SetPixel(&face, x, y, FaceColour(x, y));
    if (with_title) PaintTitle(&face);
    return face;
}

Image SkinTop() { return Crop(SkinFace(true), 0, 0, kSkinWidth, kDisplayTop); }
Image SkinLeft() { return Crop(SkinFace(false), 0, kDisplayTop, kDisplayLeft, kDisplayBottom - kDisplayTop); }
Image SkinRight() {
    return Crop(SkinFace(false), kDisplayRight, kDisplayTop, kSkinWidth - kDisplayRight, kDisplayBottom - kDisplayTop);
}
Image SkinBottom() { return Crop(SkinFace(false), 0, kDisplayBottom, kSkinWidth, kSkinHeight - kDisplayBottom); }
