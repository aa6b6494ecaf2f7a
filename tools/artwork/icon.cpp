// The program icon: two framed portraits, a head in profile over shoulders in each, the rear
// one up to the right and the front one down to the left. Drawn in the classic 16 colours.
#include <algorithm>
#include <cstdlib>

#include "canvas.h"

namespace {

// Outside every frame the icon is see-through; this value is no colour of the palette.
constexpr Rgb kClear = 0xFF000000;

// A picture in a frame. `rings` names the frame from the outside in: k black, s silver, and
// b a moulding lit from the top left (white on the top and left, grey on the bottom and right).
struct Portrait {
    std::string rings;
    std::vector<std::string> picture;
};

// The sitter faces right: dark hair over the crown and nape, grey face and shoulders.
const Portrait kLargePortrait = {
    "kbsk",
    {
        "wwwwwwwwwwww",
        "wwwwkkkkwwww",
        "wwwkkkkkddww",
        "wwkkkkkddddw",
        "wwkkkkdddddw",
        "wwkkkddddkdw",
        "wwkkdddddddw",
        "wwwkdddddddd",
        "wwwkddddddww",
        "wwwwdddddddw",
        "wwwwddddddww",
        "wwwwwdddwwww",
        "wwwwwdddwwww",
        "wwddddddddww",
        "wddddddddddw",
        "dddddddddddd",
    },
};

const Portrait kSmallPortrait = {
    "ks",
    {
        "wwwwww",
        "wwkkww",
        "wkkddw",
        "wkdddd",
        "wwdddw",
        "wwddww",
        "wddddw",
        "dddddd",
    },
};

void PaintPortrait(Image* icon, int left, int top, const Portrait& portrait) {
    const int depth = static_cast<int>(portrait.rings.size());
    const int width = static_cast<int>(portrait.picture[0].size()) + 2 * depth;
    const int height = static_cast<int>(portrait.picture.size()) + 2 * depth;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int ring = std::min(std::min(x, width - 1 - x), std::min(y, height - 1 - y));
            if (ring >= depth) continue;
            char letter = portrait.rings[ring];
            if (letter == 'b')
                letter = (x == ring || y == ring) && x < width - 1 - ring && y < height - 1 - ring ? 'w' : 'd';
            SetPixel(icon, left + x, top + y, ClassicPalette()[ClassicIndex(letter)]);
        }
    PaintLetters(icon, left + depth, top + depth, portrait.picture);
}

IconImage ToIconImage(const Image& picture) {
    IconImage icon;
    icon.size = picture.width;
    for (Rgb colour : picture.pixels) {
        int index = 0;
        if (colour != kClear) {
            while (index < 16 && ClassicPalette()[index] != colour) ++index;
            if (index == 16) std::abort();
        }
        icon.indices.push_back(static_cast<uint8_t>(index));
        icon.transparent.push_back(colour == kClear);
    }
    return icon;
}

}  // namespace

IconImage MainIcon(int size) {
    Image picture = MakeImage(size, size, kClear);
    if (size == 32) {
        PaintPortrait(&picture, 12, 0, kLargePortrait);
        PaintPortrait(&picture, 0, 8, kLargePortrait);
    } else if (size == 16) {
        PaintPortrait(&picture, 6, 0, kSmallPortrait);
        PaintPortrait(&picture, 0, 4, kSmallPortrait);
    } else {
        std::abort();
    }
    return ToIconImage(picture);
}
