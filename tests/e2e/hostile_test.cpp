// Hostile folders: a folder of broken, absurd and oddly named picture files, shown every way the
// program can show a file. The program must survive every one, answer at once after each, show a
// good picture again afterwards, and leave the folder exactly as it found it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "hostile_support.h"

using namespace e2e;

namespace {

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

bool Answers(const Veltra& veltra) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(veltra.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0;
}

HWND OpenViewer(const Veltra& veltra, int entry) {
    veltra.ChooseIndex(entry);
    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(195, 150));
    return veltra.WaitForDialog();
}

bool DialogCloses(const Veltra& veltra) {
    return WaitUntil([&] { return veltra.FindDialog() == nullptr; }) && Answers(veltra);
}

// About (closed by its Done button), the test screen (a left double-click), the folder picker
// (cancelled).
void OpenAndCloseTheOtherDialogs(const Veltra& veltra) {
    const struct {
        int command;
        const char* name;
        UINT message;
        WPARAM wParam;
        int button;  // the control whose handle goes with the message, or 0
    } dialogs[] = {
        {103, "About", WM_COMMAND, MAKEWPARAM(305, BN_CLICKED), 305},
        {102, "the test screen", WM_LBUTTONDBLCLK, MK_LBUTTON, 0},
        {100, "the folder picker", WM_COMMAND, IDCANCEL, 0},
    };
    for (const auto& dialog : dialogs) {
        veltra.PostCommand(dialog.command);
        const HWND window = veltra.WaitForDialog();
        ASSERT_NE(window, nullptr) << dialog.name << " did not open";
        // A click carries its point, a button's command the button's handle, any other nothing.
        LPARAM lParam = dialog.message == WM_LBUTTONDBLCLK ? MAKELPARAM(500, 400) : 0;
        if (dialog.button != 0) lParam = reinterpret_cast<LPARAM>(GetDlgItem(window, dialog.button));
        PostMessageA(window, dialog.message, dialog.wParam, lParam);
        ASSERT_TRUE(DialogCloses(veltra)) << dialog.name << " did not close";
    }
}

// The good picture (solid red, 640 x 480) alone in the middle of a black screen.
bool ScreenShowsTheGoodPicture() {
    return WaitUntil([] {
        const Screen screen = Screen::Capture();
        return ColourNear(screen.At(screen.width / 2, screen.height / 2), RGB(255, 0, 0)) &&
               ColourNear(screen.At(screen.width / 2 + 300, screen.height / 2 + 220), RGB(255, 0, 0)) &&
               ColourNear(screen.At(5, 5), RGB(0, 0, 0)) &&
               ColourNear(screen.At(screen.width - 5, screen.height - 5), RGB(0, 0, 0));
    });
}

// Steps a full-screen view from entry `start` through every entry and round to `start` again.
void StepThroughAll(const Veltra& veltra, HWND view, const std::vector<std::string>& names, int start,
                    const char* viewName) {
    const int count = static_cast<int>(names.size());
    long slowest = 0;
    int slowestIndex = start;
    const DWORD began = GetTickCount();
    for (int step = 1; step <= count; ++step) {
        const int target = (start + step) % count;
        SCOPED_TRACE(std::string(viewName) + " stepping to \"" + names[target] + "\"");
        const long milliseconds = StepViewTo(veltra, view, target);
        ASSERT_GE(milliseconds, 0);
        if (milliseconds > slowest) {
            slowest = milliseconds;
            slowestIndex = target;
        }
    }
    std::printf("%s: %d steps in %lu ms, the slowest %ld ms (\"%s\")\n", viewName, count,
                static_cast<unsigned long>(GetTickCount() - began), slowest, names[slowestIndex].c_str());
}

}  // namespace

