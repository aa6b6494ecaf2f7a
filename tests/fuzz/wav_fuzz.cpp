// The companion sound's header check on any bytes: it must never read outside them, and a file
// it vouches for is at least a RIFF/WAVE file holding fmt and data chunk ids.
#include <cstring>

#include "catalogue/wave_header.h"

namespace {

bool Holds(const uint8_t* data, size_t size, const char* id) {
    for (size_t at = 12; at + 4 <= size; ++at) {
        if (std::memcmp(data + at, id, 4) == 0) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (CheckWaveHeader(data, size, size) != WaveVerdict::Playable) return 0;
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0 ||
        !Holds(data, size, "fmt ") || !Holds(data, size, "data")) {
        __builtin_trap();
    }
    return 0;
}
