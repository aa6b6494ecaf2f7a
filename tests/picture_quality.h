// How close a fitted picture is to a reference of the same size, for the unit and the end-to-end
// tests alike. Two sound ways of shrinking differ pixel by pixel on fine detail, but hardly in the
// means of 4 x 4 blocks, while detail lost, a highlight bloomed or content shifted changes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "pictures/decoded_picture.h"

struct BlockDifference {
    double meanError = 0;    // |block mean - reference block mean|, averaged over blocks and B, G, R
    double shareWithin = 0;  // the share of blocks whose three means all lie within 16 of the reference
    double worst = 0;        // the largest difference of one block's mean
};

// Blocks of 4 x 4 pixels from the top left; those at the right and bottom edges may be smaller,
// so that an edge counts as much as the middle. Both pictures must have the same size.
inline BlockDifference CompareBlockMeans(const DecodedPicture& picture, const DecodedPicture& reference) {
    BlockDifference difference;
    if (picture.width != reference.width || picture.height != reference.height) {
        difference.meanError = difference.worst = 255;
        return difference;
    }
    size_t blocks = 0, within = 0;
    double total = 0;
    for (int32_t top = 0; top < picture.height; top += 4) {
        for (int32_t left = 0; left < picture.width; left += 4) {
            long sums[2][3] = {};
            int count = 0;
            for (int32_t y = top; y < top + 4 && y < picture.height; ++y) {
                for (int32_t x = left; x < left + 4 && x < picture.width; ++x, ++count) {
                    const size_t at = (static_cast<size_t>(y) * picture.width + x) * 4;
                    for (int channel = 0; channel < 3; ++channel) {
                        sums[0][channel] += picture.bgra[at + channel];
                        sums[1][channel] += reference.bgra[at + channel];
                    }
                }
            }
            double largest = 0;
            for (int channel = 0; channel < 3; ++channel) {
                const double off = std::labs(sums[0][channel] - sums[1][channel]) / static_cast<double>(count);
                total += off;
                if (off > largest) largest = off;
            }
            if (largest > difference.worst) difference.worst = largest;
            if (largest <= 16) ++within;
            ++blocks;
        }
    }
    difference.meanError = blocks > 0 ? total / (3.0 * blocks) : 0;
    difference.shareWithin = blocks > 0 ? static_cast<double>(within) / blocks : 1;
    return difference;
}
