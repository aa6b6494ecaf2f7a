// The full-screen viewer, its dialog template, and how a dialog that cannot be created is reported.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <thread>

#include "app/main_window.h"
#include "app/state.h"
#include "dialog_template.h"
#include "full_screen_support.h"
#include "harness.h"

using namespace e2e;

namespace {

// Solid pictures in colours far from black and from one another.
constexpr COLORREF kRed = RGB(200, 40, 40);
constexpr COLORREF kGreen = RGB(40, 180, 60);
constexpr COLORREF kBlue = RGB(50, 80, 220);

// On MainWindow's skin, below the drag strip and outside the list (as OpenViewer double-clicks).
const LPARAM kOnTheSkin = MAKELPARAM(20, 310);
const LPARAM kSomewhereOnTheScreen = MAKELPARAM(700, 100);

struct Picture {
    const char* name;
    int width;
    int height;
    COLORREF colour;
    RECT onScreen;               // where it belongs on the 1024 x 768 test screen
    const char* data = nullptr;  // the test data to copy instead of a solid BMP
};

// Named in several scripts; the leading letter keeps the list's order plain.
const Picture kNormal = {"a \u65E5\u672C\u306E\u5199\u771F.bmp", 640, 480, kRed, {192, 144, 832, 624}};  // 日本の写真
const Picture kWide = {"b \u0141\u00F3d\u017A noc\u0105.bmp", 3000, 1000, kGreen, {0, 213, 1024, 554}};  // Łódź nocą
const Picture kTall = {"c \U0001F4F7.bmp", 1000, 3000, kBlue, {384, 0, 640, 768}};                       // 📷
const Picture kSmall[] = {
    {"a.bmp", 320, 240, kRed, {352, 264, 672, 504}},
    {"b.bmp", 320, 240, kGreen, {352, 264, 672, 504}},
    {"c.bmp", 320, 240, kBlue, {352, 264, 672, 504}},
};

void WritePictures(const FixtureFolder& folder, std::initializer_list<Picture> pictures) {
    for (const Picture& picture : pictures) {
        if (picture.data != nullptr) {
            folder.CopyData(picture.data, picture.name);
        } else {
            folder.Write(picture.name, SolidBmp(picture.width, picture.height, picture.colour));
        }
    }
}

void ExpectShown(const Picture& picture) {
    std::string faults;
    EXPECT_TRUE(WaitForLonePicture(picture.onScreen, picture.colour, &faults)) << picture.name << ": " << faults;
}

void Step(const Veltra& veltra, HWND viewer, UINT doubleClick, int expectedSelection, const Picture& expected) {
    SCOPED_TRACE(std::string(doubleClick == WM_LBUTTONDBLCLK ? "forward" : "backward") + " to " + expected.name);
    PostMessageA(viewer, doubleClick, doubleClick == WM_LBUTTONDBLCLK ? MK_LBUTTON : MK_RBUTTON, kSomewhereOnTheScreen);
    EXPECT_TRUE(WaitUntil([&] { return veltra.Selection() == expectedSelection; })) << veltra.Selection();
    ExpectShown(expected);
}

// The viewer opened on `picture`, shown; null when it did not open.
HWND OpenViewerOn(const Veltra& veltra, const Picture& picture) {
    veltra.Choose(picture.name);
    HWND viewer = OpenViewer(veltra);
    if (viewer != nullptr) ExpectShown(picture);
    return viewer;
}

void EndViewer(HWND viewer) {
    PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, kKeyReleased);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(viewer); })) << "the release of Escape did not end the viewer";
}

// Opens the viewer on the first of three pictures, steps forward round the list and back again.
// Each step from a larger picture to a smaller one must leave the rest of the screen black.
void ExpectFittedWhileStepping(const Picture (&pictures)[3], int screenWidth, int screenHeight) {
    FixtureFolder folder;
    WritePictures(folder, {pictures[0], pictures[1], pictures[2]});
    Veltra veltra(folder.path);
    veltra.Choose(pictures[0].name);
    HWND viewer = OpenViewer(veltra);
    ASSERT_NE(viewer, nullptr);
    RECT client;
    GetClientRect(viewer, &client);
    EXPECT_EQ(client.right, screenWidth);
    EXPECT_EQ(client.bottom, screenHeight);
    ExpectShown(pictures[0]);
    for (int i : {1, 2, 0}) Step(veltra, viewer, WM_LBUTTONDBLCLK, i, pictures[i]);
    for (int i : {2, 1, 0}) Step(veltra, viewer, WM_RBUTTONDBLCLK, i, pictures[i]);
    EndViewer(viewer);
}

}  // namespace

