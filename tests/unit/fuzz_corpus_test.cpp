// Replays the committed fuzz seed corpus: through the content-based decoding (JPEG through its
// fitting decoder, BMP and TIFF through theirs) no input may crash or yield a malformed picture, through the sound
// header check none may crash, nor through the colour conversion; and the seeds named valid_* must
// be accepted.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/wave_header.h"
#include "pictures/bmp_decoder.h"
#include "pictures/colour_conversion.h"
#include "pictures/decoded_picture.h"
#include "pictures/jpeg_decoder.h"
#include "pictures/tiff_decoder.h"
#include "tests/unit/decoder_test_support.h"

namespace {

bool Decodes(const std::vector<uint8_t>& bytes) {
    DecodedPicture picture;
    const bool decoded = DecodeByContent(bytes.data(), bytes.size(), &picture);
    if (decoded) ExpectWellFormed(picture);
    return decoded;
}

bool JpegDecodesForThePreview(const std::vector<uint8_t>& bytes) {
    DecodedPicture picture;
    int32_t width = 0, height = 0;
    const bool decoded =
        DecodeJpegBytesToFit(bytes.data(), bytes.size(), FitBox{320, 240, false}, &picture, &width, &height);
    if (decoded) ExpectWellFormed(picture);
    return decoded;
}

template <typename Decode>
bool StreamedForThePreview(const std::vector<uint8_t>& bytes, Decode decode) {
    DecodedPicture picture;
    MemoryFile file{bytes.data(), bytes.size(), 0};
    const bool decoded = decode(MemorySource(&file), &picture);
    if (decoded) ExpectWellFormed(picture);
    return decoded;
}

bool BmpDecodesForThePreview(const std::vector<uint8_t>& bytes) {
    return StreamedForThePreview(bytes, [](PictureSource source, DecodedPicture* picture) {
        int32_t width = 0, height = 0;
        return DecodeBmpToFit(source, 320, 240, picture, &width, &height);
    });
}

bool TiffDecodesForThePreview(const std::vector<uint8_t>& bytes) {
    return StreamedForThePreview(bytes, [](PictureSource source, DecodedPicture* picture) {
        int32_t width = 0, height = 0;
        int orientation = 0;
        return DecodeTiffToFit(source, 320, 240, picture, &width, &height, &orientation);
    });
}

bool SoundPlayable(const std::vector<uint8_t>& bytes) {
    return CheckWaveHeader(bytes.data(), bytes.size(), bytes.size()) == WaveVerdict::Playable;
}

// A profile Little CMS takes converts the picture; pieces of one in APP2 form are refused.
bool ProfileConverts(const std::vector<uint8_t>& bytes) {
    return ColourTransformFor(bytes, StoredPixels::Bgrx, DisplayProfile()) != nullptr;
}

void ReplayFolder(const std::string& folder, bool (*accepts)(const std::vector<uint8_t>&)) {
    SCOPED_TRACE(folder);
    size_t files = 0, validSeeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadFileBytes(entry.path().string(), &bytes));
        ++files;
        const bool accepted = accepts(bytes);
        if (name.rfind("valid_", 0) == 0) {
            ++validSeeds;
            EXPECT_TRUE(accepted) << "a valid seed is no longer accepted";
        }
    }
    EXPECT_GT(files, 0u) << "empty corpus folder";
    EXPECT_GT(validSeeds, 0u) << "no valid_* seed in the folder";
}

}  // namespace

TEST(FuzzCorpus, EverySeedReplaysSafely) {
    const std::string corpus = FolderFromEnvironment("VELTRA_FUZZ_CORPUS");
    ReplayFolder(corpus + "/pcx", Decodes);
    ReplayFolder(corpus + "/psd", Decodes);
    ReplayFolder(corpus + "/jpeg", JpegDecodesForThePreview);
    ReplayFolder(corpus + "/bmp", BmpDecodesForThePreview);
    ReplayFolder(corpus + "/tiff", TiffDecodesForThePreview);
    ReplayFolder(corpus + "/wav", SoundPlayable);
    ReplayFolder(corpus + "/colour", ProfileConverts);
}
