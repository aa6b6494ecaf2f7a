// The parts of the hostile corpus's generator: byte patching helpers and the corpus being built.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// Stores and loads of little- and big-endian integers in a file's bytes; out of range is ignored.
inline void Put16LE(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 2 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}
inline void Put32LE(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}
inline void Put16BE(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 2 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 - 8 * i));
}
inline void Put32BE(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}
inline uint32_t Get16LE(const std::string& bytes, size_t at) {
    return at + 2 <= bytes.size() ? static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 : 0;
}
inline uint32_t Get32LE(const std::string& bytes, size_t at) {
    return Get16LE(bytes, at) | Get16LE(bytes, at + 2) << 16;
}
inline uint32_t Get16BE(const std::string& bytes, size_t at) {
    return at + 2 <= bytes.size() ? static_cast<uint8_t>(bytes[at]) << 8 | static_cast<uint8_t>(bytes[at + 1]) : 0;
}
inline uint32_t Get32BE(const std::string& bytes, size_t at) {
    return Get16BE(bytes, at) << 16 | Get16BE(bytes, at + 2);
}

// The files written so far, by name, with one random source for every noisy byte.
struct Corpus {
    const FixtureFolder& folder;
    std::vector<std::string> names;
    std::mt19937 random;

    void Add(const std::string& name, const std::string& bytes) {
        folder.Write(name, bytes);
        names.push_back(name);
    }
    // A file of `size` zero bytes, written sparse where the disk allows, so it costs nothing.
    void AddZeros(const std::string& name, ULONGLONG size) {
        HANDLE file = CreateFileA(folder.Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        EXPECT_TRUE(file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
                    SetEndOfFile(file))
            << name;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        names.push_back(name);
    }
    std::string Noise(size_t length, bool avoidMarkers = false) {
        std::string bytes(length, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random() & 0xFF);
            if (avoidMarkers && c == '\xFF') c = '\x7F';
        }
        return bytes;
    }
};

// The bytes of a file of the prepared test data.
std::string Seed(const char* dataName);

// The same file cut short at lengths that end inside each header, table and data part.
void AddCuts(Corpus& corpus, const std::string& stem, const std::string& extension, const std::string& whole);

void AddBmps(Corpus& corpus);
void AddJpegs(Corpus& corpus);
void AddTiffs(Corpus& corpus);
void AddPcxAndPsd(Corpus& corpus);
void AddOddities(Corpus& corpus);

}  // namespace e2e