TEST(Viewer, OpensOnADoubleClickOnlyOnceAPictureIsShownAndCoversTheScreen) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), kTestScreenWidth);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), kTestScreenHeight);
    FixtureFolder folder;
    WritePictures(folder, {kNormal, kWide});
    Veltra veltra(folder.path);

    PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, kOnTheSkin);
    ASSERT_TRUE(veltra.SyncPosted());
    EXPECT_EQ(FindProcessWindow(veltra.process.dwProcessId, "#32770", false), nullptr)
        << "the viewer opened with no picture shown";

    veltra.Choose(kNormal.name);
    HWND viewer = OpenViewer(veltra);
    ASSERT_NE(viewer, nullptr);
    RECT frame, client;
    GetWindowRect(viewer, &frame);
    GetClientRect(viewer, &client);
    const RECT screen = {0, 0, kTestScreenWidth, kTestScreenHeight};
    EXPECT_TRUE(EqualRect(&frame, &screen))
        << frame.left << "," << frame.top << " " << frame.right << "," << frame.bottom;
    EXPECT_TRUE(EqualRect(&client, &screen)) << "the viewer has a border or caption";
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), veltra.main);
    EXPECT_FALSE(IsWindowEnabled(veltra.main)) << "the viewer is not modal";
    EXPECT_TRUE(PointerShowing()) << "the viewer keeps the pointer";
    ExpectShown(kNormal);
    EXPECT_EQ(veltra.Selection(), 0);

    EndViewer(viewer);
    EXPECT_TRUE(IsWindowEnabled(veltra.main));
}

TEST(Viewer, FitsEachPictureToTheScreenAndStepsBothWaysWithWrap) {
    const Picture pictures[] = {kNormal, kWide, kTall};
    ExpectFittedWhileStepping(pictures, kTestScreenWidth, kTestScreenHeight);
}

// Fitted sides that are whole quotients, which the rule in doubles truncates to the width in the
// name (extended precision: one more or less); on the screen, exactly there and not a pixel wider.
TEST(Viewer, WholeQuotientsFillExactlyTheRuleRectangle) {
    const Picture pictures[] = {
        {"a480 of 520x832.bmp", 520, 832, kRed, {272, 0, 752, 768}},
        {"b479 of 515x824.bmp", 515, 824, kGreen, {272, 0, 751, 768}},
        {"c449 of 525x896.bmp", 525, 896, kBlue, {287, 0, 736, 768}},
    };
    ExpectFittedWhileStepping(pictures, kTestScreenWidth, kTestScreenHeight);
}

// An 800 x 600 screen, run_e2e.sh's pass for it: a 2048 x 1536 camera photo stored a quarter
// turned (test data) is 1536 x 2048 upright and 449 wide there.
TEST(SmallScreen, ViewerFillsExactlyTheRuleRectangle) {
    const Picture pictures[] = {
        {"a449 of 1536x2048.jpg", 0, 0, kBlue, {175, 0, 624, 600}, "turned-blue1536x2048.jpg"},
        {"b200 of 403x1209.bmp", 403, 1209, kRed, {300, 0, 500, 600}},
        {"c249 of 405x972.bmp", 405, 972, kGreen, {275, 0, 524, 600}},
    };
    ExpectFittedWhileStepping(pictures, 800, 600);
}

// A display scaled to 200 %: 2560 x 1600 pixels at 192 DPI, run_e2e.sh's last pass. A view left
// DPI-unaware would be told 1280 x 800 there and be stretched by the system.
constexpr int kScaledWidth = 2560;
constexpr int kScaledHeight = 1600;
const Picture kOnScaled[] = {
    {"a.bmp", 2000, 1000, kRed, {280, 300, 2280, 1300}},   // wider than 1280, yet drawn unscaled
    {"b.bmp", 1280, 800, kGreen, {640, 400, 1920, 1200}},  // a quarter of the screen, not all of it
    {"c.bmp", 3840, 1200, kBlue, {0, 400, 2560, 1200}},    // scaled down to the real width
};

