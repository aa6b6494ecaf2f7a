// Choose-to-painted time of one picture, on the real program measured from outside: in the
// preview (from the list's double-click notification), as one step of the full-screen viewer
// (from the double-click that steps to it, forward after a pause or backward at once), or as the
// viewer opening on the picture the preview shows, each time until the screen shows the picture.
// With the process's peak working set, which a fresh program per picture makes that picture's.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench.h"
#include "harness.h"
#include "resources/resource_ids.h"
#include "screen.h"

namespace {

constexpr int kRuns = 5;
constexpr double kGiveUpSeconds = 60;

// The folder holds black.bmp, which clears the view between runs, and the picture to time,
// whose middle is not black.
constexpr char kBlank[] = "black.bmp";

// How long a user looks at a picture before the next gesture: time enough to decode the next one.
constexpr DWORD kLookMilliseconds = 2000;

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

// Runs `timeOne` kRuns times and prints the median and best with the peak working set.
int Report(const char* what, const e2e::Veltra& veltra, const std::string& picture,
           const std::function<double()>& timeOne) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) times.push_back(timeOne());
    std::sort(times.begin(), times.end());
    std::printf("%s %s: median %.3f s, best %.3f s over %d runs; peak working set %.0f MB\n", what, picture.c_str(),
                times[times.size() / 2], times.front(), kRuns, PeakWorkingSetMb(veltra.process.hProcess));
    return times.back() < kGiveUpSeconds ? 0 : 1;
}

int RunIn(int argc, char** argv, const char* what, int (*measure)(const e2e::Veltra&, const std::string&)) {
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
    return measure(veltra, picture);
}

int MeasurePreview(const e2e::Veltra& veltra, const std::string& picture) {
    const POINT middle = veltra.ToScreen(195, 176);
    return Report("preview", veltra, picture, [&] {
        veltra.Choose(kBlank);
        veltra.Repaint();
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        veltra.Choose(picture);
        return TimeUntil(start, middle, false);
    });
}

const LPARAM kOnTheSkin = MAKELPARAM(20, 310);

POINT ScreenMiddle() { return POINT{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }

HWND OpenViewerOn(const e2e::Veltra& veltra, const std::string& name) {
    veltra.Choose(name);
    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, kOnTheSkin);
    const HWND viewer = veltra.WaitForDialog();
    if (viewer == nullptr) std::fprintf(stderr, "the full-screen viewer did not open\n");
    return viewer;
}

void EndViewer(const e2e::Veltra& veltra, HWND viewer) {
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
    while (IsWindow(viewer)) Sleep(1);
    veltra.Sync(60000);
}

// One step by a double-click of `button`, timed until the middle of the screen is no longer black.
double TimeStep(HWND viewer, UINT doubleClick) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    PostMessageA(viewer, doubleClick, 0, MAKELPARAM(10, 10));
    return TimeUntil(start, ScreenMiddle(), false);
}

// Back to the blank picture, untimed, and until the program has done with it.
void StepToBlank(const e2e::Veltra& veltra, HWND viewer, UINT doubleClick) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    PostMessageA(viewer, doubleClick, 0, MAKELPARAM(10, 10));
    TimeUntil(start, ScreenMiddle(), true);
    veltra.Sync(60000);
}

const char* ViewSize() {
    static char size[32];
    std::snprintf(size, sizeof size, "%d x %d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return size;
}

// Each timed step goes from the blank picture to the one measured, a look's time after the blank
// one showed; an untimed one goes back.
int MeasureViewerStep(const e2e::Veltra& veltra, const std::string& picture) {
    const HWND viewer = OpenViewerOn(veltra, kBlank);
    if (viewer == nullptr) return 1;
    const int blank = veltra.Selection();
    const std::string what = std::string("viewer step at ") + ViewSize();
    const int result = Report(what.c_str(), veltra, picture, [&] {
        Sleep(kLookMilliseconds);
        if (veltra.Selection() != blank || !ScreenIsBlackAt(ScreenMiddle())) return kGiveUpSeconds;
        const double seconds = TimeStep(viewer, WM_LBUTTONDBLCLK);
        StepToBlank(veltra, viewer, WM_LBUTTONDBLCLK);
        return seconds;
    });
    EndViewer(veltra, viewer);
    return result;
}

// The folder holds a.jpg, b.jpg and the blank picture, in that order. Each timed step goes back
// from the blank picture to b.jpg the moment the blank one shows, while the program expects a
// step forward to a.jpg; an untimed step forward goes to the blank one again.
int MeasureStepAgainst(const e2e::Veltra& veltra, const std::string&) {
    const HWND viewer = OpenViewerOn(veltra, kBlank);
    if (viewer == nullptr) return 1;
    const std::string what = std::string("viewer step backward at once at ") + ViewSize();
    const int result = Report(what.c_str(), veltra, "b.jpg (a.jpg ahead)", [&] {
        const double seconds = TimeStep(viewer, WM_RBUTTONDBLCLK);
        StepToBlank(veltra, viewer, WM_LBUTTONDBLCLK);
        return seconds;
    });
    EndViewer(veltra, viewer);
    return result;
}

// From the double-click on MainWindow, a look's time after the preview showed the picture, until
// the viewer shows it beside MainWindow (a fifth of the way across the screen, where a photo fitted
// to the screen covers and the skinned window does not).
int MeasureViewerOpening(const e2e::Veltra& veltra, const std::string& picture) {
    const POINT preview = veltra.ToScreen(195, 176);
    const POINT beside = {GetSystemMetrics(SM_CXSCREEN) / 5, GetSystemMetrics(SM_CYSCREEN) / 2};
    const std::string what = std::string("viewer opening at ") + ViewSize();
    return Report(what.c_str(), veltra, picture, [&] {
        veltra.Choose(kBlank);
        veltra.Repaint();
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        veltra.Choose(picture);
        TimeUntil(start, preview, false);
        Sleep(kLookMilliseconds);
        if (!ScreenIsBlackAt(beside)) return kGiveUpSeconds;
        QueryPerformanceCounter(&start);
        PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, kOnTheSkin);
        const double seconds = TimeUntil(start, beside, false);
        const HWND viewer = veltra.WaitForDialog();
        if (viewer != nullptr) EndViewer(veltra, viewer);
        return seconds;
    });
}

