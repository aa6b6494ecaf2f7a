// The six toolbar glyphs on the plate colour. Each is drawn in the top-left 15 x 15 pixels so the
// pressed form, the same picture one pixel right and down, still fits in 16 x 16.
#include <cstdlib>

#include "canvas.h"

namespace {

const std::vector<std::string>& Glyph(int number) {
    static const std::vector<std::vector<std::string>> glyphs = {
        {
            // Folders: an open folder, and an arrow curving down onto it
            "........kkk....",
            ".......k...k...",
            ".......k....k..",
            "..........kkkkk",
            ".kkkk......kkk.",
            "kwwwwkkkkkk.k..",
            "kwyyyyyyyyk....",
            "kwyyyyyyyyk....",
            "kwykkkkkkkkkkkk",
            "kwykooooooooook",
            "kwkooooooooook.",
            "kwkooooooooook.",
            "kkooooooooook..",
            "kkooooooooook..",
            "kkkkkkkkkkkk...",
        },
        {
            // Auto-Show: cards dealt one after another
            "kkkkkkkkk......",
            "kwwwwwwwk......",
            "kwkkkkkkkkk....",
            "kwkwwwwwwwk....",
            "kwkwkkkkkkkkk..",
            "kwkwkwwwwwwwk..",
            "kwkwkwkkkkkkkkk",
            "kkkwkwkwwwwwwwk",
            "..kwkwkwwwwwwwk",
            "..kkkwkwwwwwwwk",
            "....kwkwwwwwwwk",
            "....kkkwwwwwwwk",
            "......kwwwwwwwk",
            "......kkkkkkkkk",
            "...............",
        },
        {
            // Test Screen: a checked test card with a hammer across it
            ".......kkk.....",
            "kkkkkkkkookkk..",
            "kswswswkoookk..",
            "kwswswswkoook..",
            "kswswswswkoook.",
            "kwswswswmmkookk",
            "kswswswmmswkkk.",
            "kwswswmmswswk..",
            "kswswmmswswsk..",
            "kwswmmswswswk..",
            "kswmmswswswsk..",
            "kwmmswswswswk..",
            "ksmswswswswsk..",
            "kkkkkkkkkkkkk..",
            "...............",
        },
        {
            // About / Help: a question mark
            "...............",
            "....kkkkkkk....",
            "...kyyyyyyyk...",
            "..kyyykkkyyyk..",
            "..kyyk...kyyk..",
            "...kk...kyyyk..",
            ".......kyyyk...",
            "......kyyyk....",
            "......kyyk.....",
            "......kyyk.....",
            ".......kk......",
            "......kkkk.....",
            "......kyyk.....",
            "......kyyk.....",
            "......kkkk.....",
        },
        {
            // Minimize: two small application windows
            "kkkkkkkkkk.....",
            "knnnnnnnnk.....",
            "knnnnnnnnk.....",
            "kwwwwwwwwk.....",
            "kwddddddwk.....",
            "kwwwkkkkkkkkkkk",
            "kwddknnnnnnnnnk",
            "kwwwknnnnnnnnnk",
            "kkkkkwwwwwwwwwk",
            "....kwdddddddwk",
            "....kwwwwwwwwwk",
            "....kwdddddddwk",
            "....kwwwwwwwwwk",
            "....kwdddddddwk",
            "....kkkkkkkkkkk",
        },
        {
            // Exit: a white cross on a red plate
            "..wwwwwwwwwww..",
            ".wrrrrrrrrrrrw.",
            "wrrrrrrrrrrrrrw",
            "wrrwwrrrrrwwrrw",
            "wrrwwwrrrwwwrrw",
            "wrrrwwwrwwwrrrw",
            "wrrrrwwwwwrrrrw",
            "wrrrrrwwwrrrrrw",
            "wrrrrwwwwwrrrrw",
            "wrrrwwwrwwwrrrw",
            "wrrwwwrrrwwwrrw",
            "wrrwwrrrrrwwrrw",
            "wrrrrrrrrrrrrrw",
            ".wrrrrrrrrrrrw.",
            "..wwwwwwwwwww..",
        },
    };
    if (number < 1 || number > static_cast<int>(glyphs.size())) std::abort();
    return glyphs[number - 1];
}

}  // namespace

Image ButtonImage(int number, bool pressed) {
    Image normal = MakeImage(kButtonSize, kButtonSize, kFaceColour);
    PaintLetters(&normal, 0, 0, Glyph(number));
    return pressed ? Shifted(normal, 1, 1, kFaceColour) : normal;
}
