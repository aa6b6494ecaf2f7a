// The window's geometry is fixed in code (button row, list box, display well, drag strip), so the
// generated artwork must put its edges exactly where the code expects them.
#include "artwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;

Rgb At(const Image& image, int x, int y) {
    EXPECT_TRUE(x >= 0 && y >= 0 && x < image.width && y < image.height) << x << "," << y;
    return image.pixels[static_cast<size_t>(y) * image.width + x];
}

int Brightness(Rgb colour) { return ((colour >> 16) & 0xFF) + ((colour >> 8) & 0xFF) + (colour & 0xFF); }

uint32_t Read32(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint32_t Read16(const std::vector<uint8_t>& bytes, size_t offset) { return bytes[offset] | bytes[offset + 1] << 8; }

TEST(ArtworkSkinPieces, SizesMatchTheirPlacesAroundTheWell) {
    const Image top = SkinTop(), left = SkinLeft(), right = SkinRight(), bottom = SkinBottom();
    EXPECT_EQ(top.width, 390);
    EXPECT_EQ(top.height, 54);
    EXPECT_EQ(left.width, 33);
    EXPECT_EQ(left.height, 244);
    EXPECT_EQ(right.width, 33);
    EXPECT_EQ(right.height, 244);
    EXPECT_EQ(bottom.width, 390);
    EXPECT_EQ(bottom.height, 126);
}

TEST(ArtworkSkinPieces, PiecesAreCutFromTheFaceAtTheirPlaces) {
    const Image face = SkinFace(true);
    const Image top = SkinTop(), left = SkinLeft(), right = SkinRight(), bottom = SkinBottom();
    for (int y = 0; y < 424; ++y)
        for (int x = 0; x < 390; ++x) {
            Rgb piece;
            if (y < 54)
                piece = At(top, x, y);
            else if (y >= 298)
                piece = At(bottom, x, y - 298);
            else if (x < 33)
                piece = At(left, x, y - 54);
            else if (x >= 357)
                piece = At(right, x - 357, y - 54);
            else {
                ASSERT_EQ(At(face, x, y), kBlack) << "well " << x << "," << y;
                continue;
            }
            ASSERT_EQ(piece, At(face, x, y)) << x << "," << y;
        }
}

TEST(ArtworkSkinPieces, BlackOutlineFramesTheWellExactly) {
    const Image face = SkinFace(true);
    for (int y = 51; y <= 300; ++y) {
        EXPECT_EQ(At(face, 30, y), kBlack) << y;
        EXPECT_EQ(At(face, 359, y), kBlack) << y;
        if (y >= 52 && y <= 299) {
            EXPECT_NE(At(face, 29, y), kBlack) << y;  // bezel outside it
            EXPECT_NE(At(face, 360, y), kBlack) << y;
            EXPECT_NE(At(face, 31, y), kBlack) << y;  // lip inside it
            EXPECT_NE(At(face, 358, y), kBlack) << y;
        }
    }
    for (int x = 30; x <= 359; ++x) {
        EXPECT_EQ(At(face, x, 51), kBlack) << x;
        EXPECT_EQ(At(face, x, 300), kBlack) << x;
        if (x >= 31 && x <= 358) {
            EXPECT_NE(At(face, x, 50), kBlack) << x;
            EXPECT_NE(At(face, x, 301), kBlack) << x;
            EXPECT_NE(At(face, x, 52), kBlack) << x;
            EXPECT_NE(At(face, x, 299), kBlack) << x;
        }
    }
}

TEST(ArtworkSkinPieces, ButtonRowListZoneAndPlateAreFlatFace) {
    const Image top = SkinTop(), bottom = SkinBottom(), left = SkinLeft(), right = SkinRight();
    for (int y = 16; y <= 31; ++y)
        for (int x = 254; x <= 369; ++x) ASSERT_EQ(At(top, x, y), kFaceColour) << x << "," << y;
    for (int y = 320; y <= 401; ++y)
        for (int x = 32; x <= 356; ++x) ASSERT_EQ(At(bottom, x, y - 298), kFaceColour) << x << "," << y;
    for (int y = 0; y < 244; ++y)
        for (int x = 11; x <= 16; ++x) {
            ASSERT_EQ(At(left, x, y), kFaceColour) << x << "," << y;
            ASSERT_EQ(At(right, 389 - 357 - x, y), kFaceColour) << x << "," << y;
        }
}

TEST(ArtworkSkinPieces, SideBordersAreOneProfileMirrored) {
    const Image left = SkinLeft(), right = SkinRight();
    for (int y = 1; y < 244; ++y)
        for (int x = 0; x < 33; ++x) ASSERT_EQ(At(left, x, y), At(left, x, 0)) << x << "," << y;
    for (int y = 0; y < 244; ++y)
        for (int x = 0; x < 33; ++x) ASSERT_EQ(At(right, 32 - x, y), At(left, x, y)) << x << "," << y;
    // Corners included, the untitled plate is the same seen in a mirror.
    const Image face = SkinFace(false);
    for (int y = 0; y < 424; ++y)
        for (int x = 0; x < 195; ++x) ASSERT_EQ(At(face, 389 - x, y), At(face, x, y)) << x << "," << y;
}

TEST(ArtworkSkinLook, RimRisesFromADarkEdgeToItsCrestAndBackToTheFace) {
    const Image face = SkinFace(false);
    // Outside the rounded window region the pixels are never shown; they stay the edge colour.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(At(face, i, j), kEdgeColour);
            EXPECT_EQ(At(face, 389 - i, j), kEdgeColour);
            EXPECT_EQ(At(face, i, 423 - j), kEdgeColour);
            EXPECT_EQ(At(face, 389 - i, 423 - j), kEdgeColour);
        }
    const auto brightest = [&](int x0, int y0, int dx, int dy, int count) {
        Rgb best = At(face, x0, y0);
        for (int i = 1; i < count; ++i)
            if (Brightness(At(face, x0 + i * dx, y0 + i * dy)) > Brightness(best))
                best = At(face, x0 + i * dx, y0 + i * dy);
        return best;
    };
    EXPECT_EQ(At(face, 0, 200), kEdgeColour);
    EXPECT_EQ(At(face, 195, 0), kEdgeColour);
    EXPECT_EQ(At(face, 195, 423), kEdgeColour);
    EXPECT_EQ(brightest(0, 200, 1, 0, 11), kSideCrestColour);
    EXPECT_EQ(brightest(195, 0, 0, 1, 14), kTopCrestColour);
    EXPECT_EQ(brightest(195, 423, 0, -1, 13), kTopCrestColour);
    // The rounded corner: the rim's dark edge follows the curve instead of the square corner.
    EXPECT_GT(Brightness(At(face, 4, 4)), Brightness(kEdgeColour) + 60);
}