// The platform's floor for any full-screen view: a bare white pop-up window covering the screen,
// made and shown by this process beside the program's MainWindow, until the screen shows it.
int MeasureBareWindow(const e2e::Veltra& veltra, const std::string&) {
    const POINT beside = {GetSystemMetrics(SM_CXSCREEN) / 5, GetSystemMetrics(SM_CYSCREEN) / 2};
    const std::string what = std::string("a bare full-screen window at ") + ViewSize();
    return Report(what.c_str(), veltra, "(no picture)", [&] {
        Sleep(kLookMilliseconds);
        if (!ScreenIsBlackAt(beside)) return kGiveUpSeconds;
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        const HWND window = e2e::ShowPlainWindow(
            RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, WHITE_BRUSH, 0, SW_SHOW);
        MSG message;
        while (ScreenIsBlackAt(beside) && Seconds(start) < kGiveUpSeconds) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            Sleep(1);
        }
        const double seconds = Seconds(start);
        DestroyWindow(window);
        TimeUntil(start, beside, true);
        return seconds;
    });
}

// The folder holds a.bmp and c.bmp (blank) and b.jpg and d.jpg (the photo). The show's slides
// change from black to the photo and back; each change is timed against the one before. The
// timer is set once a slide is loaded, before it is painted, so an interval to a photo is the
// interval, plus the photo's load and paint, less the blank one's paint (next to nothing).
int MeasureSlides(const e2e::Veltra& veltra, const std::string&) {
    constexpr int kChanges = 6;
    veltra.ChooseIndex(0);
    veltra.PostCommand(IDC_AUTO_SHOW);
    const HWND show = veltra.WaitForDialog();
    if (show == nullptr) {
        std::fprintf(stderr, "slides: the show did not open\n");
        return 1;
    }
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    double last = TimeUntil(start, ScreenMiddle(), true);
    std::vector<double> toPhoto, toBlank;
    for (int change = 0; change < kChanges; ++change) {
        const bool photo = change % 2 == 0;
        const double now = TimeUntil(start, ScreenMiddle(), !photo);
        (photo ? toPhoto : toBlank).push_back(now - last);
        last = now;
    }
    PostMessageA(show, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(10, 10));
    std::sort(toPhoto.begin(), toPhoto.end());
    std::sort(toBlank.begin(), toBlank.end());
    const double photoMedian = toPhoto[toPhoto.size() / 2];
    std::printf(
        "slide show at %s: interval to the photo median %.3f s, to the blank %.3f s: the photo on screen "
        "%.0f ms after its tick; peak working set %.0f MB\n",
        ViewSize(), photoMedian, toBlank[toBlank.size() / 2], (photoMedian - 8.0) * 1000,
        PeakWorkingSetMb(veltra.process.hProcess));
    return last < kGiveUpSeconds ? 0 : 1;
}

}  // namespace

// argv[1]: a folder holding black.bmp and the picture to time.
int RunLoadBench(int argc, char** argv) { return RunIn(argc, argv, "load", MeasurePreview); }

int RunStepBench(int argc, char** argv) { return RunIn(argc, argv, "step", MeasureViewerStep); }

// argv[1]: a folder holding a.jpg, b.jpg and black.bmp.
int RunStepAgainstBench(int argc, char** argv) { return RunIn(argc, argv, "against", MeasureStepAgainst); }

int RunOpeningBench(int argc, char** argv) { return RunIn(argc, argv, "open", MeasureViewerOpening); }

int RunBareWindowBench(int argc, char** argv) { return RunIn(argc, argv, "window", MeasureBareWindow); }

// argv[1]: a folder holding a.bmp, b.jpg, c.bmp and d.jpg.
int RunSlidesBench(int argc, char** argv) { return RunIn(argc, argv, "slides", MeasureSlides); }
