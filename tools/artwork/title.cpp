// "VELTRA" in bold, wide capitals built from polygons on a 13-pixel body: silver faces lit from
// above, standing on a black block that recedes down and to the left.
#include "title.h"

#include <vector>

#include "canvas.h"

namespace {

constexpr int kCapHeight = 13;
constexpr int kDepth = 3;  // extrusion, pixels down and to the left
constexpr int kFirstFaceX = kTitleLeft + kDepth;

// A letter is the union of its strokes, in pixel units from its top-left corner.
struct Letter {
    int width;
    std::vector<std::vector<PointF>> strokes;
};

std::vector<PointF> Box(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

// Kept as written: a letter on one or two lines is easier to check against its drawing.
// clang-format off
const std::vector<Letter>& TitleLetters() {
    static const std::vector<Letter> letters = {
        // V
        {13, {{{0, 0}, {4, 0}, {6.5, 8.5}, {9, 0}, {13, 0}, {9, 13}, {4, 13}}}},
        // E
        {10, {Box(0, 0, 3, 13), Box(0, 0, 10, 3), Box(0, 5, 9, 8), Box(0, 10, 10, 13)}},
        // L
        {10, {Box(0, 0, 3, 13), Box(0, 10, 10, 13)}},
        // T
        {12, {Box(0, 0, 12, 3), Box(4, 0, 8, 13)}},
        // R: bowl with cut corners, stem, and a leg slanting out from the bowl's foot
        {12,
         {Box(0, 0, 3, 13),
          {{0, 0}, {9.5, 0}, {12, 2.5}, {12, 5.5}, {9.5, 8}, {0, 8}, {0, 5}, {8.5, 5}, {9, 4.5}, {9, 3.5}, {8.5, 3}, {0, 3}},
          {{5, 7}, {8.5, 7}, {12.5, 13}, {8.5, 13}}}},
        // A: two legs meeting in a flat apex, with a bar across
        {13, {{{4.5, 0}, {8, 0}, {3.5, 13}, {0, 13}}, {{5, 0}, {8.5, 0}, {13, 13}, {9.5, 13}}, Box(2.5, 8, 10.5, 10)}},
    };
    return letters;
}
// clang-format on

constexpr int kGaps[] = {3, 3, 2, 3, 3};  // L and T leave air of their own

// Which pixels of the title box are letter face.
std::vector<bool> FaceMask(int box_width, int box_height) {
    std::vector<bool> mask(static_cast<size_t>(box_width) * box_height, false);
    int left = kFirstFaceX - kTitleLeft;
    for (size_t i = 0; i < TitleLetters().size(); ++i) {
        const Letter& letter = TitleLetters()[i];
        for (int y = 0; y < kCapHeight; ++y)
            for (int x = 0; x < letter.width; ++x)
                for (const auto& stroke : letter.strokes)
                    if (InsidePolygon(stroke, x + 0.5, y + 0.5))
                        mask[static_cast<size_t>(y) * box_width + left + x] = true;
        left += letter.width + (i < TitleLetters().size() - 1 ? kGaps[i] : 0);
    }
    return mask;
}

}  // namespace

void PaintTitle(Image* face) {
    const int width = kTitleRight - kTitleLeft + 1;
    const int height = kTitleBottom - kTitleTop + 1;
    const std::vector<bool> mask = FaceMask(width, height);
    const auto is_face = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height && mask[static_cast<size_t>(y) * width + x];
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool shadow = false;
            for (int step = 1; step <= kDepth; ++step) shadow = shadow || is_face(x + step, y - step);
            if (is_face(x, y))
                SetPixel(face, kTitleLeft + x, kTitleTop + y, is_face(x, y - 1) ? kTitleFaceColour : 0xFFFFFF);
            else if (shadow)
                SetPixel(face, kTitleLeft + x, kTitleTop + y, 0x000000);
        }
}