TEST(ArtworkSkinLook, BezelIsDarkOutsideBrightInTheMiddleAndLightInward) {
    const Image face = SkinFace(false);
    for (int y : {54, 175, 297}) {
        const Rgb outer = At(face, 17, y), inner = At(face, 29, y);
        EXPECT_LT(Brightness(outer), Brightness(kFaceColour)) << y;
        EXPECT_GT(Brightness(inner), Brightness(kFaceColour)) << y;
        int crest = 0;
        for (int x = 18; x < 29; ++x) crest = std::max(crest, Brightness(At(face, x, y)));
        EXPECT_GE(crest, 3 * 0xF0) << y;
        EXPECT_GT(crest, Brightness(inner)) << y;
    }
    // Rounded outer corners: the corner pixel itself is plate, the straight run next to it is not.
    EXPECT_EQ(At(face, 17, 38), kFaceColour);
    EXPECT_EQ(At(face, 372, 313), kFaceColour);
    EXPECT_NE(At(face, 17, 60), kFaceColour);
    EXPECT_NE(At(face, 60, 38), kFaceColour);
}

TEST(ArtworkSkinLook, LipIsShadedAboveAndAtTheSidesAndLitBelow) {
    const Image face = SkinFace(false);
    EXPECT_GT(Brightness(At(face, 31, 150)), Brightness(At(face, 32, 150)));
    EXPECT_GT(Brightness(At(face, 358, 150)), Brightness(At(face, 357, 150)));
    EXPECT_GT(Brightness(At(face, 150, 52)), Brightness(At(face, 150, 53)));
    EXPECT_EQ(At(face, 150, 299), kWhite);
    EXPECT_NE(At(face, 150, 298), kWhite);
    EXPECT_GE(Brightness(At(face, 150, 298)), 3 * 0xE8);
}

