// Helpers shared by the decoder tests and the fuzz corpus replay.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pictures/decoded_picture.h"

inline bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

// The folder named by an environment variable, or empty when it is not set.
inline std::string FolderFromEnvironment(const char* variable) {
    const char* folder = std::getenv(variable);
    return folder != nullptr ? std::string(folder) : std::string();
}

// Every decoded picture must be exactly width x height opaque pixels.
inline void ExpectWellFormed(const DecodedPicture& picture) {
    ASSERT_GT(picture.width, 0);
    ASSERT_GT(picture.height, 0);
    ASSERT_EQ(picture.bgra.size(), static_cast<size_t>(picture.width) * picture.height * 4);
    for (size_t pixel = 0; pixel < picture.bgra.size() / 4; ++pixel) {
        ASSERT_EQ(picture.bgra[pixel * 4 + 3], 255) << "alpha of pixel " << pixel;
    }
}

// Compares with R, G, B triples row by row from the top, naming the first pixel that differs by
// more than `tolerance` in a channel.
inline void ExpectPixels(const DecodedPicture& picture, int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                         int tolerance = 0) {
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    ExpectWellFormed(picture);
    ASSERT_EQ(rgb.size(), static_cast<size_t>(width) * height * 3) << "reference has the wrong size";
    for (size_t pixel = 0; pixel < rgb.size() / 3; ++pixel) {
        const uint8_t* got = picture.bgra.data() + pixel * 4;
        const uint8_t* want = rgb.data() + pixel * 3;
        if (std::abs(got[2] - want[0]) > tolerance || std::abs(got[1] - want[1]) > tolerance ||
            std::abs(got[0] - want[2]) > tolerance) {
            FAIL() << "pixel (" << pixel % width << ", " << pixel / width << ") is R,G,B " << int(got[2]) << ","
                   << int(got[1]) << "," << int(got[0]) << ", expected " << int(want[0]) << "," << int(want[1]) << ","
                   << int(want[2]);
        }
    }
}

using Decoder = bool (*)(const uint8_t*, size_t, DecodedPicture*);

struct ReferencePicture {
    const char* name;
    int32_t width;
    int32_t height;
    int tolerance = 0;  // how far a channel may be from ImageMagick's decoding
};

// Decodes a fixture by content and compares it with ImageMagick's decoding stored beside it;
// the decoder for the other format must refuse the same bytes.
inline void ExpectMatchesReference(const ReferencePicture& reference, Decoder otherDecoder) {
    SCOPED_TRACE(reference.name);
    const std::string path = FolderFromEnvironment("VELTRA_FIXTURES") + "/" + reference.name;
    std::vector<uint8_t> file, rgb;
    ASSERT_TRUE(ReadFileBytes(path, &file)) << path;
    ASSERT_TRUE(ReadFileBytes(path + ".rgb", &rgb)) << path << ".rgb";
    DecodedPicture picture;
    ASSERT_TRUE(DecodeByContent(file.data(), file.size(), &picture));
    ExpectPixels(picture, reference.width, reference.height, rgb, reference.tolerance);
    DecodedPicture refused;
    EXPECT_FALSE(otherDecoder(file.data(), file.size(), &refused));
}

// Asserts that no prefix of a valid file decodes: a cut file is a failure, never part of a picture.
inline void ExpectEveryTruncationRefused(const std::vector<uint8_t>& file) {
    DecodedPicture whole;
    ASSERT_TRUE(DecodeByContent(file.data(), file.size(), &whole)) << "the uncut file must decode";
    for (size_t length = 0; length < file.size(); ++length) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        DecodedPicture picture;
        EXPECT_FALSE(DecodeByContent(cut.data(), cut.size(), &picture)) << "cut to " << length << " bytes";
    }
}

inline bool RefusedBy(Decoder decoder, const std::vector<uint8_t>& file) {
    DecodedPicture picture;
    return !decoder(file.data(), file.size(), &picture);
}

// For hostile sizes: the refusal must come before the picture's memory is asked for.
inline bool RefusedBeforeAllocating(Decoder decoder, const std::vector<uint8_t>& file) {
    DecodedPicture picture;
    return !decoder(file.data(), file.size(), &picture) && picture.bgra.capacity() == 0;
}
