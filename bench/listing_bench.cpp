// Times ListCurrentFolder itself, the program's own code, on large folders: a hidden-parent list
// box with the program's style is filled from a folder of N pictures plus 2,000 other files.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/state.h"
#include "bench.h"
#include "catalogue/catalogue.h"

namespace {

constexpr int kOtherFiles = 2000;
constexpr int kRuns = 5;

void MakeFolder(const std::string& folder, int pictures) {
    CreateDirectoryA(folder.c_str(), nullptr);
    const char* const kinds[] = {".jpg", ".BMP", ".pcx", ".psd", ".tif"};
    auto touch = [](const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    };
    for (int i = 0; i < pictures; ++i) touch(folder + "\\photo " + std::to_string(i * 7919 % 100003) + kinds[i % 5]);
    for (int i = 0; i < kOtherFiles; ++i) touch(folder + "\\note" + std::to_string(i) + ".txt");
}

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

// A visible window with the program's list box, as the user sees it while a folder is listed.
void CreateListWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VeltraListingBench";
    RegisterClassA(&windowClass);
    MainWindow = CreateWindowExA(0, windowClass.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 400, 430, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
    PictureList = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"listbox", nullptr,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT | LBS_SORT | LBS_NOTIFY, 32,
        320, 325, 82, MainWindow, nullptr, windowClass.hInstance, nullptr);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

}  // namespace

int RunListingBench(int argc, char** argv) {
    const std::string root = argc >= 2 ? argv[1] : "C:\\veltra-bench";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateListWindow();
    for (int pictures : {1000, 10000}) {
        const std::string folder = root + "\\listing-" + std::to_string(pictures);
        MakeFolder(folder, pictures);
        SetCurrentDirectoryA(folder.c_str());
        double best = 1e9, total = 0;
        for (int run = 0; run < kRuns; ++run) {
            PumpMessages();
            LARGE_INTEGER start;
            QueryPerformanceCounter(&start);
            ListCurrentFolder();
            // The time until the user sees the refilled list, not only until the function returns.
            UpdateWindow(PictureList);
            const double ms = MillisecondsSince(start);
            best = ms < best ? ms : best;
            total += ms;
        }
        const LRESULT count = SendMessageA(PictureList, LB_GETCOUNT, 0, 0);
        std::printf("listing: %5d pictures + %d other files: %ld listed, best %.1f ms, mean %.1f ms over %d runs\n",
                    pictures, kOtherFiles, static_cast<long>(count), best, total / kRuns, kRuns);
    }
    return 0;
}
