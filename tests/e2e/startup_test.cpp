// Start-up, the main window's controls and commands, and the folder listing.
#include "harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>

using namespace e2e;

namespace {

const char* const kTooltipTexts[] = {"Folders", "Auto-Show", "Test Screen", "About / Help", "Minimize", "Exit"};

RECT ChildRect(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND FindTooltips(const Veltra& veltra) {
    return FindProcessWindow(veltra.process.dwProcessId, TOOLTIPS_CLASSA, false);
}

std::vector<std::string> TooltipTexts(const Veltra& veltra, HWND tooltips) {
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(tooltips, TTM_GETTOOLCOUNT, 0, 0));
    RemoteBuffer remote(veltra.process.hProcess, sizeof(TOOLINFOA) + 256);
    for (int i = 0; i < count; ++i) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        remote.Write(&tool, sizeof(tool));
        SendMessageA(tooltips, TTM_ENUMTOOLSA, i, remote.Address());
        remote.Read(&tool, sizeof(tool));
        tool.lpszText = reinterpret_cast<LPSTR>(remote.Address(sizeof(TOOLINFOA)));
        remote.Write(&tool, sizeof(tool));
        SendMessageA(tooltips, TTM_GETTEXTA, 256, remote.Address());
        char text[256] = {};
        remote.Read(text, sizeof(text) - 1, sizeof(TOOLINFOA));
        EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
        EXPECT_EQ(GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId)), 100 + i);
        texts.push_back(text);
    }
    return texts;
}

}  // namespace

TEST(Startup, WindowIsCentredRoundedAndHoldsItsControls) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    ASSERT_NE(veltra.main, nullptr);

    char text[64] = {};
    GetClassNameA(veltra.main, text, sizeof(text));
    EXPECT_STREQ(text, "VELTRA");
    GetWindowTextA(veltra.main, text, sizeof(text));
    EXPECT_STREQ(text, "VELTRA");

    const RECT frame = veltra.Frame();
    EXPECT_EQ(frame.right - frame.left, 391);
    EXPECT_EQ(frame.bottom - frame.top, 425);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 391) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 425) / 2);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(veltra.main, region), ERROR);
    EXPECT_TRUE(PtInRegion(region, 195, 212));
    EXPECT_TRUE(PtInRegion(region, 10, 200));
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "top-left corner is rounded off";
    EXPECT_FALSE(PtInRegion(region, 389, 423)) << "bottom-right corner is rounded off";
    EXPECT_FALSE(PtInRegion(region, 390, 200)) << "the region leaves out the right edge";
    DeleteObject(region);

    for (int i = 0; i < 6; ++i) {
        HWND button = GetDlgItem(veltra.main, IDC_FIRST_BUTTON + i);
        ASSERT_NE(button, nullptr) << "button " << 100 + i;
        const RECT r = ChildRect(veltra.main, button);
        EXPECT_EQ(r.left, 254 + 20 * i);
        EXPECT_EQ(r.top, 16);
        EXPECT_EQ(r.right - r.left, 16);
        EXPECT_EQ(r.bottom - r.top, 16);
        EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & 0x0F, BS_OWNERDRAW);
    }

    ASSERT_NE(veltra.list, nullptr);
    const RECT list = ChildRect(veltra.main, veltra.list);
    EXPECT_EQ(list.left, 32);
    EXPECT_EQ(list.top, 320);
    EXPECT_EQ(list.right - list.left, 325);
    EXPECT_EQ(list.bottom - list.top, 82);
    const LONG listStyle = GetWindowLongA(veltra.list, GWL_STYLE);
    EXPECT_TRUE(listStyle & LBS_SORT);
    EXPECT_TRUE(listStyle & LBS_NOTIFY);

    HWND tooltips = FindTooltips(veltra);
    ASSERT_NE(tooltips, nullptr);
    EXPECT_TRUE(GetWindowLongA(tooltips, GWL_STYLE) & TTS_BALLOON);
    const std::vector<std::string> texts = TooltipTexts(veltra, tooltips);
    ASSERT_EQ(texts.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(texts[i], kTooltipTexts[i]);
}

TEST(Startup, PointerRestsOnTheFoldersButton) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    POINT pointer;
    GetCursorPos(&pointer);
    const RECT frame = veltra.Frame();
    EXPECT_EQ(pointer.x, frame.left + 262);
    EXPECT_EQ(pointer.y, frame.top + 24);
}

TEST(Startup, SecondCopyEndsAtOnceAndLeavesTheFirstAlone) {
    FixtureFolder folder;
    folder.Write("one.jpg", "x");
    Veltra first(folder.path);
    const RECT before = first.Frame();

    Veltra second(folder.path, nullptr, Launch::Started);
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_EQ(FindProcessWindow(second.process.dwProcessId, "VELTRA", false), nullptr);

    EXPECT_TRUE(first.Running());
    EXPECT_EQ(FindWindowA("VELTRA", nullptr), first.main);
    const RECT after = first.Frame();
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(first.ListNames(), std::vector<std::string>{"one.jpg"});
}