TEST(ArtworkTitle, LettersStayInTheirBoxWithHighlightAndExtrusion) {
    const Image plain = SkinFace(false), titled = SkinFace(true);
    int changed = 0, min_x = 390, max_x = -1, min_y = 424, max_y = -1;
    std::set<Rgb> colours;
    for (int y = 0; y < 424; ++y)
        for (int x = 0; x < 390; ++x) {
            if (At(plain, x, y) == At(titled, x, y)) continue;
            ++changed;
            EXPECT_TRUE(x >= 18 && x <= 104 && y >= 17 && y <= 33) << x << "," << y;
            min_x = std::min(min_x, x), max_x = std::max(max_x, x);
            min_y = std::min(min_y, y), max_y = std::max(max_y, y);
            colours.insert(At(titled, x, y));
        }
    EXPECT_GT(changed, 400);
    EXPECT_EQ(colours, (std::set<Rgb>{kBlack, kWhite, kTitleFaceColour}));
    // Faces (silver or white) span 13 rows from the top of the box; the extrusion adds 3 below and left.
    int face_top = 424, face_bottom = -1, face_left = 390;
    for (int y = 17; y <= 33; ++y)
        for (int x = 18; x <= 104; ++x) {
            const Rgb c = At(titled, x, y);
            if (c != kWhite && c != kTitleFaceColour) continue;
            face_top = std::min(face_top, y), face_bottom = std::max(face_bottom, y),
            face_left = std::min(face_left, x);
            // Lit from above: a face pixel is white exactly when nothing of the letter lies above it.
            const Rgb above = At(titled, x, y - 1);
            EXPECT_EQ(c == kWhite, above != kWhite && above != kTitleFaceColour) << x << "," << y;
            const Rgb behind = At(titled, x - 3, y + 3);
            EXPECT_TRUE(behind == kBlack || behind == kWhite || behind == kTitleFaceColour) << x << "," << y;
        }
    EXPECT_EQ(face_bottom - face_top + 1, 13);
    EXPECT_EQ(face_top, 17);
    EXPECT_EQ(max_y, face_bottom + 3);
    EXPECT_EQ(min_x, face_left - 3);
    EXPECT_EQ(min_x, 18);
    EXPECT_EQ(max_x, 104);
    EXPECT_EQ(min_y, 17);
}

TEST(ArtworkButtons, PressedImageIsTheNormalOneMovedDownRight) {
    const std::set<Rgb> palette(ClassicPalette().begin(), ClassicPalette().end());
    std::set<std::vector<Rgb>> distinct;
    for (int number = 1; number <= 6; ++number) {
        const Image normal = ButtonImage(number, false), pressed = ButtonImage(number, true);
        ASSERT_EQ(normal.width, 16);
        ASSERT_EQ(normal.height, 16);
        ASSERT_EQ(pressed.width, 16);
        ASSERT_EQ(pressed.height, 16);
        int glyph_pixels = 0;
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(At(normal, 15, i), kFaceColour) << number;
            EXPECT_EQ(At(normal, i, 15), kFaceColour) << number;
            EXPECT_EQ(At(pressed, 0, i), kFaceColour) << number;
            EXPECT_EQ(At(pressed, i, 0), kFaceColour) << number;
        }
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x) {
                EXPECT_EQ(At(pressed, x + 1, y + 1), At(normal, x, y)) << number << " " << x << "," << y;
                const Rgb c = At(normal, x, y);
                if (c == kFaceColour) continue;
                ++glyph_pixels;
                EXPECT_TRUE(palette.count(c)) << number << " " << x << "," << y;
            }
        EXPECT_GT(glyph_pixels, 40) << number;
        distinct.insert(normal.pixels);
    }
    EXPECT_EQ(distinct.size(), 6u);
}

TEST(ArtworkIcon, TwoFramedPicturesOnAClearGround) {
    for (int size : {32, 16}) {
        const IconImage icon = MainIcon(size);
        ASSERT_EQ(icon.size, size);
        ASSERT_EQ(icon.indices.size(), static_cast<size_t>(size * size));
        ASSERT_EQ(icon.transparent.size(), static_cast<size_t>(size * size));
        const auto clear = [&](int x, int y) { return icon.transparent[static_cast<size_t>(y) * size + x]; };
        // Rear frame up right, front frame down left: the other two corners show the desktop.
        EXPECT_TRUE(clear(0, 0)) << size;
        EXPECT_TRUE(clear(size - 1, size - 1)) << size;
        EXPECT_FALSE(clear(size - 1, 0)) << size;
        EXPECT_FALSE(clear(0, size - 1)) << size;
        EXPECT_FALSE(clear(size / 2, size / 2)) << size;
        std::set<int> used;
        for (size_t i = 0; i < icon.indices.size(); ++i) {
            if (!icon.transparent[i]) used.insert(icon.indices[i]);
        }
        // Greys only: black, grey, silver, white.
        EXPECT_EQ(used, (std::set<int>{0, 7, 8, 15})) << size;
    }
}

