// Counters of what another process holds. Wine answers 0 to GetGuiResources and
// GetProcessHandleCount for another process, so these fall back to what it keeps truthfully.
#include <vector>

#include "harness.h"

namespace e2e {

long CountHandles(const PROCESS_INFORMATION& process) {
    DWORD reported = 0;
    if (GetProcessHandleCount(process.hProcess, &reported) && reported != 0) return static_cast<long>(reported);
    struct HandleEntry {
        ULONG ownerProcessId;
        UCHAR objectType;
        UCHAR flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QuerySystem>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return -1;
    constexpr int kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 20);
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return -1;
    // The count, then the entries aligned as pointers.
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    long held = 0;
    for (ULONG i = 0; i < count; ++i) held += entries[i].ownerProcessId == process.dwProcessId;
    return held;
}

long CountUserObjects(const PROCESS_INFORMATION& process) {
    const DWORD reported = GetGuiResources(process.hProcess, GR_USEROBJECTS);
    if (reported != 0) return static_cast<long>(reported);
    long windows = 0;
    for (HWND window : TopLevelWindows(process.dwProcessId))
        windows += 1 + static_cast<long>(ChildWindows(window).size());
    return windows > 0 ? windows : -1;
}

}  // namespace e2e
