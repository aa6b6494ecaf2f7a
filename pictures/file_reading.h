// Reading a user's file into memory in one go, closing it at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// What to do with a file longer than the limit.
enum class Overlong { Refuse, ReadTheStart };

// Opens `path` shared in every way, puts its first min(size, `limit`) bytes into `bytes` and closes
// it; `fileSize` gets its whole size. False when it cannot be opened or read, or is longer than
// `limit` and `overlong` says Refuse (then nothing is read).
bool ReadFileStart(const WCHAR* path, uint64_t limit, Overlong overlong, std::vector<uint8_t>* bytes,
                   uint64_t* fileSize);