TEST(ArtworkEncoding, Bmp24IsBottomUpBgrWithPaddedRows) {
    Image image;
    image.width = 3;
    image.height = 2;
    image.pixels = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};
    const std::vector<uint8_t> bmp = EncodeBmp24(image);
    ASSERT_EQ(bmp.size(), 54u + 2 * 12);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Read32(bmp, 2), bmp.size());
    EXPECT_EQ(Read32(bmp, 10), 54u);
    EXPECT_EQ(Read32(bmp, 14), 40u);
    EXPECT_EQ(Read32(bmp, 18), 3u);
    EXPECT_EQ(Read32(bmp, 22), 2u);  // positive: bottom-up
    EXPECT_EQ(Read16(bmp, 26), 1u);
    EXPECT_EQ(Read16(bmp, 28), 24u);
    EXPECT_EQ(Read32(bmp, 30), 0u);
    EXPECT_EQ(Read32(bmp, 34), 24u);
    EXPECT_EQ(Read32(bmp, 46), 0u);  // no colour table
    const std::vector<uint8_t> rows(bmp.begin() + 54, bmp.end());
    const std::vector<uint8_t> expected = {0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10, 0, 0, 0,
                                           0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0, 0, 0};
    EXPECT_EQ(rows, expected);
}

TEST(ArtworkEncoding, IconDirectoryPointsAtTwoFourBitImagesWithMasks) {
    const IconImage big = MainIcon(32), small = MainIcon(16);
    const std::vector<uint8_t> ico = EncodeIcon({big, small});
    EXPECT_EQ(Read16(ico, 0), 0u);
    EXPECT_EQ(Read16(ico, 2), 1u);
    ASSERT_EQ(Read16(ico, 4), 2u);
    // Per image: header 40, palette 64, 4 bpp rows (16 or 8 bytes), mask rows padded to 4 bytes.
    const uint32_t big_bytes = 40 + 64 + 32 * 16 + 32 * 4, small_bytes = 40 + 64 + 16 * 8 + 16 * 4;
    const size_t entries[] = {6, 22};
    const uint32_t sizes[] = {32, 16}, bytes[] = {big_bytes, small_bytes}, offsets[] = {38, 38 + big_bytes};
    for (int i = 0; i < 2; ++i) {
        const size_t e = entries[i];
        EXPECT_EQ(ico[e], sizes[i]);
        EXPECT_EQ(ico[e + 1], sizes[i]);
        EXPECT_EQ(ico[e + 2], 16);
        EXPECT_EQ(Read16(ico, e + 6), 4u);
        EXPECT_EQ(Read32(ico, e + 8), bytes[i]);
        EXPECT_EQ(Read32(ico, e + 12), offsets[i]);
        const size_t h = offsets[i];
        EXPECT_EQ(Read32(ico, h), 40u);
        EXPECT_EQ(Read32(ico, h + 4), sizes[i]);
        EXPECT_EQ(Read32(ico, h + 8), 2 * sizes[i]);
        EXPECT_EQ(Read16(ico, h + 14), 4u);
        EXPECT_EQ(Read32(ico, h + 40 + 4 * 15), 0x00FFFFFFu);  // palette entry 15 is white
    }
    ASSERT_EQ(ico.size(), 38u + big_bytes + small_bytes);
    // Bottom-up: the top-left pixel is the first nibble and first mask bit of the last row.
    const size_t big_pixels = 38 + 40 + 64, big_mask = big_pixels + 32 * 16;
    EXPECT_EQ(ico[big_pixels + 31 * 16] >> 4, 0);  // clear pixels are black in the colour plane
    EXPECT_EQ(ico[big_mask + 31 * 4] & 0x80, 0x80);
    EXPECT_EQ(ico[big_mask] & 0x80, 0);  // bottom-left pixel belongs to the front frame
    EXPECT_EQ(ico[big_pixels] >> 4, big.indices[31 * 32]);
}

TEST(ArtworkFiles, EveryFileIsThereAndRebuildsByteForByte) {
    const std::vector<ArtworkFile> first = AllArtwork(), second = AllArtwork();
    std::vector<std::string> names;
    for (const ArtworkFile& file : first) names.push_back(file.name);
    const std::vector<std::string> expected = {"BTON1N.bmp", "BTON2N.bmp", "BTON3N.bmp", "BTON4N.bmp", "BTON5N.bmp",
                                               "BTON6N.bmp", "BTON1D.bmp", "BTON2D.bmp", "BTON3D.bmp", "BTON4D.bmp",
                                               "BTON5D.bmp", "BTON6D.bmp", "MICON.ico",  "SKTOP.bmp",  "SKLFT.bmp",
                                               "SKRGT.bmp",  "SKBOT.bmp"};
    EXPECT_EQ(names, expected);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].name;
    EXPECT_EQ(first[13].bytes, EncodeBmp24(SkinTop()));
    EXPECT_EQ(first[16].bytes.size(), 54u + 1172 * 126);  // 1170-byte rows padded to 1172
}

}  // namespace
