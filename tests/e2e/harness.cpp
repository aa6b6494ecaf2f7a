#include "harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace e2e {

namespace {

std::string RequiredEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        ADD_FAILURE() << name << " is not set; run the end-to-end tests through tests/e2e/run_e2e.sh";
        return std::string();
    }
    return value;
}

// Wide functions, so that names outside the code page and paths past MAX_PATH go too.
void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

void RemoveTree(const std::string& path) { RemoveTree(Widen(path)); }

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId) {
    std::vector<HWND> all, windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (processId == 0 || owner == processId) windows.push_back(window);
    }
    return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool HasClass(HWND window, const char* className) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return lstrcmpiA(name, className) == 0;
}

HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly) {
    for (HWND window : TopLevelWindows(processId)) {
        if ((!visibleOnly || IsWindowVisible(window)) && HasClass(window, className)) return window;
    }
    return nullptr;
}

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1);
    return wide;
}

std::string Narrow(const wchar_t* text) {
    std::string narrow(4 * wcslen(text) + 1, '\0');
    narrow.resize(
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], static_cast<int>(narrow.size()), nullptr, nullptr) - 1);
    return narrow;
}

std::string VeltraExe() { return RequiredEnvironment("VELTRA_EXE"); }

std::string DataFile(const std::string& name) { return RequiredEnvironment("VELTRA_E2E_DATA") + "\\" + name; }

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > static_cast<DWORD>(milliseconds)) return false;
        Sleep(50);
    }
}

std::string MakeBmp(int width, int height, const std::function<COLORREF(int, int)>& colour) {
    const int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + rowBytes * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biXPelsPerMeter = info.biYPelsPerMeter = 3780;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    std::string row(rowBytes, '\0');
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            row[x * 3] = static_cast<char>(GetBValue(c));
            row[x * 3 + 1] = static_cast<char>(GetGValue(c));
            row[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
        bytes += row;
    }
    return bytes;
}

