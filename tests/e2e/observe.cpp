// Reading the program from outside: its window's pixels, the GDI objects and memory it holds, and
// the capture of its sound output.
// psapi.h needs the Windows types that harness.h brings.
// clang-format off
#include "harness.h"
#include <psapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace e2e {

namespace {

// Wine keeps a process's GDI handles in a table of 65536 entries of 24 bytes, the object type in
// byte 14 (0 = free). A 32-bit process run with a 64-bit layout beside it (Debian's Wine) has the
// table's address in the 64-bit PEB (offset 0xF8), reached through the TEB: GdiBatchCount (offset
// 0xF70) holds the 64-bit TEB, whose offset 0x60 holds the 64-bit PEB. Without that layout the
// 32-bit PEB (TEB offset 0x30) holds it at offset 0x94.
// A 64-bit program (run where the machine runs no 32-bit code) has only the 64-bit layout.
long CountWineGdiTable(const PROCESS_INFORMATION& process) {
    struct ThreadBasicInformation {
        LONG exitStatus;
        void* teb;
        ULONG_PTR ids[2];
        ULONG_PTR affinity;
        LONG priority;
        LONG basePriority;
    } thread = {};
    using QueryThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    if (query == nullptr || query(process.hThread, 0, &thread, sizeof(thread), nullptr) != 0) return -1;
    auto read = [&](uint64_t address, void* into, size_t size) {
        SIZE_T got = 0;
        return address != 0 && (sizeof(void*) == 8 || address < 0x100000000ull) &&
               ReadProcessMemory(process.hProcess, reinterpret_cast<void*>(static_cast<uintptr_t>(address)), into, size,
                                 &got) &&
               got == size;
    };
    const uint64_t teb = reinterpret_cast<uintptr_t>(thread.teb);
    uint64_t teb64 = 0;
    uint64_t table = 0;
    if (sizeof(void*) == 8) {
        teb64 = teb;
    } else if (!read(teb + 0xF70, &teb64, 4)) {
        return -1;
    }
    if (teb64 != 0) {
        uint64_t peb64 = 0;
        if (!read(teb64 + 0x60, &peb64, sizeof(peb64)) || !read(peb64 + 0xF8, &table, sizeof(table))) return -1;
    } else {
        uint32_t peb = 0;
        uint32_t table32 = 0;
        if (!read(teb + 0x30, &peb, sizeof(peb)) || !read(peb + 0x94, &table32, sizeof(table32))) return -1;
        table = table32;
    }
    constexpr size_t kEntries = 0x10000;
    constexpr size_t kEntrySize = 24;
    std::vector<uint8_t> entries(kEntries * kEntrySize);
    if (!read(table, entries.data(), entries.size())) return -1;
    long count = 0;
    for (size_t i = 0; i < kEntries; ++i) count += entries[i * kEntrySize + 14] != 0;
    return count;
}

std::string AudioCapturePath() {
    const char* path = std::getenv("VELTRA_AUDIO_RAW");
    if (path == nullptr || *path == '\0') {
        ADD_FAILURE() << "VELTRA_AUDIO_RAW is not set; run the end-to-end tests through tests/e2e/run_e2e.sh";
        return std::string();
    }
    return path;
}

}  // namespace

int ClientShot::CountOtherThan(const RECT& rect, COLORREF colour, int tolerance) const {
    int others = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) others += !ColourNear(At(x, y), colour, tolerance);
    }
    return others;
}

ClientShot CaptureClient(const Veltra& veltra) { return {Screen::Capture(), veltra.ToScreen(0, 0)}; }

std::string DescribePixel(int x, int y, COLORREF shown) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ") shows " + Describe(shown);
}

long CountGdiObjects(const PROCESS_INFORMATION& process) {
    const DWORD reported = GetGuiResources(process.hProcess, GR_GDIOBJECTS);
    if (reported != 0) return static_cast<long>(reported);
    const long counted = CountWineGdiTable(process);
    // A process always holds some objects (its stock objects at least); none means a wrong table.
    return counted > 0 ? counted : -1;
}

size_t PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
        return 0;
    }
    // Wine leaves PrivateUsage 0 and reports the anonymous resident memory as PagefileUsage.
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

size_t AudioCaptured() {
    WIN32_FILE_ATTRIBUTE_DATA data;
    // No file yet: nothing has played in this run. A run's capture stays far below 4 GiB.
    if (!GetFileAttributesExA(AudioCapturePath().c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

size_t AudioCapturedWhenQuiet() {
    size_t length = AudioCaptured();
    DWORD since = GetTickCount();
    EXPECT_TRUE(WaitUntil(
        [&] {
            const size_t now = AudioCaptured();
            if (now != length) {
                length = now;
                since = GetTickCount();
            }
            return GetTickCount() - since >= 300;
        },
        20000))
        << "sound keeps coming";
    return length;
}

std::string AudioSince(size_t offset) {
    std::ifstream in(AudioCapturePath(), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::ostringstream tail;
    if (in) tail << in.rdbuf();
    return tail.str();
}

std::string Audible(const std::string& samples) {
    std::string audible;
    audible.reserve(samples.size());
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
        if (samples[i] != 0 || samples[i + 1] != 0) audible.append(samples, i, 2);
    }
    return audible;
}

HeldCounts CountHeld(const PROCESS_INFORMATION& process) {
    HeldCounts counts = {};
    counts.gdi = CountGdiObjects(process);
    counts.user = CountUserObjects(process);
    counts.handles = CountHandles(process);
    const size_t bytes = PrivateBytes(process.hProcess);
    counts.privateBytes = bytes != 0 ? static_cast<long long>(bytes) : -1;
    return counts;
}

void ExpectNoGrowth(const HeldCounts& early, const HeldCounts& late, const HeldCounts& allowance) {
    const struct {
        const char* name;
        long long early, late, allowed;
    } counts[] = {{"GDI objects", early.gdi, late.gdi, allowance.gdi},
                  {"user objects", early.user, late.user, allowance.user},
                  {"handles", early.handles, late.handles, allowance.handles},
                  {"private bytes", early.privateBytes, late.privateBytes, allowance.privateBytes}};
    for (const auto& count : counts) {
        if (count.allowed < 0) continue;
        EXPECT_GT(count.early, 0) << "no way to count the program's " << count.name;
        EXPECT_LE(count.late, count.early + count.allowed) << count.name << " grew";
    }
}

std::string Describe(const HeldCounts& counts) {
    char text[160];
    std::snprintf(text, sizeof(text), "GDI objects %ld, user objects %ld, handles %ld, private memory %.2f MB",
                  counts.gdi, counts.user, counts.handles, counts.privateBytes / 1048576.0);
    return text;
}

}  // namespace e2e
