// Samples of 1, 2, 4 or 8 bits packed into bytes, the first in the highest bits: how BMP and
// TIFF store palette indices and grey levels.
#pragma once

#include <cstdint>

inline uint32_t PackedSample(const uint8_t* row, uint32_t index, uint32_t bits) {
    const uint32_t bit = index * bits;
    return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}
