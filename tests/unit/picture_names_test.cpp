#include "catalogue/picture_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(PictureKindOf, KnowsTheFiveKindsInAnyCase) {
    EXPECT_EQ(PictureKindOf("A.JPG"), 1);
    EXPECT_EQ(PictureKindOf("b.jpg"), 1);
    EXPECT_EQ(PictureKindOf("c.Jpg"), 1);
    EXPECT_EQ(PictureKindOf("d.bmp"), 2);
    EXPECT_EQ(PictureKindOf("e.PcX"), 3);
    EXPECT_EQ(PictureKindOf("f.psd"), 4);
    EXPECT_EQ(PictureKindOf("x.TIF"), 5);
}

TEST(PictureKindOf, OnlyTheFirstThreeCharactersAfterTheLastDotCount) {
    EXPECT_EQ(PictureKindOf("e.tiff"), 5);
    EXPECT_EQ(PictureKindOf("f.bmpx"), 2);
    EXPECT_EQ(PictureKindOf("d.jpeg"), 0);  // JPE
    EXPECT_EQ(PictureKindOf("archive.tar.pcx"), 3);
    EXPECT_EQ(PictureKindOf("photo.jpg.txt"), 0);
    EXPECT_EQ(PictureKindOf("a.b.psd"), 4);
}

TEST(PictureKindOf, NamesWithoutAUsableExtensionAreNotPictures) {
    EXPECT_EQ(PictureKindOf("README"), 0);
    EXPECT_EQ(PictureKindOf("."), 0);
    EXPECT_EQ(PictureKindOf(".."), 0);
    EXPECT_EQ(PictureKindOf("photo."), 0);
    EXPECT_EQ(PictureKindOf("photo.jp"), 0);
    EXPECT_EQ(PictureKindOf(""), 0);
    EXPECT_EQ(PictureKindOf(".jpg"), 1);
    EXPECT_EQ(PictureKindOf("\xE9t\xE9.JPG"), 1);  // ANSI letters above 127 in the name
    EXPECT_EQ(PictureKindOf("x.\xCApg"), 0);
}

std::string Companion(const char* name, size_t capacity = 260) {
    char buffer[300];
    std::strcpy(buffer, name);
    return MakeCompanionName(buffer, capacity) ? std::string(buffer) : std::string("<refused:") + buffer + ">";
}

TEST(MakeCompanionName, ReplacesEverythingAfterTheLastDot) {
    EXPECT_EQ(Companion("Beach.jpg"), "Beach.WAV");
    EXPECT_EQ(Companion("a.b.jpg"), "a.b.WAV");
    EXPECT_EQ(Companion("photo.tiff"), "photo.WAV");
    EXPECT_EQ(Companion("x."), "x.WAV");
}

TEST(MakeCompanionName, RefusesWhatItCannotDoSafely) {
    EXPECT_EQ(Companion("README"), "<refused:README>");
    // "ab.x" needs "ab.WAV" plus terminator: 7 bytes.
    EXPECT_EQ(Companion("ab.x", 7), "ab.WAV");
    EXPECT_EQ(Companion("ab.x", 6), "<refused:ab.x>");
    // A 259-character name whose dot is near its end would overflow a 260-byte buffer.
    std::string longName(257, 'n');
    longName += ".p";
    ASSERT_EQ(longName.size(), 259u);
    EXPECT_EQ(Companion(longName.c_str()), "<refused:" + longName + ">");
}

}  // namespace
