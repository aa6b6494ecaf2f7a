#include "pictures/colour_models.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The ICC profile connection space's D50 white, whose Y is 1.
constexpr double kD50WhiteX = 0.9642;
constexpr double kD50WhiteZ = 0.8249;

// Bradford's cone response adaptation from that D50 white to sRGB's D65 (x 0.3127, y 0.3290).
constexpr double kBradfordD50ToD65[3][3] = {
    {0.9555125889, -0.0230729752, 0.0633090847},
    {-0.0283247593, 1.0099429264, 0.0210544388},
    {0.0123287032, -0.0205353077, 1.3307136899},
};

// XYZ (D65) to linear sRGB, the inverse of the matrix made from sRGB's primaries and white.
constexpr double kXyzToLinearSrgb[3][3] = {
    {3.2409699419, -1.5373831776, -0.4986107603},
    {-0.9692436363, 1.8759675015, 0.0415550574},
    {0.0556300797, -0.2039769589, 1.0569715142},
};

void Multiply(const double (&matrix)[3][3], const double (&in)[3], double (&out)[3]) {
    for (int row = 0; row < 3; ++row) {
        out[row] = matrix[row][0] * in[0] + matrix[row][1] * in[1] + matrix[row][2] * in[2];
    }
}

// The inverse of L*a*b*'s compression of X/Xn, Y/Yn, Z/Zn: a cube above 6/29, a line below.
double LabToLinear(double t) {
    constexpr double kBreak = 6.0 / 29.0;
    return t > kBreak ? t * t * t : 3.0 * kBreak * kBreak * (t - 4.0 / 29.0);
}

double SrgbToLinear(double encoded) {
    return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

// thresholds[level - 1]: the least linear value that rounds to `level`, halfway up from the level
// below. Comparing against these gives the rounding of the exact curve without a pow for each
// sample, and the same result whatever the maths library rounds its last bit to, since no sample
// the tests use lies within a bit of a threshold.
const std::array<double, 255>& LevelThresholds() {
    static const std::array<double, 255> thresholds = [] {
        std::array<double, 255> made{};
        for (int level = 1; level <= 255; ++level) made[level - 1] = SrgbToLinear((level - 0.5) / 255.0);
        return made;
    }();
    return thresholds;
}

}  // namespace

uint8_t LinearToSrgb8(double linear) {
    if (!(linear > 0.0)) return 0;
    const std::array<double, 255>& thresholds = LevelThresholds();
    return static_cast<uint8_t>(std::upper_bound(thresholds.begin(), thresholds.end(), linear) - thresholds.begin());
}

Rgb8 LabToSrgb(double lightness, double a, double b) {
    const double fy = (lightness + 16.0) / 116.0;
    const double xyzD50[3] = {kD50WhiteX * LabToLinear(fy + a / 500.0), LabToLinear(fy),
                              kD50WhiteZ * LabToLinear(fy - b / 200.0)};
    double xyzD65[3], linear[3];
    Multiply(kBradfordD50ToD65, xyzD50, xyzD65);
    Multiply(kXyzToLinearSrgb, xyzD65, linear);
    return Rgb8{LinearToSrgb8(linear[0]), LinearToSrgb8(linear[1]), LinearToSrgb8(linear[2])};
}
