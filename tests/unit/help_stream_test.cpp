#include "about/help_stream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Plays the rich edit control's side: asks for blocks until an empty one comes.
std::vector<uint32_t> Blocks(uint32_t size, uint32_t request) {
    std::vector<uint32_t> blocks;
    uint32_t position = 0;
    for (int guard = 0; guard < 1000; ++guard) {
        const uint32_t n = HelpChunkSize(size, position, request);
        blocks.push_back(n);
        position += n;
        EXPECT_LE(position, size);
        if (n == 0) break;
    }
    return blocks;
}

TEST(HelpChunkSize, LastBlockIsShorterThenAnEmptyOneEndsTheStream) {
    EXPECT_EQ(Blocks(10, 4), (std::vector<uint32_t>{4, 4, 2, 0}));
}

TEST(HelpChunkSize, ExactMultipleEndsWithOneEmptyBlock) { EXPECT_EQ(Blocks(8, 4), (std::vector<uint32_t>{4, 4, 0})); }

TEST(HelpChunkSize, EmptyDocumentGivesOnlyTheEmptyBlock) { EXPECT_EQ(Blocks(0, 4096), (std::vector<uint32_t>{0})); }

TEST(HelpChunkSize, NeverPastTheEnd) {
    EXPECT_EQ(HelpChunkSize(100, 100, 50), 0u);
    EXPECT_EQ(HelpChunkSize(100, 150, 50), 0u);
    EXPECT_EQ(HelpChunkSize(100, 0, 0), 0u);
    // A request so large that position + request would wrap around 32 bits.
    EXPECT_EQ(HelpChunkSize(100, 60, 0xFFFFFFF0u), 40u);
}

}  // namespace
