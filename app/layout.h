// The main window's layout in client pixels, and the names of the bitmaps that dress it: one
// source for the program, the artwork generator that draws the skin to fit it, and the tests
// that check both. Win32-free, so the native generator and unit tests include it too.
#pragma once

#include "resources/resource_ids.h"

// The skinned face; the window's rounded region is one pixel wider and taller, because
// CreateRoundRectRgn leaves out its right and bottom edges.
constexpr int kSkinWidth = 390, kSkinHeight = 424;
constexpr int kCornerDiameter = 20;

// The strip along the top by which the borderless window is dragged (exclusive bottom).
constexpr int kDragStripHeight = 38;

// The black display area (exclusive right and bottom), framed by the four skin pieces.
constexpr int kDisplayLeft = 33, kDisplayTop = 54, kDisplayRight = 357, kDisplayBottom = 298;

// The preview box inside the display area, leaving a 2-pixel black margin.
constexpr int kPreviewLeft = kDisplayLeft + 2, kPreviewTop = kDisplayTop + 2;
constexpr int kPreviewWidth = 320, kPreviewHeight = 240;

// The row of BUTTON_COUNT buttons in the top strip, left to right in command order.
constexpr int kButtonLeft = 254, kButtonTop = 16, kButtonPitch = 20, kButtonSize = 16;

// The picture list below the display area.
constexpr int kListLeft = 32, kListTop = 320, kListWidth = 325, kListHeight = 82;

// Bitmap resources: each button's face, normal then pressed, in button order.
constexpr const char* kButtonBitmapNames[2][BUTTON_COUNT] = {
    {"BTON1N", "BTON2N", "BTON3N", "BTON4N", "BTON5N", "BTON6N"},
    {"BTON1D", "BTON2D", "BTON3D", "BTON4D", "BTON5D", "BTON6D"},
};

// The skin pieces around the display area and where each is drawn.
struct SkinPiece {
    const char* name;
    int left;
    int top;
};
constexpr SkinPiece kSkinTop = {"SKTOP", 0, 0};
constexpr SkinPiece kSkinLeft = {"SKLFT", 0, kDisplayTop};
constexpr SkinPiece kSkinRight = {"SKRGT", kDisplayRight, kDisplayTop};
constexpr SkinPiece kSkinBottom = {"SKBOT", 0, kDisplayBottom};
constexpr SkinPiece kSkinPieces[] = {kSkinTop, kSkinLeft, kSkinRight, kSkinBottom};

// The program's icon.
constexpr const char* kIconName = "MICON";
