// Choose-to-painted time of one picture, on the real program measured from outside: in the
// preview (from the list's double-click notification) or as one step of the full-screen viewer
// (from the double-click that steps to it), each time until the screen shows the picture. With
// the process's peak working set, which a fresh program per picture makes that picture's.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench.h"
#include "harness.h"

namespace {

constexpr int kRuns = 5;  // unless the command line asks for fewer or more
constexpr double kGiveUpSeconds = 60;

// The folder holds black.bmp, which clears the view between runs, and the picture to time,
// whose middle is not black.
constexpr char kBlank[] = "black.bmp";

double Seconds(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

bool ScreenIsBlackAt(POINT point) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour == RGB(0, 0, 0);
}

// Seconds from `start` until the screen at `point` is (or is no longer) black.
double TimeUntil(const LARGE_INTEGER& start, POINT point, bool black) {
    while (ScreenIsBlackAt(point) != black && Seconds(start) < kGiveUpSeconds) Sleep(1);
    return Seconds(start);
}

double PeakWorkingSetMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::string PictureIn(const e2e::Veltra& veltra) {
    for (const std::string& name : veltra.ListNames()) {
        if (name != kBlank) return name;
    }
    return std::string();
}

// Runs `timeOne` `runs` times and prints the median and best with the peak working set.
int Report(const char* what, const e2e::Veltra& veltra, const std::string& picture, int runs,
           const std::function<double()>& timeOne) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) times.push_back(timeOne());
    std::sort(times.begin(), times.end());
    std::printf("%s %s: median %.3f s, best %.3f s over %d runs; peak working set %.0f MB\n", what, picture.c_str(),
                times[times.size() / 2], times.front(), runs, PeakWorkingSetMb(veltra.process.hProcess));
    return times.back() < kGiveUpSeconds ? 0 : 1;
}

int RunIn(int argc, char** argv, const char* what, int (*measure)(const e2e::Veltra&, const std::string&, int)) {
    if (argc < 2) {
        std::fprintf(stderr, "%s: folder argument missing\n", what);
        return 2;
    }
    e2e::Veltra veltra(argv[1]);
    const std::string picture = PictureIn(veltra);
    if (veltra.main == nullptr || picture.empty()) {
        std::fprintf(stderr, "%s: no picture beside %s in %s\n", what, kBlank, argv[1]);
        return 1;
    }
    veltra.MovePointerAway();
    const int runs = argc >= 3 ? std::atoi(argv[2]) : kRuns;
    return measure(veltra, picture, runs >= 1 ? runs : kRuns);
}

int MeasurePreview(const e2e::Veltra& veltra, const std::string& picture, int runs) {
    const POINT middle = veltra.ToScreen(195, 176);
    return Report("preview", veltra, picture, runs, [&] {
        veltra.Choose(kBlank);
        veltra.Repaint();
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        veltra.Choose(picture);
        return TimeUntil(start, middle, false);
    });
}

// Each timed step goes from the blank picture to the one measured; an untimed one goes back.
int MeasureViewerStep(const e2e::Veltra& veltra, const std::string& picture, int runs) {
    veltra.Choose(kBlank);
    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 310));
    const HWND viewer = veltra.WaitForDialog();
    if (viewer == nullptr) {
        std::fprintf(stderr, "step: the full-screen viewer did not open\n");
        return 1;
    }
    const POINT middle = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    const int blank = veltra.Selection();
    char what[64];
    std::snprintf(what, sizeof what, "viewer step at %ld x %ld", middle.x * 2, middle.y * 2);
    const int result = Report(what, veltra, picture, runs, [&] {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        if (veltra.Selection() != blank || !ScreenIsBlackAt(middle)) return kGiveUpSeconds;
        PostMessageA(viewer, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
        const double seconds = TimeUntil(start, middle, false);
        PostMessageA(viewer, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
        QueryPerformanceCounter(&start);
        TimeUntil(start, middle, true);
        veltra.Sync(60000);
        return seconds;
    });
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
    return result;
}

}  // namespace

// argv[1]: a folder holding black.bmp and the picture to time; argv[2], if there, the number of runs.
int RunLoadBench(int argc, char** argv) { return RunIn(argc, argv, "load", MeasurePreview); }

int RunStepBench(int argc, char** argv) { return RunIn(argc, argv, "step", MeasureViewerStep); }