TEST(ScaledDisplay, ViewerCoversTheRealPixelsAndFitsPicturesToThem) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 192);
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), kScaledWidth);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), kScaledHeight);
    ExpectFittedWhileStepping(kOnScaled, kScaledWidth, kScaledHeight);
}

TEST(Viewer, WithNothingSelectedStepsToTheFirstOrTheLastEntry) {
    FixtureFolder folder;
    WritePictures(folder, {kSmall[0], kSmall[1], kSmall[2]});
    Veltra veltra(folder.path);
    HWND viewer = OpenViewerOn(veltra, kSmall[1]);
    ASSERT_NE(viewer, nullptr);

    SendMessageA(veltra.list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Step(veltra, viewer, WM_LBUTTONDBLCLK, 0, kSmall[0]);
    SendMessageA(veltra.list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Step(veltra, viewer, WM_RBUTTONDBLCLK, 2, kSmall[2]);
    EndViewer(viewer);
}

TEST(Viewer, WithOneEntryDoubleClicksChangeNothingAndTheSoundIsNotRestarted) {
    FixtureFolder folder;
    WritePictures(folder, {kNormal});
    const std::string name = kNormal.name;
    folder.CopyData("Beach.WAV", name.substr(0, name.rfind('.')) + ".WAV");
    const std::string sound = ReadFileBytes(DataFile("Beach.raw"));
    Veltra veltra(folder.path);

    const size_t offset = AudioCaptured();
    veltra.Choose(kNormal.name);
    ASSERT_TRUE(WaitForOnePlay(offset, sound)) << AudioCaptured() - offset << " bytes captured";
    HWND viewer = OpenViewer(veltra);
    ASSERT_NE(viewer, nullptr);
    ExpectShown(kNormal);

    for (UINT doubleClick : {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_LBUTTONDBLCLK}) {
        PostMessageA(viewer, doubleClick, 0, kSomewhereOnTheScreen);
    }
    ASSERT_TRUE(veltra.SyncPosted());
    // A restarted sound would reach the capture file well within this time (measured ~0.2 s).
    Sleep(1000);
    EXPECT_EQ(Audible(AudioSince(offset)), Audible(sound)) << "opening the viewer or a double-click replayed the sound";
    EXPECT_EQ(veltra.Selection(), 0);
    EXPECT_TRUE(IsWindowVisible(viewer));
    EXPECT_EQ(PictureFaults(Screen::Capture(), kNormal.onScreen, kNormal.colour), "");
    EndViewer(viewer);
}

namespace {

// What happens to a neighbour's file once it has had time to be decoded ahead, and what the step
// to it must show then: what the file holds at the step, or (null) still the picture before.
struct FileChange {
    const char* what;
    UINT doubleClick;  // forward from a.bmp to b.bmp, or backward to c.bmp
    void (*change)(const FixtureFolder& folder, const std::string& name);
    const Picture* shown;
};

const Picture kReplaced = {"b.bmp", 640, 480, RGB(230, 200, 50), {192, 144, 832, 624}};
const Picture kGrown = {"c.bmp", 800, 600, kBlue, {112, 84, 912, 684}};

const FileChange kFileChanges[] = {
    {"unchanged", WM_LBUTTONDBLCLK, [](const FixtureFolder&, const std::string&) {}, &kSmall[1]},
    {"replaced by another picture", WM_LBUTTONDBLCLK,
     [](const FixtureFolder& folder, const std::string& name) {
         folder.Write(name, SolidBmp(kReplaced.width, kReplaced.height, kReplaced.colour));
     },
     &kReplaced},
    {"grown", WM_RBUTTONDBLCLK,
     [](const FixtureFolder& folder, const std::string& name) {
         folder.Write(name, SolidBmp(kGrown.width, kGrown.height, kGrown.colour));
     },
     &kGrown},
    {"deleted", WM_LBUTTONDBLCLK, [](const FixtureFolder& folder, const std::string& name) { folder.Remove(name); },
     nullptr},
    {"made undecodable", WM_RBUTTONDBLCLK,
     [](const FixtureFolder& folder, const std::string& name) { folder.Write(name, "no picture in here"); }, nullptr},
};

}  // namespace

// The viewer decodes both neighbours ahead; a step still shows what the file holds at the step.
TEST(Viewer, AStepShowsWhatTheFileHoldsAtTheStepThoughItChangedAfterDecodingAhead) {
    for (const FileChange& change : kFileChanges) {
        SCOPED_TRACE(change.what);
        FixtureFolder folder;
        WritePictures(folder, {kSmall[0], kSmall[1], kSmall[2]});
        Veltra veltra(folder.path);
        HWND viewer = OpenViewerOn(veltra, kSmall[0]);
        ASSERT_NE(viewer, nullptr);
        Sleep(500);  // pictures this small are decoded ahead in a few milliseconds
        const int target = change.doubleClick == WM_LBUTTONDBLCLK ? 1 : 2;
        change.change(folder, kSmall[target].name);
        if (change.shown != nullptr) {
            Step(veltra, viewer, change.doubleClick, target, *change.shown);
        } else {
            PostMessageA(viewer, change.doubleClick, 0, kSomewhereOnTheScreen);
            EXPECT_TRUE(WaitUntil([&] { return veltra.Selection() == target; }));
            ASSERT_TRUE(veltra.SyncPosted());
            Sleep(500);  // room for a repaint, which must not show the picture decoded ahead
            EXPECT_EQ(PictureFaults(Screen::Capture(), kSmall[0].onScreen, kSmall[0].colour), "");
        }
        EndViewer(viewer);
    }
}

// The release of Escape ends the viewer at once, also while a step waits for its picture, a
// JPEG of noise (about a second's work) still being decoded ahead; the program carries on, and
// ends at once too while it decodes such a picture.
TEST(Viewer, EndsAtOnceWhileThePictureItStepsToIsStillBeingDecoded) {
    for (bool stepFirst : {false, true}) {
        SCOPED_TRACE(stepFirst ? "a step waits for the picture" : "no step");
        FixtureFolder folder;
        WritePictures(folder, {kSmall[0]});
        folder.CopyData("noise96mp.jpg", "b.jpg");
        Veltra veltra(folder.path);
        HWND viewer = OpenViewerOn(veltra, kSmall[0]);
        ASSERT_NE(viewer, nullptr);
        if (stepFirst) PostMessageA(viewer, WM_LBUTTONDBLCLK, MK_LBUTTON, kSomewhereOnTheScreen);
        const DWORD start = GetTickCount();
        PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, kKeyReleased);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(viewer); }));
        EXPECT_LT(GetTickCount() - start, 500u) << "the viewer ended only once the picture was decoded";
        ASSERT_TRUE(veltra.Sync(30000));
        EXPECT_TRUE(IsWindowEnabled(veltra.main));
        veltra.Choose("b.jpg");
        ASSERT_TRUE(veltra.Sync(30000));
        const DWORD exiting = GetTickCount();
        veltra.PostCommand(IDC_EXIT);
        EXPECT_EQ(veltra.WaitForExit(10000), 0);
        EXPECT_LT(GetTickCount() - exiting, 1000u) << "the end waited for a decode ahead";
    }
}

