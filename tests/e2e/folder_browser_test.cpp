// The Folders command: the shell's folder picker over MainWindow, with the list following the
// picker's selection while it is open. The picker is driven through its tree view, as a user's
// clicks would move it.
#include "harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <winternl.h>

#include <algorithm>
#include <fstream>

using namespace e2e;

namespace {

const char kPickerTitle[] = "Locate Folder with Pictures or Photos that You\nWant to See, Open the Folder and Click Ok";
// Wine's names for the shell's computer node and for a drive without a label.
const char kComputerNode[] = "My Computer";
const char kDriveC[] = "(C:)";

// Where the picker's callback has put the process, read from the process's own parameter block
// (the test program has the bitness of the program it drives, so its own layout is the one).
std::string CurrentDirectoryOf(const Veltra& veltra) {
    constexpr bool kWide = sizeof(void*) == 8;
    constexpr size_t kParametersInPeb = kWide ? 0x20 : 0x10;
    constexpr size_t kCurrentDirectoryInParameters = kWide ? 0x38 : 0x24;
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    EXPECT_TRUE(query != nullptr &&
                query(veltra.process.hProcess, ProcessBasicInformation, &basic, sizeof(basic), nullptr) == 0);
    const auto read = [&](const void* at, void* into, size_t size) {
        ReadProcessMemory(veltra.process.hProcess, at, into, size, nullptr);
    };
    char* parameters = nullptr;
    UNICODE_STRING path = {};
    read(reinterpret_cast<char*>(basic.PebBaseAddress) + kParametersInPeb, &parameters, sizeof(parameters));
    read(parameters + kCurrentDirectoryInParameters, &path, sizeof(path));
    WCHAR wide[2 * MAX_PATH] = {};
    read(path.Buffer, wide, std::min<size_t>(path.Length, sizeof(wide) - sizeof(WCHAR)));
    return Narrow(wide);
}

// Waits until the list shows exactly `expected` (in the list's sorted order).
void ExpectListSoon(const Veltra& veltra, const std::vector<std::string>& expected, const char* when) {
    WaitUntil([&] { return veltra.ListNames() == expected; });
    EXPECT_EQ(veltra.ListNames(), expected) << when;
}

// Wine's picker finds the folder to pre-select by comparing item identifiers byte for byte, and
// they hold each folder's last-access time. A folder read for the first time since it last
// changed gets a new access time, so a folder that was just made could be missed at random.
// Reading the current folder and its ancestors once beforehand settles their access times.
void SettleAccessTimes(const std::string& folder) {
    for (size_t end = folder.find('\\'); end != std::string::npos; end = folder.find('\\', end + 1)) {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW(Widen(folder.substr(0, end) + "\\*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) continue;
        while (FindNextFileW(search, &entry)) {
        }
        FindClose(search);
    }
}

enum class Closing { Ok, Cancel, Escape, CloseMessage, CloseBox };

// One run of the folder picker, opened with the Folders command (cancelled if a test leaves it open).
struct Picker {
    explicit Picker(const Veltra& program) : veltra(program), remote(program.process.hProcess, 4096) {
        SettleAccessTimes(CurrentDirectoryOf(veltra));
        // Posted: the command returns only when the modal picker closes.
        veltra.PostCommand(IDC_FOLDERS);
        window = veltra.WaitForDialog();
        EXPECT_NE(window, nullptr) << "the folder picker did not open";
        tree = FindWindowExA(window, nullptr, WC_TREEVIEWA, nullptr);
        EXPECT_NE(tree, nullptr) << "the picker has no folder tree";
        veltra.Sync();
    }
    ~Picker() {
        if (IsWindow(window)) Close(Closing::Cancel);
    }
    Picker(const Picker&) = delete;
    Picker& operator=(const Picker&) = delete;

    HTREEITEM Next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Selected() const { return Next(nullptr, TVGN_CARET); }
    std::string Text(HTREEITEM item) const {
        constexpr int kTextSize = 1024;
        TVITEMW query = {};
        query.mask = TVIF_HANDLE | TVIF_TEXT;
        query.hItem = item;
        query.pszText = reinterpret_cast<LPWSTR>(remote.Address(sizeof(query)));
        query.cchTextMax = kTextSize;
        remote.Write(&query, sizeof(query));
        if (!SendMessageW(tree, TVM_GETITEMW, 0, remote.Address())) return std::string();
        WCHAR text[kTextSize + 1] = {};
        remote.Read(text, kTextSize * sizeof(WCHAR), sizeof(query));
        return Narrow(text);
    }

    // The child of `parent` whose text matches, after expanding `parent` so the picker fills it in.
    HTREEITEM Child(HTREEITEM parent, const std::function<bool(const std::string&)>& matches) const {
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
        for (HTREEITEM item = Next(parent, TVGN_CHILD); item != nullptr; item = Next(item, TVGN_NEXT)) {
            if (matches(Text(item))) return item;
        }
        return nullptr;
    }

    HTREEITEM Named(HTREEITEM parent, const std::string& name) const {
        return Child(parent,
                     [&](const std::string& text) { return lstrcmpiW(Widen(text).c_str(), Widen(name).c_str()) == 0; });
    }
    HTREEITEM Computer() const { return Named(Next(nullptr, TVGN_ROOT), kComputerNode); }

    // The item of a folder on drive C:, found from the desktop down as a user would open it.
    HTREEITEM Folder(const std::string& path) const {
        EXPECT_EQ(path.compare(0, 3, "C:\\"), 0) << path;
        HTREEITEM item =
            Child(Computer(), [](const std::string& text) { return text.find(kDriveC) != std::string::npos; });
        for (size_t start = 3; item != nullptr && start < path.size();) {
            const size_t end = std::min(path.find('\\', start), path.size());
            item = Named(item, path.substr(start, end - start));
            start = end + 1;
        }
        EXPECT_NE(item, nullptr) << path << " is not in the picker's tree";
        return item;
    }

    // Selects the item as a click would, retrying until the tree reports it selected.
    bool Select(HTREEITEM item) const {
        const auto selected = [&] {
            if (Selected() != item) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            veltra.Sync();
            return Selected() == item;
        };
        return item != nullptr && WaitUntil(selected);
    }

    void SelectFolder(const std::string& path) const { EXPECT_TRUE(Select(Folder(path))) << "cannot select " << path; }

    void Close(Closing how) const {
        switch (how) {
            case Closing::Ok: PostMessageA(window, WM_COMMAND, IDOK, 0); break;
            case Closing::Cancel: PostMessageA(window, WM_COMMAND, IDCANCEL, 0); break;
            case Closing::Escape:
                // A real key goes to the active window; the dialog manager turns it into Cancel.
                EXPECT_EQ(GetForegroundWindow(), window) << "the picker is not the active window";
                SendKey(VK_ESCAPE);
                break;
            case Closing::CloseMessage: PostMessageA(window, WM_CLOSE, 0, 0); break;
            case Closing::CloseBox: PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); })) << "the picker did not close";
        veltra.Sync();
    }

