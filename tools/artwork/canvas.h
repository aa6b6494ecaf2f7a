// Drawing primitives shared by the artwork generators.
#pragma once

#include <string>
#include <vector>

#include "artwork.h"

struct PointF {
    double x;
    double y;
};

Image MakeImage(int width, int height, Rgb fill);
Rgb PixelAt(const Image& image, int x, int y);
// Writes outside the image are dropped, so shapes may overhang the canvas.
void SetPixel(Image* image, int x, int y, Rgb colour);
// Half-open rectangle [x0, x1) x [y0, y1).
void FillRect(Image* image, int x0, int y0, int x1, int y1, Rgb colour);

Image Crop(const Image& image, int x, int y, int width, int height);
Image MirrorLeftRight(const Image& image);
// Moves the content by (dx, dy); uncovered pixels take `fill`.
Image Shifted(const Image& image, int dx, int dy, Rgb fill);

// Linear mix, t = 0 gives a, t = 1 gives b; channels rounded to nearest.
Rgb MixColours(Rgb a, Rgb b, double t);

// Even-odd test of a point against a closed polygon.
bool InsidePolygon(const std::vector<PointF>& polygon, double x, double y);

// Distance of (x, y) inside the boundary of a rectangle with rounded corners (negative outside).
// Edges are continuous coordinates, so pixel (i, j) is sampled at (i + 0.5, j + 0.5).
double RoundRectDepth(double x, double y, double left, double top, double right, double bottom, double radius);

// Small pictures are written as rows of letters, one letter a pixel: a classic palette colour
// letter (see ClassicIndex) or '.' for "leave as is".
// Returns the palette index of a letter, or -1 for '.'; any other letter is a programming error.
int ClassicIndex(char letter);
void PaintLetters(Image* image, int x, int y, const std::vector<std::string>& rows);
