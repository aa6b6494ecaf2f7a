#include "about/help_stream.h"

uint32_t HelpChunkSize(uint32_t size, uint32_t position, uint32_t requested) {
    if (position >= size) return 0;
    // 64-bit sum: position + requested may not fit in 32 bits.
    if (static_cast<uint64_t>(position) + requested < size) return requested;
    return size - position;
}