    const Veltra& veltra;
    RemoteBuffer remote;
    HWND window = nullptr;
    HWND tree = nullptr;
};

// A start folder with three sub-folders, each holding its own pictures; B and its pictures are
// named in scripts beyond any one code page.
constexpr char kB[] = "B \u0395\u03BB\u03BB\u03AC\u03B4\u03B1 \u65E5\u672C";  // B Ελλάδα 日本
struct Trip {
    Trip() {
        for (const auto& [sub, pictures] : {std::pair{"A", &a}, std::pair{kB, &b}, std::pair{"C", &c}}) {
            folder.MakeFolder(sub);
            for (const std::string& name : *pictures) folder.Write(std::string(sub) + "\\" + name, "x");
        }
        for (const std::string& name : home) folder.Write(name, "x");
    }
    std::string Dir(const std::string& sub = "") const { return folder.Path(sub) + "\\"; }

    FixtureFolder folder;
    const std::vector<std::string> home = {"home-1.jpg", "home-2.tif"};
    const std::vector<std::string> a = {"a-1.jpg", "a-2.bmp"};
    const std::vector<std::string> b = {"b-1 \u041C\u043E\u0441\u043A\u0432\u0430.pcx",  // Москва
                                        "b-2 \U0001F4F7.jpg"};
    const std::vector<std::string> c = {"c-1.psd", "c-2.jpg"};
};

