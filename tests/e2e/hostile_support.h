// What the robustness tests share: a folder of hostile picture files, a snapshot of a folder's
// every byte, stepping a full-screen view with a responsiveness check, and counters of what a
// process holds.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// Fills `folder` with broken, truncated, absurd and oddly named files, every one named as a
// picture, plus a sub-folder named like one and one good picture (kGoodPicture, solid red
// 640 x 480). Returns the names the program should list.
std::vector<std::string> WriteHostileCorpus(const FixtureFolder& folder);
extern const char kGoodPicture[];

// Every name, attribute, size, write time and byte under a folder, sub-folders included; the bytes
// of files up to kMaxSnapshotBytes only.
constexpr ULONGLONG kMaxSnapshotBytes = 64ull << 20;
struct FolderSnapshot {
    struct Entry {
        std::wstring path;
        DWORD attributes;
        FILETIME written;
        ULONGLONG size;
        std::string bytes;
    };
    static FolderSnapshot Take(const std::string& folder);
    // Empty when both hold the same; otherwise the first few differences.
    static std::string Differences(const FolderSnapshot& before, const FolderSnapshot& after);
    std::vector<Entry> entries;
};

// Waits until `window` has been repainted, then requires a message sent to MainWindow to be
// answered within a second.
bool PaintedAndAnswering(const Veltra& veltra, HWND window);

// Posts a left double-click to a full-screen view and waits until the program has handled it:
// a step selects its entry before it loads the file, and the list answers our query only between
// messages, so once it reports `target` the whole step is over. Then PaintedAndAnswering.
// Returns the step's milliseconds, or -1 after a failure.
long StepViewTo(const Veltra& veltra, HWND view, int target);

}  // namespace e2e
