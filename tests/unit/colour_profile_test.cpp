#include "pictures/colour_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// One APP2 segment: "ICC_PROFILE\0", its number and the count, then `length` bytes of its number.
struct Piece {
    int number, count;
    size_t length;
    const char* marker = "ICC_PROFILE";
};

Bytes Segment(const Piece& piece) {
    Bytes bytes(piece.marker, piece.marker + std::char_traits<char>::length(piece.marker) + 1);
    bytes.push_back(static_cast<uint8_t>(piece.number));
    bytes.push_back(static_cast<uint8_t>(piece.count));
    bytes.resize(bytes.size() + piece.length, static_cast<uint8_t>(piece.number));
    return bytes;
}

// `count` pieces numbered 1..count in file order, 64 KB each but for the last.
std::vector<Piece> Whole(int count, size_t lastLength) {
    std::vector<Piece> pieces;
    for (int number = 1; number <= count; ++number)
        pieces.push_back({number, count, number < count ? 65536 : lastLength});
    return pieces;
}

std::vector<int> UpTo(int count) {
    std::vector<int> numbers;
    for (int number = 1; number <= count; ++number) numbers.push_back(number);
    return numbers;
}

struct Case {
    const char* what;
    std::vector<Piece> pieces;
    std::vector<int> order;  // the pieces the profile is made of, by number; empty: no profile
};

TEST(ColourProfile, JpegPiecesMakeAProfileOnlyWhenAllAreThereOnce) {
    const Case cases[] = {
        {"one piece", {{1, 1, 300}}, {1}},
        {"three in order", {{1, 3, 10}, {2, 3, 20}, {3, 3, 5}}, {1, 2, 3}},
        {"three out of order", {{3, 3, 5}, {1, 3, 10}, {2, 3, 20}}, {1, 2, 3}},
        {"other APP2 segments between", {{2, 2, 7}, {0, 0, 9, "FPXR"}, {1, 2, 8}}, {1, 2}},
        {"a piece missing", {{1, 3, 10}, {3, 3, 10}}, {}},
        {"a piece repeated", {{1, 2, 10}, {1, 2, 10}, {2, 2, 10}}, {}},
        {"counts disagree", {{1, 2, 10}, {2, 3, 10}}, {}},
        {"number 0", {{0, 1, 10}}, {}},
        {"number past the count", {{1, 1, 10}, {2, 1, 10}}, {}},
        {"count 0", {{1, 0, 10}}, {}},
        {"no pieces", {{0, 0, 9, "FPXR"}}, {}},
        {"pieces without bytes", {{1, 2, 0}, {2, 2, 0}}, {}},
        {"exactly the largest", Whole(64, 65536), UpTo(64)},
        {"one byte over the largest", Whole(65, 1), {}},
    };
    static_assert(64 * 65536 == kMaxProfileBytes, "the largest profile is 64 pieces of 64 KB");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Bytes> segments;
        for (const Piece& piece : c.pieces) segments.push_back(Segment(piece));
        std::vector<MarkerPayload> payloads;
        for (const Bytes& segment : segments) payloads.push_back({segment.data(), segment.size()});
        Bytes expected;
        for (int number : c.order) {
            for (const Piece& piece : c.pieces) {
                if (piece.number == number)
                    expected.resize(expected.size() + piece.length, static_cast<uint8_t>(number));
            }
        }
        Bytes profile = {1, 2, 3};
        EXPECT_EQ(AssembleJpegProfile(payloads.data(), payloads.size(), &profile), !c.order.empty());
        EXPECT_EQ(profile.size(), expected.size());
        EXPECT_TRUE(profile == expected);
    }
}

}  // namespace