// Moves the picker through A, B and C, the list following at every step while the picker stays open.
void BrowseThroughABC(const Veltra& veltra, const Picker& picker, const Trip& trip) {
    const std::pair<const char*, const std::vector<std::string>*> steps[] = {
        {"A", &trip.a}, {kB, &trip.b}, {"C", &trip.c}};
    for (const auto& step : steps) {
        picker.SelectFolder(trip.folder.Path(step.first));
        ExpectListSoon(veltra, *step.second, step.first);
        EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir(step.first));
        EXPECT_TRUE(IsWindowVisible(picker.window)) << "the picker closed at " << step.first;
    }
}

// MainWindow's preview box, checked at its middle and one pixel in from two corners.
void ExpectPreview(const Veltra& veltra, COLORREF colour, const char* when) {
    veltra.Repaint();
    const ClientShot shot = CaptureClient(veltra);
    for (const POINT& spot : {POINT{195, 176}, POINT{36, 57}, POINT{354, 295}}) {
        const COLORREF shown = shot.At(spot.x, spot.y);
        EXPECT_TRUE(ColourNear(shown, colour)) << when << ": " << DescribePixel(spot.x, spot.y, shown);
    }
}

// The fixture paths are plain ASCII.
std::wstring LongWindowsPath(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }

// A picture file whose full path is longer than the ANSI functions take.
void WriteBeyondMaxPath(const std::string& path) {
    HANDLE file = CreateFileW(LongWindowsPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    CloseHandle(file);
}

// Gives a long folder a short name again at the end, so that the fixture's removal reaches
// everything beneath it.
struct ShortenedAtExit {
    ~ShortenedAtExit() { MoveFileW(LongWindowsPath(from).c_str(), LongWindowsPath(to).c_str()); }
    std::string from;
    std::string to;
};

// A picture in the drive's root, removed again at the end.
struct RootPicture {
    RootPicture() { std::ofstream(path) << "x"; }
    ~RootPicture() { DeleteFileA(path); }
    const char* path = "C:\\veltra-browser-root.jpg";
    const std::vector<std::string> listed = {"veltra-browser-root.jpg"};
};

}  // namespace

TEST(FolderBrowser, OpensOnTheCurrentFolderOverTheMainWindow) {
    Trip trip;
    Veltra veltra(trip.folder.path);
    const RECT frame = veltra.Frame();
    Picker picker(veltra);
    ASSERT_NE(picker.tree, nullptr);

    RECT placed;
    GetWindowRect(picker.window, &placed);
    EXPECT_EQ(placed.left, frame.left + 110);
    EXPECT_EQ(placed.top, frame.top + 40);

    std::vector<std::string> texts;
    for (HWND text = nullptr; (text = FindWindowExA(picker.window, text, "Static", nullptr)) != nullptr;) {
        char shown[512] = {};
        SendMessageA(text, WM_GETTEXT, sizeof(shown), reinterpret_cast<LPARAM>(shown));
        texts.push_back(shown);
    }
    EXPECT_NE(std::find(texts.begin(), texts.end(), kPickerTitle), texts.end()) << "no static shows the title";

    const HTREEITEM selected = picker.Selected();
    EXPECT_EQ(selected, picker.Folder(trip.folder.path)) << "selected: " << picker.Text(selected);
    EXPECT_FALSE(IsWindowEnabled(veltra.main)) << "the picker is modal over MainWindow";
    EXPECT_EQ(veltra.ListNames(), trip.home);
    EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir());
}