TEST(Viewer, OnlyTheReleaseOfEscapeEndsItAndTheLastPictureStaysChosen) {
    FixtureFolder folder;
    WritePictures(folder, {kSmall[0], kSmall[1]});
    Veltra veltra(folder.path);
    veltra.Choose(kSmall[0].name);
    HWND viewer = OpenViewer(veltra);
    ASSERT_NE(viewer, nullptr);
    Step(veltra, viewer, WM_LBUTTONDBLCLK, 1, kSmall[1]);

    PostHarmlessInput(viewer);
    ASSERT_TRUE(veltra.SyncPosted());
    EXPECT_TRUE(IsWindowVisible(viewer)) << "a key, a click, a close request or IDCANCEL ended the viewer";
    EXPECT_EQ(veltra.Selection(), 1);
    EXPECT_EQ(PictureFaults(Screen::Capture(), kSmall[1].onScreen, kSmall[1].colour), "");

    EndViewer(viewer);
    EXPECT_TRUE(veltra.Running());
    EXPECT_TRUE(IsWindowEnabled(veltra.main));
    EXPECT_EQ(veltra.Selection(), 1);
    veltra.Repaint();
    EXPECT_EQ(PictureFaults(Screen::Capture(), PreviewOnScreen(veltra), kSmall[1].colour, false), "")
        << "the preview does not show the picture last stepped to";
}

