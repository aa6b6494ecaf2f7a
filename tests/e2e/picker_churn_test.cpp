// The folder picker driven from its keyboard for a while as a user would wander through it, while
// this test makes, renames and deletes folders beneath it: sub-folders, the folder selected and
// the program's current directory. Long and meant for tools/picker_stress.sh, so disabled here.
#include "harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <string>
#include <thread>

using namespace e2e;

namespace {

constexpr DWORD kDriveMilliseconds = 30000;

// Renames, deletes and makes folders under `root` until `stop`: every tree level the picker
// shows, the folders it is likely to have selected, and `root` itself (the current directory).
void ChurnFolders(const std::string& root, const std::atomic<bool>& stop) {
    std::mt19937 random(12);
    const char* const names[] = {"A", "B", "C", "A\\deep", "B\\deep", "C\\deep\\deeper"};
    for (unsigned round = 0; !stop; ++round) {
        const std::string folder = root + "\\" + names[random() % std::size(names)];
        switch (random() % 4) {
            case 0: CreateDirectoryA(folder.c_str(), nullptr); break;
            case 1: RemoveDirectoryA(folder.c_str()); break;
            case 2:
                if (MoveFileA(folder.c_str(), (folder + "-moved").c_str())) {
                    Sleep(random() % 40);
                    MoveFileA((folder + "-moved").c_str(), folder.c_str());
                }
                break;
            case 3:
                if (round % 8 == 0 && MoveFileA(root.c_str(), (root + "-moved").c_str())) {
                    Sleep(random() % 40);
                    MoveFileA((root + "-moved").c_str(), root.c_str());
                }
                break;
        }
        Sleep(random() % 15);
    }
}

// The churn for as long as it is in scope.
struct Churn {
    explicit Churn(const std::string& root) : thread(ChurnFolders, root, std::cref(stop)) {}
    ~Churn() {
        stop = true;
        thread.join();
    }
    std::atomic<bool> stop{false};
    std::thread thread;
};

}  // namespace

TEST(PickerChurn, DISABLED_PickerWalkedWhileTheTreeChangesNeverEndsTheProgram) {
    FixtureFolder folder;
    for (const char* sub : {"A", "B", "C", "A\\deep", "B\\deep", "C\\deep", "C\\deep\\deeper"}) folder.MakeFolder(sub);
    folder.Write("A\\a.jpg", "x");
    Veltra veltra(folder.Path("A"));
    const Churn churn(folder.path);
    // Down, up, open and close a branch, in a random order that covers the fixture's levels.
    const WPARAM keys[] = {VK_DOWN, VK_DOWN, VK_UP, VK_RIGHT, VK_LEFT, VK_RIGHT};
    std::mt19937 random(3);
    int pickers = 0, steps = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kDriveMilliseconds && veltra.Running();) {
        veltra.PostCommand(IDC_FOLDERS);
        const HWND picker = veltra.WaitForDialog();
        const HWND tree = FindWindowExA(picker, nullptr, WC_TREEVIEWA, nullptr);
        ASSERT_NE(tree, nullptr) << "the picker did not open after " << pickers << " runs"
                                 << (veltra.Running() ? "" : "; the program has ended");
        ++pickers;
        for (int key = 0; key < 40 && IsWindow(tree); ++key, ++steps) {
            PostMessageA(tree, WM_KEYDOWN, keys[random() % std::size(keys)], 0);
            ASSERT_TRUE(veltra.Sync()) << "no answer after " << steps << " keys";
        }
        PostMessageA(picker, WM_COMMAND, random() % 2 ? IDOK : IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker); })) << "the picker did not close";
    }
    std::printf("picker churn: %d pickers, %d keys\n", pickers, steps);
    EXPECT_TRUE(veltra.Running()) << "exit code " << veltra.WaitForExit(0);
    EXPECT_TRUE(veltra.Sync());
}