std::string SolidBmp(int width, int height, COLORREF colour) {
    return MakeBmp(width, height, [colour](int, int) { return colour; });
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

FixtureFolder::FixtureFolder() {
    static int counter = 0;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "fixture";
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    path = RequiredEnvironment("VELTRA_FIXTURE_ROOT") + "\\" + name + "." + std::to_string(++counter);
    RemoveTree(path);
    CreateDirectoryA(RequiredEnvironment("VELTRA_FIXTURE_ROOT").c_str(), nullptr);
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

FixtureFolder::~FixtureFolder() { RemoveTree(path); }

std::string FixtureFolder::Path(const std::string& name) const { return name.empty() ? path : path + "\\" + name; }

// Under a Unix locale that is not UTF-8, Wine cannot store names outside ASCII at all; these
// failures say so.
void FixtureFolder::Write(const std::string& name, const std::string& bytes) const {
    HANDLE file = CreateFileW(Widen(Path(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    EXPECT_TRUE(file != INVALID_HANDLE_VALUE &&
                WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                written == bytes.size())
        << Path(name) << ": error " << GetLastError();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

void FixtureFolder::CopyData(const std::string& dataName, const std::string& as) const {
    EXPECT_TRUE(CopyFileW(Widen(DataFile(dataName)).c_str(), Widen(Path(as)).c_str(), FALSE))
        << dataName << " as " << as;
}

void FixtureFolder::MakeFolder(const std::string& name) const {
    EXPECT_TRUE(CreateDirectoryW(Widen(Path(name)).c_str(), nullptr)) << Path(name);
}

void FixtureFolder::Remove(const std::string& name) const { EXPECT_TRUE(DeleteFileW(Widen(Path(name)).c_str())); }

BITMAPINFO TopDown32BitInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

Screen Screen::Capture() {
    Screen screen;
    screen.width = GetSystemMetrics(SM_CXSCREEN);
    screen.height = GetSystemMetrics(SM_CYSCREEN);
    screen.pixels.assign(static_cast<size_t>(screen.width) * screen.height, 0);
    HDC desktop = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(desktop);
    BITMAPINFO info = TopDown32BitInfo(screen.width, screen.height);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(desktop, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, screen.width, screen.height, desktop, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < screen.pixels.size(); ++i) screen.pixels[i] = source[i] & 0x00FFFFFF;
    SelectObject(memory, previous);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, desktop);
    return screen;
}

COLORREF Screen::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool ColourNear(COLORREF actual, COLORREF expected, int tolerance) {
    if (actual == CLR_INVALID) return false;
    return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

std::string Describe(COLORREF colour) {
    char text[32];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

Veltra::Veltra(const std::string& folder, const char* extraEnvironment, Launch launch) {
    const std::string exe = VeltraExe();
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string environment;
    if (extraEnvironment != nullptr) {
        // The parent's environment plus the extra NUL-separated entries.
        char* block = GetEnvironmentStringsA();
        for (const char* entry = block; *entry; entry += strlen(entry) + 1)
            environment.append(entry, strlen(entry) + 1);
        FreeEnvironmentStringsA(block);
        for (const char* entry = extraEnvironment; *entry; entry += strlen(entry) + 1) {
            environment.append(entry, strlen(entry) + 1);
        }
        environment.push_back('\0');
    }
    const DWORD flags = launch == Launch::Suspended ? CREATE_SUSPENDED : 0;
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags,
                        extraEnvironment != nullptr ? &environment[0] : nullptr, folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << exe << " in " << folder << ": error " << GetLastError();
        return;
    }
    if (launch != Launch::WaitForWindow) return;
    WaitUntil([this] { return (main = FindProcessWindow(process.dwProcessId, "VELTRA", true)) != nullptr; }, 15000);
    if (main == nullptr) {
        ADD_FAILURE() << "VELTRA's window did not appear";
        return;
    }
    list = GetDlgItem(main, IDC_PICTURE_LIST);
    Sync();
}

Veltra::~Veltra() {
    if (process.hProcess == nullptr) return;
    DWORD code = 0;
    // However a test ends, a program that died of an exception is a failure.
    if (GetExitCodeProcess(process.hProcess, &code) && code >= 0xC0000000) {
        ADD_FAILURE() << "veltra.exe crashed with exception 0x" << std::hex << code;
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool Veltra::Running() const {
    return process.hProcess != nullptr && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

long Veltra::WaitForExit(int milliseconds) const {
    if (WaitForSingleObject(process.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<long>(code);
}

bool Veltra::Sync(int milliseconds) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &result) != 0;
}

bool Veltra::SyncPosted(int milliseconds) const {
    // A marker posted behind everything else, with an effect that can be read back: the list's
    // horizontal extent, which shows nowhere since the list has no horizontal scroll bar.
    static WPARAM counter = 0;
    const WPARAM marker = 1000 + ++counter % 1000;
    PostMessageA(list, LB_SETHORIZONTALEXTENT, marker, 0);
    return WaitUntil(
        [&] {
            DWORD_PTR extent = 0;
            return SendMessageTimeoutA(list, LB_GETHORIZONTALEXTENT, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &extent) &&
                   extent == marker;
        },
        milliseconds);
}

RECT Veltra::Frame() const {
    RECT frame = {};
    GetWindowRect(main, &frame);
    return frame;
}

POINT Veltra::ToScreen(int clientX, int clientY) const {
    POINT point = {clientX, clientY};
    ClientToScreen(main, &point);
    return point;
}

std::vector<std::string> Veltra::ListNames() const {
    std::vector<std::string> names;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // The names as the list holds them; Wine hands the ANSI message only the first character
        // across processes anyway.
        WCHAR wide[MAX_PATH + 1] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        names.push_back(Narrow(wide));
    }
    return names;
}

int Veltra::Selection() const { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

void Veltra::ChooseIndex(int index) const {
    SendMessageA(list, LB_SETCURSEL, index, 0);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(main, WM_COMMAND, MAKEWPARAM(IDC_PICTURE_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list),
                        SMTO_NORMAL, 10000, &result);
}

void Veltra::Choose(const std::string& name) const {
    const std::vector<std::string> names = ListNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            ChooseIndex(static_cast<int>(i));
            return;
        }
    }
    ADD_FAILURE() << name << " is not in the list";
}

void Veltra::PostCommand(int id) const { PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void Veltra::Repaint() const {
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sync();
    Sleep(100);
}

void Veltra::MovePointerAway() const {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Sync();
}

HWND Veltra::FindDialog() const { return FindProcessWindow(process.dwProcessId, "#32770", true); }

HWND Veltra::WaitForDialog(int milliseconds) const {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog()) != nullptr; }, milliseconds);
    return dialog;
}

void PostAll(HWND window, std::initializer_list<Posted> messages) {
    for (const Posted& posted : messages) {
        EXPECT_TRUE(PostMessageA(window, posted.message, posted.wParam, posted.lParam)) << posted.message;
    }
}

void SendKey(WORD virtualKey) {
    INPUT input[2] = {};
    for (INPUT& event : input) {
        event.type = INPUT_KEYBOARD;
        event.ki.wVk = virtualKey;
    }
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    EXPECT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
}

void SendClicks(POINT screenPoint, int clicks, bool rightButton) {
    // Every press and release carries its own position: a pointer move of just before (the X
    // server reports them late under load) could otherwise take the click somewhere else.
    std::vector<INPUT> input(2 * clicks);
    for (size_t i = 0; i < input.size(); ++i) {
        input[i].type = INPUT_MOUSE;
        input[i].mi.dx = MulDiv(screenPoint.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input[i].mi.dy = MulDiv(screenPoint.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        const bool down = i % 2 == 0;
        input[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                              (rightButton ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                                           : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP));
    }
    EXPECT_EQ(SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)), input.size());
}

}  // namespace e2e