TEST(Startup, TopStripIsACaptionButItsButtonsStayButtons) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    const RECT frame = veltra.Frame();
    auto hit = [&](int x, int y) {
        return SendMessageA(veltra.main, WM_NCHITTEST, 0, MAKELPARAM(frame.left + x, frame.top + y));
    };
    EXPECT_EQ(hit(100, 20), HTCAPTION);
    EXPECT_EQ(hit(1, 1), HTCAPTION);
    EXPECT_EQ(hit(389, 37), HTCAPTION);
    EXPECT_EQ(hit(100, 38), HTCLIENT);
    EXPECT_EQ(hit(0, 20), HTCLIENT);
    EXPECT_EQ(hit(390, 20), HTCLIENT);
    EXPECT_EQ(hit(200, 200), HTCLIENT);

    // The pointer over a button finds the button, not the caption beneath it.
    POINT onButton = {frame.left + 262, frame.top + 24};
    EXPECT_EQ(WindowFromPoint(onButton), GetDlgItem(veltra.main, IDC_FOLDERS));
}

TEST(Startup, DraggingTheTopStripMovesTheWindow) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    const RECT before = veltra.Frame();
    INPUT input = {};
    input.type = INPUT_MOUSE;
    SetCursorPos(before.left + 150, before.top + 25);
    Sleep(400);
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof(input));
    Sleep(400);
    for (int step = 1; step <= 10; ++step) {
        SetCursorPos(before.left + 150 + 5 * step, before.top + 25 + 3 * step);
        Sleep(40);
    }
    Sleep(300);
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
    ASSERT_TRUE(WaitUntil([&] { return veltra.Frame().left != before.left; }, 3000));
    const RECT after = veltra.Frame();
    EXPECT_EQ(after.left - before.left, 50);
    EXPECT_EQ(after.top - before.top, 30);
}

TEST(Listing, ListsExactlyThePictureNamesSorted) {
    FixtureFolder folder;
    for (const char* name : {"A.JPG", "b.jpg", "c.Jpg", "d.jpeg", "e.tiff", "f.bmpx", "archive.tar.pcx", "README",
                             "a.b.psd", "x.TIF", "notes.txt", ".jpg"}) {
        folder.Write(name, "not really a picture");
    }
    folder.MakeFolder("holiday.jpg");
    folder.MakeFolder("trip");
    Veltra veltra(folder.path);

    const std::vector<std::string> names = veltra.ListNames();
    const std::set<std::string> expected = {"A.JPG",           "b.jpg",   "c.Jpg", "e.tiff", "f.bmpx",
                                            "archive.tar.pcx", "a.b.psd", "x.TIF", ".jpg",   "holiday.jpg"};
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    EXPECT_EQ(names.size(), expected.size());
    for (size_t i = 1; i < names.size(); ++i) {
        EXPECT_LE(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, names[i - 1].c_str(), -1, names[i].c_str(), -1),
                  CSTR_EQUAL)
            << names[i - 1] << " before " << names[i];
    }
    EXPECT_EQ(veltra.Selection(), LB_ERR);
}

TEST(Listing, EmptyFolderGivesAnEmptyList) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    EXPECT_TRUE(veltra.ListNames().empty());
}

TEST(Commands, MinimizeMinimises) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    veltra.PostCommand(IDC_MINIMIZE);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(veltra.main) != FALSE; }));
    EXPECT_TRUE(veltra.Running());
}

TEST(Commands, ExitCloseAndAltF4EndTheProgramWithCodeZero) {
    FixtureFolder folder;
    {
        Veltra veltra(folder.path);
        veltra.PostCommand(IDC_EXIT);
        EXPECT_EQ(veltra.WaitForExit(), 0);
    }
    {
        Veltra veltra(folder.path);
        PostMessageA(veltra.main, WM_CLOSE, 0, 0);
        EXPECT_EQ(veltra.WaitForExit(), 0);
    }
    {
        Veltra veltra(folder.path);
        // Alt held (context bit 29): the system menu's Close, as the keyboard gives it.
        PostMessageA(veltra.main, WM_SYSKEYDOWN, VK_F4, 0x20000001);
        EXPECT_EQ(veltra.WaitForExit(), 0);
    }
}

TEST(Commands, PressedButtonShowsItsPressedBitmap) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    VeltraResources resources;
    for (int i = 0; i < 6; ++i) {
        HWND button = GetDlgItem(veltra.main, IDC_FIRST_BUTTON + i);
        const POINT origin = veltra.ToScreen(kButtonLeft + kButtonPitch * i, kButtonTop);
        const Screen normal = resources.Bitmap(kButtonBitmapNames[0][i]);
        const Screen pressed = resources.Bitmap(kButtonBitmapNames[1][i]);

        SendMessageA(button, BM_SETSTATE, TRUE, 0);
        veltra.Sync();
        Screen down = Screen::Capture();
        SendMessageA(button, BM_SETSTATE, FALSE, 0);
        veltra.Sync();
        Screen up = Screen::Capture();

        int mismatches = 0;
        int imagesDiffer = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const COLORREF pressedPixel = pressed.At(x, y);
                const COLORREF normalPixel = normal.At(x, y);
                mismatches += down.At(origin.x + x, origin.y + y) != pressedPixel;
                mismatches += up.At(origin.x + x, origin.y + y) != normalPixel;
                imagesDiffer += pressedPixel != normalPixel;
            }
        }
        EXPECT_EQ(mismatches, 0) << "button " << i + 1;
        // Otherwise the comparison above could not tell the two states apart.
        EXPECT_GT(imagesDiffer, 0) << "button " << i + 1;
    }
    EXPECT_TRUE(veltra.Running());
}