namespace {

INT_PTR CALLBACK NeverCreated(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct MessageBoxSeen {
    bool found = false;
    HWND owner = nullptr;
    std::string caption;
    std::vector<std::string> statics;
    std::vector<std::string> buttons;
};

// Runs on a thread of its own while the test's thread sits in the message box's modal loop.
void ReadAndCloseMessageBox(MessageBoxSeen* seen) {
    HWND box = nullptr;
    seen->found =
        WaitUntil([&] { return (box = FindProcessWindow(GetCurrentProcessId(), "#32770", true)) != nullptr; }, 10000);
    if (!seen->found) return;
    seen->owner = GetWindow(box, GW_OWNER);
    char caption[256] = {};
    GetWindowTextA(box, caption, sizeof(caption));
    seen->caption = caption;
    for (HWND child : ChildWindows(box)) {
        char text[256] = {};
        GetWindowTextA(child, text, sizeof(text));
        if (HasClass(child, "Static") && text[0] != '\0') seen->statics.push_back(text);
        if (HasClass(child, "Button")) seen->buttons.push_back(text);
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

// The program's own LaunchDialog, linked into this test program, with a template nobody has.
TEST(DialogLaunch, ADialogThatCannotBeCreatedIsReportedAndTheProgramGoesOn) {
    Instance = GetModuleHandleA(nullptr);
    MainWindow = CreateWindowExA(0, "STATIC", "stand-in main window", WS_POPUP | WS_VISIBLE, 10, 10, 100, 50, nullptr,
                                 nullptr, Instance, nullptr);
    ASSERT_NE(MainWindow, nullptr);

    MessageBoxSeen seen;
    std::thread reader(ReadAndCloseMessageBox, &seen);
    LaunchDialog("NOSUCHBOX", NeverCreated);
    reader.join();

    ASSERT_TRUE(seen.found) << "no message box appeared";
    EXPECT_EQ(seen.caption, "System Error");
    EXPECT_EQ(seen.statics, std::vector<std::string>{"UNABLE TO PROCEED"});
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(seen.owner, MainWindow);
    // LaunchDialog came back once the box was closed, and its owner works again.
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(FindProcessWindow(GetCurrentProcessId(), "#32770", false), nullptr);

    DestroyWindow(MainWindow);
    MainWindow = nullptr;
    Instance = nullptr;
}

TEST(ViewerTemplate, ScnboxIsAClassicBorderlessPopupWithNoControls) {
    VeltraResources resources;
    EXPECT_NE(FindResourceExA(resources.module, RT_DIALOG, "SCNBOX", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
              nullptr)
        << "SCNBOX is not in English (United States)";
    const std::string raw = resources.Raw("SCNBOX", RT_DIALOG);
    ASSERT_GE(raw.size(), sizeof(DLGTEMPLATE));
    DLGTEMPLATE header;
    std::memcpy(&header, raw.data(), sizeof(header));
    // An extended template starts with version 1 and the signature 0xFFFF.
    EXPECT_FALSE(LOWORD(header.style) == 1 && HIWORD(header.style) == 0xFFFF) << "extended template";
    EXPECT_EQ(header.style, 0x80000040u);
    EXPECT_EQ(header.dwExtendedStyle, 0u);
    EXPECT_EQ(header.cdit, 0);
    EXPECT_EQ(header.x, 0);
    EXPECT_EQ(header.y, 0);
    EXPECT_EQ(header.cx, 186);
    EXPECT_EQ(header.cy, 90);

    TemplateReader in{raw, sizeof(DLGTEMPLATE)};
    EXPECT_EQ(in.TextOrOrdinal(), "") << "menu";
    EXPECT_EQ(in.TextOrOrdinal(), "") << "window class";
    EXPECT_EQ(in.Text(), "") << "title";
    EXPECT_EQ(in.Next<WORD>(), 8) << "point size";
    EXPECT_EQ(in.Text(), "MS Sans Serif");
}
