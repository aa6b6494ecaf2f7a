// 1,000 steps of the full-screen viewer through a folder of mixed pictures, on the real program
// driven from outside: the time of each step, and the program's private bytes, handles and GDI
// objects before and after, which should not grow beyond noise.
// Run as `veltra_bench viewer FOLDER` (bench_main.cpp dispatches by name; bench/run_bench.sh
// makes the folder).
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench.h"
#include "harness.h"

namespace {

constexpr int kSteps = 1000;
constexpr int kWarmUpRounds = 2;  // times round the folder before the "before" figures

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Figures {
    size_t privateBytes;
    long handles;
    long gdiObjects;
};

Figures Measure(const e2e::Veltra& veltra) {
    return {e2e::PrivateBytes(veltra.process.hProcess), e2e::CountHandles(veltra.process),
            e2e::CountGdiObjects(veltra.process)};
}

void PrintFigures(const char* when, const Figures& figures) {
    std::printf("viewer: %-9s private bytes %8.1f KiB, handles %4ld, GDI objects %4ld\n", when,
                static_cast<double>(figures.privateBytes) / 1024.0, figures.handles, figures.gdiObjects);
}

// One step as a left double-click gives it, sent rather than posted so that its end is known
// without polling: the load is done when the send returns. Under Wine the forced update can
// return before the paint, so these times are the loads'; `step` (load_bench.cpp) times one step
// until the screen shows it.
bool Step(HWND viewer) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(viewer, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(512, 384), SMTO_ABORTIFHUNG, 30000,
                             &result)) {
        return false;
    }
    return RedrawWindow(viewer, nullptr, nullptr, RDW_UPDATENOW) != FALSE;
}

HWND OpenViewerOnFirstPicture(const e2e::Veltra& veltra) {
    veltra.ChooseIndex(0);
    veltra.MovePointerAway();
    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 310));
    return veltra.WaitForDialog();
}

struct StepTimes {
    std::vector<double> all;                               // milliseconds, in step order
    std::map<std::string, std::vector<double>> byPicture;  // the same, by the picture stepped to
};

// kSteps timed steps; false if one did not complete.
bool TimeSteps(const e2e::Veltra& veltra, HWND viewer, const std::vector<std::string>& names, StepTimes* times) {
    const int count = static_cast<int>(names.size());
    const int startSelection = veltra.Selection();
    for (int i = 0; i < kSteps; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        if (!Step(viewer)) return false;
        QueryPerformanceCounter(&end);
        times->all.push_back(Milliseconds(start, end));
        times->byPicture[names[(startSelection + i + 1) % count]].push_back(times->all.back());
        // Figures along the way tell steady growth from noise.
        if ((i + 1) % (kSteps / 4) == 0 && i + 1 < kSteps) {
            PrintFigures(("step " + std::to_string(i + 1)).c_str(), Measure(veltra));
        }
    }
    return true;
}

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (double value : values) sum += value;
    return sum / static_cast<double>(values.size());
}

void PrintTimes(const StepTimes& times) {
    std::vector<double> sorted = times.all;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    std::printf("viewer: %zu steps: mean %.1f ms, median %.1f ms, 95th percentile %.1f ms, max %.1f ms\n", n,
                Mean(sorted), sorted[n / 2], sorted[n * 95 / 100], sorted.back());
    for (const auto& [name, samples] : times.byPicture) {
        std::printf("viewer:   %-18s %3zu steps, mean %6.1f ms\n", name.c_str(), samples.size(), Mean(samples));
    }
}

}  // namespace

// argv[1]: the folder of mixed pictures, as the program sees it.
int RunViewerBench(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "viewer: folder argument missing\n");
        return 2;
    }
    e2e::Veltra veltra(argv[1]);
    const std::vector<std::string> names = veltra.ListNames();
    const int count = static_cast<int>(names.size());
    if (veltra.main == nullptr || count < 2) {
        std::fprintf(stderr, "viewer: the program did not start in %s with at least 2 pictures\n", argv[1]);
        return 1;
    }
    const HWND viewer = OpenViewerOnFirstPicture(veltra);
    if (viewer == nullptr) {
        std::fprintf(stderr, "viewer: the full-screen viewer did not open\n");
        return 1;
    }
    std::printf("viewer: %d pictures, each step loads one and paints the screen\n", count);

    // Codecs, the sound driver and the heap settle during the first rounds.
    for (int i = 0; i < kWarmUpRounds * count; ++i) Step(viewer);
    const int startSelection = veltra.Selection();
    const Figures before = Measure(veltra);
    PrintFigures("before", before);

    StepTimes times;
    if (!TimeSteps(veltra, viewer, names, &times)) {
        std::fprintf(stderr, "viewer: a step did not complete\n");
        return 1;
    }
    const int endSelection = veltra.Selection();
    // Untimed steps back to the picture shown at "before": what the program holds depends on the
    // picture it shows.
    for (int i = 0; i < (count - kSteps % count) % count; ++i) Step(viewer);
    const Figures after = Measure(veltra);
    PrintTimes(times);
    PrintFigures("after", after);
    std::printf("viewer: growth: private bytes %+.1f KiB, handles %+ld, GDI objects %+ld\n",
                (static_cast<double>(after.privateBytes) - static_cast<double>(before.privateBytes)) / 1024.0,
                after.handles - before.handles, after.gdiObjects - before.gdiObjects);
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));

    // Every step must have moved the selection on by one.
    if (endSelection != (startSelection + kSteps) % count) {
        std::fprintf(stderr, "viewer: selection %d after the steps, expected %d\n", endSelection,
                     (startSelection + kSteps) % count);
        return 1;
    }
    return 0;
}
