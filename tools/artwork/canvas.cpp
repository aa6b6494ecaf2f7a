#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

Image MakeImage(int width, int height, Rgb fill) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height, fill);
    return image;
}

Rgb PixelAt(const Image& image, int x, int y) { return image.pixels[static_cast<size_t>(y) * image.width + x]; }

void SetPixel(Image* image, int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return;
    image->pixels[static_cast<size_t>(y) * image->width + x] = colour;
}

void FillRect(Image* image, int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) SetPixel(image, x, y, colour);
}

Image Crop(const Image& image, int x, int y, int width, int height) {
    Image out = MakeImage(width, height, 0);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) SetPixel(&out, col, row, PixelAt(image, x + col, y + row));
    return out;
}

Image MirrorLeftRight(const Image& image) {
    Image out = MakeImage(image.width, image.height, 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) SetPixel(&out, image.width - 1 - x, y, PixelAt(image, x, y));
    return out;
}

Image Shifted(const Image& image, int dx, int dy, Rgb fill) {
    Image out = MakeImage(image.width, image.height, fill);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) SetPixel(&out, x + dx, y + dy, PixelAt(image, x, y));
    return out;
}

Rgb MixColours(Rgb a, Rgb b, double t) {
    Rgb out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = (a >> shift) & 0xFF;
        const double cb = (b >> shift) & 0xFF;
        const long channel = std::lround(ca + (cb - ca) * t);
        out |= static_cast<Rgb>(std::clamp(channel, 0L, 255L)) << shift;
    }
    return out;
}

bool InsidePolygon(const std::vector<PointF>& polygon, double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const PointF& a = polygon[i];
        const PointF& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

double RoundRectDepth(double x, double y, double left, double top, double right, double bottom, double radius) {
    // Signed distance of a box whose corners are circles of `radius`, measured from its centre.
    const double half_w = (right - left) / 2;
    const double half_h = (bottom - top) / 2;
    const double qx = std::fabs(x - (left + half_w)) - (half_w - radius);
    const double qy = std::fabs(y - (top + half_h)) - (half_h - radius);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    const double inside = std::min(std::max(qx, qy), 0.0);
    return radius - outside - inside;
}

const std::vector<Rgb>& ClassicPalette() {
    static const std::vector<Rgb> palette = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                             0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                             0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return palette;
}

int ClassicIndex(char letter) {
    // Letters chosen for the colour names: k black, m maroon, g green, o olive, n navy, p purple,
    // t teal, s silver, d dark grey, r red, l lime, y yellow, b blue, f fuchsia, a aqua, w white.
    static const std::string letters = "kmgonptsdrlybfaw";
    if (letter == '.') return -1;
    const size_t index = letters.find(letter);
    if (index == std::string::npos) std::abort();
    return static_cast<int>(index);
}

void PaintLetters(Image* image, int x, int y, const std::vector<std::string>& rows) {
    for (size_t row = 0; row < rows.size(); ++row)
        for (size_t col = 0; col < rows[row].size(); ++col) {
            const int index = ClassicIndex(rows[row][col]);
            if (index >= 0)
                SetPixel(image, x + static_cast<int>(col), y + static_cast<int>(row), ClassicPalette()[index]);
        }
}