TEST(HostileFolder, OneSessionShowsEveryFileEveryWayAnswersThroughoutAndWritesNothing) {
    FixtureFolder folder;
    std::vector<std::string> written = WriteHostileCorpus(folder);
    ASSERT_GE(written.size(), 200u);
    const FolderSnapshot before = FolderSnapshot::Take(folder.path);
    ASSERT_GE(before.entries.size(), written.size());

    Veltra veltra(folder.path);
    ASSERT_NE(veltra.main, nullptr);
    veltra.MovePointerAway();

    // Every name is listed once, the folders named as pictures too.
    const std::vector<std::string> names = veltra.ListNames();
    std::vector<std::string> listed = names;
    std::sort(listed.begin(), listed.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(listed, written);
    const int good = IndexOf(names, kGoodPicture);
    ASSERT_GE(good, 0);

    // Chosen from the list, one after another.
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE("choosing \"" + names[i] + "\" from the list");
        veltra.ChooseIndex(static_cast<int>(i));
        ASSERT_TRUE(PaintedAndAnswering(veltra, veltra.main));
    }

    // Each view opened and ended once on the good picture, so that what a view's first opening
    // sets up for good is held before the count.
    HWND viewer = OpenViewer(veltra, good);
    ASSERT_NE(viewer, nullptr) << "the viewer did not open";
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, kKeyReleased);
    ASSERT_TRUE(DialogCloses(veltra)) << "the viewer did not end";
    veltra.PostCommand(IDC_AUTO_SHOW);
    HWND show = veltra.WaitForDialog();
    ASSERT_NE(show, nullptr) << "the slide show did not open";
    PostMessageA(show, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(500, 400));
    ASSERT_TRUE(DialogCloses(veltra)) << "the slide show did not end";
    const HeldCounts early = CountHeld(veltra.process);

    // The viewer, opened on the good picture, round the whole folder and back to it.
    viewer = OpenViewer(veltra, good);
    ASSERT_NE(viewer, nullptr) << "the viewer did not open";
    StepThroughAll(veltra, viewer, names, good, "viewer");
    EXPECT_TRUE(ScreenShowsTheGoodPicture()) << "the viewer does not show the good picture again";
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, kKeyReleased);
    ASSERT_TRUE(DialogCloses(veltra)) << "the viewer did not end";

    // The slide show, advanced by left double-clicks from the good picture round to it again.
    veltra.PostCommand(IDC_AUTO_SHOW);
    show = veltra.WaitForDialog();
    ASSERT_NE(show, nullptr) << "the slide show did not open";
    StepThroughAll(veltra, show, names, good, "slide show");
    EXPECT_TRUE(ScreenShowsTheGoodPicture()) << "the slide show does not show the good picture again";
    PostMessageA(show, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(500, 400));
    ASSERT_TRUE(DialogCloses(veltra)) << "the slide show did not end";

    // Two more rounds of failed loads leave nothing behind.
    const HeldCounts late = CountHeld(veltra.process);
    std::printf("held before the rounds: %s\nheld after them:        %s\n", Describe(early).c_str(),
                Describe(late).c_str());
    ExpectNoGrowth(early, late, kLongRunAllowance);

    // About and help, the test screen and the folder picker, each opened and closed.
    ASSERT_NO_FATAL_FAILURE(OpenAndCloseTheOtherDialogs(veltra));
    EXPECT_EQ(veltra.ListNames(), names);

    veltra.PostCommand(IDC_EXIT);
    EXPECT_EQ(veltra.WaitForExit(), 0);
    EXPECT_EQ(FolderSnapshot::Differences(before, FolderSnapshot::Take(folder.path)), "");
}

namespace {

// Broken companions: made here, and from a valid sound with one header field broken (the e2e
// data). The system's wave player ended the whole process on some of those.
std::vector<std::string> BrokenCompanions() {
    std::mt19937 random(7);
    std::string noise(5000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    const std::string tone = ReadFileBytes(DataFile("Tone.WAV"));
    EXPECT_GT(tone.size(), 44u);
    // A RIFF header whose format and data chunks lie: no channels, no rate, 4 GB of data.
    std::string lying = tone.substr(0, 44) + noise.substr(0, 100);
    lying.replace(22, 2, std::string(2, '\0'));
    lying.replace(24, 4, std::string(4, '\0'));
    lying.replace(40, 4, "\xF0\xFF\xFF\xFF");
    // An MPEG layer 3 format tag over noise, for the system's decoder to chew on.
    std::string mp3 = tone.substr(0, 44) + noise;
    mp3.replace(20, 2, "\x55\x00", 2);
    std::vector<std::string> companions = {"", noise, lying, tone.substr(0, 30), mp3};
    for (const char* broken : {"zero-channels", "many-channels", "seven-bits", "zero-rate", "no-data", "cut-header",
                               "not-riff", "adpcm-block"}) {
        companions.push_back(ReadFileBytes(DataFile(std::string("bad-") + broken + ".WAV")));
    }
    return companions;
}

// Picture `index` of the broken-companion folder: a colour of its own.
COLORREF CompanionTestColour(int index) { return RGB(40 + 12 * index, 220 - 12 * index, 90); }

bool CentreShows(COLORREF colour, const POINT& centre) {
    return WaitUntil([&] { return ColourNear(Screen::Capture().At(centre.x, centre.y), colour); });
}

// Steps a full-screen view from entry 0 to `count` - 1, each picture drawn in the middle.
void StepThroughColours(const Veltra& veltra, HWND view, int count, const char* viewName) {
    const POINT middle = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    EXPECT_TRUE(CentreShows(CompanionTestColour(0), middle)) << viewName << " at entry 0";
    for (int target = 1; target < count; ++target) {
        SCOPED_TRACE(std::string(viewName) + " stepping to entry " + std::to_string(target));
        ASSERT_GE(StepViewTo(veltra, view, target), 0);
        EXPECT_TRUE(CentreShows(CompanionTestColour(target), middle)) << "not drawn";
    }
}

}  // namespace

// Chosen in the list, stepped in the viewer and in the slide show: every picture is drawn, none
// of the broken companions is played, and a good one still plays afterwards.
TEST(HostileFolder, BrokenCompanionSoundsAreSkippedAndAGoodOneStillPlays) {
    FixtureFolder folder;
    const std::vector<std::string> companions = BrokenCompanions();
    const int count = static_cast<int>(companions.size()) + 1;
    char stem[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(stem, sizeof(stem), "c%02d", i);
        folder.Write(std::string(stem) + ".bmp", SolidBmp(40, 30, CompanionTestColour(i)));
        if (i < count - 1) folder.Write(std::string(stem) + ".WAV", companions[i]);
    }
    folder.MakeFolder(std::string(stem) + ".WAV");
    folder.Write("z-good.bmp", SolidBmp(40, 30, RGB(0, 0, 200)));
    folder.CopyData("Tone.WAV", "z-good.WAV");

    Veltra veltra(folder.path);
    ASSERT_NE(veltra.main, nullptr);
    veltra.MovePointerAway();
    ASSERT_EQ(veltra.ListNames().size(), static_cast<size_t>(count + 1));
    const size_t quiet = AudioCapturedWhenQuiet();
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE("choosing entry " + std::to_string(i) + " from the list");
        veltra.ChooseIndex(i);
        ASSERT_TRUE(PaintedAndAnswering(veltra, veltra.main));
        EXPECT_TRUE(WaitUntil([&] { return ColourNear(CaptureClient(veltra).At(195, 176), CompanionTestColour(i)); }))
            << "not drawn";
    }
    HWND view = OpenViewer(veltra, 0);
    ASSERT_NE(view, nullptr) << "the viewer did not open";
    ASSERT_NO_FATAL_FAILURE(StepThroughColours(veltra, view, count, "viewer"));
    PostMessageA(view, WM_KEYUP, VK_ESCAPE, kKeyReleased);
    ASSERT_TRUE(DialogCloses(veltra)) << "the viewer did not end";
    // The show begins at the selected picture.
    veltra.ChooseIndex(0);
    veltra.PostCommand(IDC_AUTO_SHOW);
    view = veltra.WaitForDialog();
    ASSERT_NE(view, nullptr) << "the slide show did not open";
    ASSERT_NO_FATAL_FAILURE(StepThroughColours(veltra, view, count, "slide show"));
    PostMessageA(view, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(500, 400));
    ASSERT_TRUE(DialogCloses(veltra)) << "the slide show did not end";
    EXPECT_EQ(Audible(AudioSince(quiet)).size(), 0u) << "a broken companion was played";

