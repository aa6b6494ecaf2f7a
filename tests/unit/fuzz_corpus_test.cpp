// Replays the committed fuzz seed corpus through the content-based decoding: no input may crash
// or yield a malformed picture, and the seeds named valid_* must decode.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/decoded_picture.h"
#include "tests/unit/decoder_test_support.h"

namespace {

void ReplayFolder(const std::string& folder) {
    SCOPED_TRACE(folder);
    size_t files = 0, validSeeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadFileBytes(entry.path().string(), &bytes));
        ++files;
        DecodedPicture picture;
        const bool decoded = DecodeByContent(bytes.data(), bytes.size(), &picture);
        if (decoded) ExpectWellFormed(picture);
        if (name.rfind("valid_", 0) == 0) {
            ++validSeeds;
            EXPECT_TRUE(decoded) << "a valid seed no longer decodes";
        }
    }
    EXPECT_GT(files, 0u) << "empty corpus folder";
    EXPECT_GT(validSeeds, 0u) << "no valid_* seed in the folder";
}

}  // namespace

TEST(FuzzCorpus, EverySeedReplaysSafely) {
    const std::string corpus = FolderFromEnvironment("VELTRA_FUZZ_CORPUS");
    if (corpus.empty()) GTEST_SKIP() << "VELTRA_FUZZ_CORPUS is not set: point it at tests/fuzz/corpus";
    ReplayFolder(corpus + "/pcx");
    ReplayFolder(corpus + "/psd");
}
