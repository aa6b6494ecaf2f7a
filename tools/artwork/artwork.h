// The program's artwork (skin, buttons, icon) is generated rather than drawn by hand, so that
// every resource byte can be rebuilt from source and its geometry checked by tests.
// All of this is plain C++; nothing here depends on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/layout.h"

// 0x00RRGGBB.
using Rgb = uint32_t;

// Top-down rows of RGB pixels.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
};

// A 16-colour icon image: one classic-palette index per pixel and a transparency flag
// (the icon's AND mask) per pixel, both in top-down rows.
struct IconImage {
    int size = 0;
    std::vector<uint8_t> indices;
    std::vector<bool> transparent;
};

// Colours the window geometry depends on.
constexpr Rgb kFaceColour = 0xAEA594;
constexpr Rgb kEdgeColour = 0x545044;
constexpr Rgb kSideCrestColour = 0xFFFCF6;
constexpr Rgb kTopCrestColour = 0xEDE3D7;
constexpr Rgb kTitleFaceColour = 0xC0C0C0;

// One generated file: its name in the output folder and its bytes.
struct ArtworkFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Button `number` 1..6 (Folders, Auto-Show, Test Screen, About / Help, Minimize, Exit),
// normal or pressed; 16 x 16 on the face colour.
Image ButtonImage(int number, bool pressed);

// The whole kSkinWidth x kSkinHeight window face with the display well painted black, from which the four
// skin pieces are cut. Without the title only the plain plate is drawn.
Image SkinFace(bool with_title);
Image SkinTop();
Image SkinLeft();
Image SkinRight();
Image SkinBottom();

// The program icon at 32 or 16 pixels.
IconImage MainIcon(int size);

// The classic 16-colour palette in the order the icon's colour table uses.
const std::vector<Rgb>& ClassicPalette();

// 24-bit uncompressed bottom-up BMP with the 40-byte info header and no colour table.
std::vector<uint8_t> EncodeBmp24(const Image& image);
// An .ico file holding the given 4 bpp images in order.
std::vector<uint8_t> EncodeIcon(const std::vector<IconImage>& images);

// Every artwork file of the program, in a fixed order.
std::vector<ArtworkFile> AllArtwork();