TEST(FolderBrowser, ListFollowsThePickerAndOkKeepsTheFolder) {
    Trip trip;
    Veltra veltra(trip.folder.path);
    {
        Picker picker(veltra);
        BrowseThroughABC(veltra, picker, trip);
        picker.Close(Closing::Ok);
    }
    ExpectListSoon(veltra, trip.c, "after OK");
    EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir("C"));
    {
        Picker picker(veltra);
        EXPECT_EQ(picker.Selected(), picker.Folder(trip.folder.Path("C"))) << "the next run opens on C";
        picker.SelectFolder(trip.folder.Path("A"));
        ExpectListSoon(veltra, trip.a, "A in the next run");
        picker.Close(Closing::Cancel);
    }
    ExpectListSoon(veltra, trip.c, "Cancel returns to the folder confirmed before");
    EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir("C"));
}

TEST(FolderBrowser, CancelEscapeAndTheCloseBoxReturnHome) {
    Trip trip;
    Veltra veltra(trip.folder.path);
    const std::pair<Closing, const char*> ways[] = {{Closing::Escape, "Escape"},
                                                    {Closing::Cancel, "Cancel"},
                                                    {Closing::CloseMessage, "WM_CLOSE"},
                                                    {Closing::CloseBox, "SC_CLOSE"}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.second);
        {
            Picker picker(veltra);
            BrowseThroughABC(veltra, picker, trip);
            picker.Close(way.first);
        }
        ExpectListSoon(veltra, trip.home, way.second);
        EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir());
        EXPECT_TRUE(IsWindowEnabled(veltra.main));
    }
}

// The root's path already ends in a backslash. A doubled one cannot be seen from outside (the
// system folds it when the directory is set), so this shows the root browsed, kept and returned to.
TEST(FolderBrowser, DriveRootIsListedKeptAndReturnedTo) {
    Trip trip;
    RootPicture root;
    Veltra veltra(trip.folder.path);
    {
        Picker picker(veltra);
        picker.SelectFolder("C:\\");
        ExpectListSoon(veltra, root.listed, "drive root selected");
        EXPECT_EQ(CurrentDirectoryOf(veltra), "C:\\");
        picker.Close(Closing::Ok);
    }
    ExpectListSoon(veltra, root.listed, "after OK");
    {
        Picker picker(veltra);
        EXPECT_EQ(picker.Selected(), picker.Folder("C:\\")) << "the next run opens on the root";
        picker.SelectFolder(trip.folder.Path("A"));
        ExpectListSoon(veltra, trip.a, "A");
        picker.Close(Closing::Cancel);
    }
    ExpectListSoon(veltra, root.listed, "Cancel returns to the root confirmed before");
    EXPECT_EQ(CurrentDirectoryOf(veltra), "C:\\");
}

TEST(FolderBrowser, ItemWithoutAPathChangesNothing) {
    Trip trip;
    Veltra veltra(trip.folder.path);
    {
        Picker picker(veltra);
        picker.SelectFolder(trip.folder.Path("A"));
        ExpectListSoon(veltra, trip.a, "A");
        const HTREEITEM computer = picker.Computer();
        ASSERT_NE(computer, nullptr);
        ASSERT_TRUE(picker.Select(computer));
        EXPECT_EQ(veltra.ListNames(), trip.a);
        EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir("A"));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(picker.window, IDOK))) << "only file-system folders can be chosen";
        picker.Close(Closing::Cancel);
    }
    ExpectListSoon(veltra, trip.home, "after Cancel");
    EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir());
}

TEST(FolderBrowser, PreviewStaysAndTheListHasNoSelectionAfterOkAndCancel) {
    FixtureFolder folder;
    folder.Write("red.bmp", SolidBmp(320, 240, RGB(255, 0, 0)));
    folder.MakeFolder("A");
    folder.Write("A\\green.bmp", SolidBmp(320, 240, RGB(0, 255, 0)));
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    veltra.Choose("red.bmp");
    ExpectPreview(veltra, RGB(255, 0, 0), "red chosen");
    {
        Picker picker(veltra);
        picker.SelectFolder(folder.Path("A"));
        picker.Close(Closing::Ok);
    }
    ExpectListSoon(veltra, {"green.bmp"}, "after OK");
    EXPECT_EQ(veltra.Selection(), LB_ERR);
    ExpectPreview(veltra, RGB(255, 0, 0), "after OK");

    veltra.Choose("green.bmp");
    ExpectPreview(veltra, RGB(0, 255, 0), "green chosen");
    {
        Picker picker(veltra);
        picker.SelectFolder(folder.path);
        ExpectListSoon(veltra, {"red.bmp"}, "start folder while browsing");
        picker.Close(Closing::Cancel);
    }
    ExpectListSoon(veltra, {"green.bmp"}, "after Cancel");
    EXPECT_EQ(veltra.Selection(), LB_ERR);
    ExpectPreview(veltra, RGB(0, 255, 0), "after Cancel");
}