    // The sound device is not wedged: the good companion plays in full.
    const std::string expected = Audible(ReadFileBytes(DataFile("Tone.raw")));
    const size_t offset = AudioCaptured();
    veltra.Choose("z-good.bmp");
    EXPECT_TRUE(WaitUntil([&] { return Audible(AudioSince(offset)).find(expected) != std::string::npos; }, 20000))
        << "the good companion did not play; " << AudioCaptured() - offset << " bytes were captured";
    EXPECT_TRUE(Answers(veltra));
}

// A file that could not be shown is tried again once it can be read, or once it has changed.
TEST(HostileFolder, AFailedPictureShowsOnceItIsNoLongerLockedOrHasBeenRepaired) {
    FixtureFolder folder;
    folder.CopyData("red640x480.jpg", "locked.jpg");
    // A JPEG cut short: Wine's GDI+ lets go of a JPEG it cannot decode, so the file can be rewritten.
    const std::string beach = ReadFileBytes(DataFile("Beach.jpg"));
    folder.Write("repaired.jpg", beach.substr(0, beach.size() / 2));
    folder.Write("other.bmp", SolidBmp(64, 48, RGB(0, 255, 0)));
    // Held open with no sharing, as a program still writing it would.
    HANDLE lock = CreateFileA(folder.Path("locked.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    Veltra veltra(folder.path);
    ASSERT_NE(veltra.main, nullptr);
    veltra.MovePointerAway();
    // The middle of the preview box once the choice has been drawn and the window repainted.
    auto shownAfterChoosing = [&](const char* name) {
        veltra.Choose(name);
        veltra.Repaint();
        return CaptureClient(veltra).At(195, 176);
    };
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_TRUE(ColourNear(shownAfterChoosing("other.bmp"), RGB(0, 255, 0)));
    EXPECT_TRUE(ColourNear(shownAfterChoosing("locked.jpg"), black)) << "a locked file showed";
    EXPECT_TRUE(ColourNear(shownAfterChoosing("locked.jpg"), black)) << "a locked file showed";
    CloseHandle(lock);
    EXPECT_TRUE(ColourNear(shownAfterChoosing("locked.jpg"), RGB(255, 0, 0))) << "the released file stays unshown";

    EXPECT_TRUE(ColourNear(shownAfterChoosing("repaired.jpg"), black)) << "a broken file showed";
    EXPECT_TRUE(ColourNear(shownAfterChoosing("repaired.jpg"), black)) << "a broken file showed";
    folder.Write("repaired.jpg", beach);
    // The middle of the beach gradient.
    EXPECT_TRUE(ColourNear(shownAfterChoosing("repaired.jpg"), RGB(0x88, 0x98, 0xA8), 16))
        << "the repaired file stays unshown";
}
