// The process under pressure: two copies started at the same moment, and a thousand steps of the
// full-screen viewer that must leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "hostile_support.h"

using namespace e2e;

namespace {

// Windows of the program's class, from any process, shown or not.
int VeltraWindows() {
    const std::vector<HWND> windows = TopLevelWindows();
    return static_cast<int>(
        std::count_if(windows.begin(), windows.end(), [](HWND w) { return HasClass(w, "VELTRA"); }));
}

}  // namespace

TEST(SingleInstance, TwoCopiesStartedTogetherTwentyTimesGiveOneWindowAndTheLoserEndsWithZero) {
    FixtureFolder folder;
    folder.CopyData("red640x480.jpg", "red.jpg");
    ASSERT_EQ(VeltraWindows(), 0) << "a copy from an earlier test still runs";
    for (int round = 1; round <= 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Veltra first(folder.path, nullptr, Launch::Suspended);
        Veltra second(folder.path, nullptr, Launch::Suspended);
        ASSERT_TRUE(first.process.hThread != nullptr && second.process.hThread != nullptr);
        ResumeThread(first.process.hThread);
        ResumeThread(second.process.hThread);

        // Watched until one copy has ended and the other's window is up, and for a while after,
        // counting the windows all the time.
        int most = 0;
        DWORD settledAt = 0;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 20000) {
            const int windows = VeltraWindows();
            most = std::max(most, windows);
            const bool settled = (!first.Running() != !second.Running()) && windows == 1;
            if (!settled) {
                settledAt = 0;
            } else if (settledAt == 0) {
                settledAt = GetTickCount();
            } else if (GetTickCount() - settledAt > 500) {
                break;
            }
            Sleep(2);
        }
        EXPECT_LE(most, 1) << "two windows of the program were up at once";
        ASSERT_NE(!first.Running(), !second.Running()) << "not exactly one copy ended";
        const Veltra& loser = !first.Running() ? first : second;
        const Veltra& winner = !first.Running() ? second : first;
        EXPECT_EQ(loser.WaitForExit(0), 0);

        // The winner is whole: its window holds the folder's listing, and it ends normally.
        const HWND window = FindProcessWindow(winner.process.dwProcessId, "VELTRA", true);
        ASSERT_NE(window, nullptr) << "the remaining copy shows no window";
        EXPECT_EQ(SendMessageA(GetDlgItem(window, IDC_PICTURE_LIST), LB_GETCOUNT, 0, 0), 1);
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(WaitForSingleObject(winner.process.hProcess, 10000), WAIT_OBJECT_0);
        EXPECT_EQ(winner.WaitForExit(0), 0);
    }
}

TEST(Leaks, AThousandViewerStepsHoldNoMoreThanTheFirstTen) {
    FixtureFolder folder;
    folder.CopyData("red640x480.jpg", "1 red.jpg");
    folder.CopyData("green400x240.tif", "2 green.tif");
    folder.Write("3 gradient.bmp", MakeBmp(96, 64, [](int x, int y) { return RGB(x * 2, y * 3, 200); }));
    folder.CopyData("quad24.pcx", "4 quadrants.pcx");
    folder.CopyData("quad8rle.psd", "5 quadrants.psd");
    folder.CopyData("Beach.jpg", "6 beach.jpg");
    Veltra veltra(folder.path);
    ASSERT_NE(veltra.main, nullptr);
    const int count = static_cast<int>(veltra.ListNames().size());
    ASSERT_EQ(count, 6);
    veltra.ChooseIndex(0);
    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(195, 150));
    const HWND viewer = veltra.WaitForDialog();
    ASSERT_NE(viewer, nullptr) << "the viewer did not open";

    const DWORD start = GetTickCount();
    HeldCounts early = {};
    for (int step = 1; step <= 1000; ++step) {
        ASSERT_GE(StepViewTo(veltra, viewer, step % count), 0) << "step " << step;
        if (step == 10) early = CountHeld(veltra.process);
    }
    const HeldCounts late = CountHeld(veltra.process);
    std::printf("1000 viewer steps in %lu ms\n  after 10:   %s\n  after 1000: %s\n",
                static_cast<unsigned long>(GetTickCount() - start), Describe(early).c_str(), Describe(late).c_str());

    ExpectNoGrowth(early, late, kLongRunAllowance);
}

// A BMP still being written (its header promises more rows than are there yet) is chosen again
// and again while it grows: each choice reads it and lets go.
TEST(Leaks, FortyChoicesOfAGrowingBmpHoldNoMoreHandles) {
    FixtureFolder folder;
    const std::string whole = SolidBmp(200, 200, RGB(0, 128, 255));
    size_t written = 0;
    // Appended piece by piece, as a copy or a download in progress does.
    auto grow = [&](size_t bytes) {
        HANDLE writer = CreateFileA(folder.Path("growing.bmp").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, 0, nullptr);
        ASSERT_NE(writer, INVALID_HANDLE_VALUE) << "the program holds the file: error " << GetLastError();
        DWORD done = 0;
        EXPECT_TRUE(WriteFile(writer, whole.data() + written, static_cast<DWORD>(bytes), &done, nullptr));
        written += done;
        CloseHandle(writer);
    };
    grow(1000);
    Veltra veltra(folder.path);
    ASSERT_NE(veltra.main, nullptr);
    veltra.Choose("growing.bmp");
    ASSERT_TRUE(veltra.Sync());
    const HeldCounts before = CountHeld(veltra.process);
    for (int choice = 1; choice <= 40; ++choice) {
        ASSERT_NO_FATAL_FAILURE(grow(whole.size() / 50)) << "choice " << choice;
        veltra.Choose("growing.bmp");
        ASSERT_TRUE(veltra.Sync()) << "choice " << choice;
    }
    const HeldCounts after = CountHeld(veltra.process);
    std::printf("handles over 40 choices of a growing BMP: %ld -> %ld\n", before.handles, after.handles);
    ExpectNoGrowth(before, after, {-1, -1, 2, -1});
}