TEST(FolderBrowser, PathWithNoRoomForTheBackslashIsRefused) {
    Trip trip;
    // Two levels, as one folder name may not exceed 255 characters; the deeper one ends at
    // exactly 259 characters. Its sibling one character shorter is what a cut path would name.
    const std::string outerName(150, 'L');
    const std::string outer = trip.folder.Path(outerName);
    const std::string full = outer + "\\" + std::string(259 - outer.size() - 1, 'M');
    const std::string cut = full.substr(0, full.size() - 1);
    ASSERT_EQ(full.size(), 259u);
    trip.folder.MakeFolder(outerName);
    ShortenedAtExit shortened = {outer, trip.folder.Path("L")};
    ASSERT_TRUE(CreateDirectoryA(full.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(cut.c_str(), nullptr));
    WriteBeyondMaxPath(full + "\\long.jpg");
    WriteBeyondMaxPath(cut + "\\cut.jpg");

    Veltra veltra(trip.folder.path);
    {
        Picker picker(veltra);
        picker.SelectFolder(trip.folder.Path("A"));
        ExpectListSoon(veltra, trip.a, "A");
        picker.SelectFolder(full);
        veltra.Sync();
        EXPECT_EQ(veltra.ListNames(), trip.a) << "the 259-character folder was entered";
        EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir("A"));
        picker.Close(Closing::Ok);
    }
    EXPECT_EQ(veltra.ListNames(), trip.a);
    EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir("A"));
    {
        // Opens on the current folder, which the refused choice did not move; HomeFolder was
        // not replaced either, so Cancel goes back to the start folder.
        Picker picker(veltra);
        EXPECT_EQ(picker.Selected(), picker.Folder(trip.folder.Path("A")));
        picker.SelectFolder(trip.folder.Path(kB));
        ExpectListSoon(veltra, trip.b, kB);
        picker.Close(Closing::Cancel);
    }
    ExpectListSoon(veltra, trip.home, "after Cancel");
    EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir());
}

// Folders removed behind the picker's back: one selected after it vanished cannot be entered and
// shows an empty list, and Cancel with the start folder gone stays in the folder last entered.
TEST(FolderBrowser, FolderGoneWhenSelectedListsNothingAndCancelWithoutHomeStays) {
    Trip trip;
    trip.folder.MakeFolder("Home");
    trip.folder.Write("Home\\home.jpg", "x");
    Veltra veltra(trip.folder.Path("Home"));
    {
        Picker picker(veltra);
        const HTREEITEM gone = picker.Folder(trip.folder.Path("C"));
        picker.SelectFolder(trip.folder.Path("A"));
        ExpectListSoon(veltra, trip.a, "A");
        for (const std::string& name : trip.c) trip.folder.Remove("C\\" + name);
        trip.folder.Remove("Home\\home.jpg");
        for (const char* folder : {"C", "Home"}) {
            EXPECT_TRUE(RemoveDirectoryA(trip.folder.Path(folder).c_str())) << folder << ": error " << GetLastError();
        }
        ASSERT_TRUE(picker.Select(gone));
        ExpectListSoon(veltra, {}, "the removed folder selected");
        EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir("A"));
        picker.Close(Closing::Cancel);
    }
    ExpectListSoon(veltra, trip.a, "Cancel without the start folder");
    EXPECT_EQ(CurrentDirectoryOf(veltra), trip.Dir("A"));
}
