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

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

struct FindContext {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM lParam) {
    auto* context = reinterpret_cast<FindContext*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (owner == context->processId && (!context->visibleOnly || IsWindowVisible(window)) &&
        lstrcmpiA(className, context->className) == 0) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly) {
    FindContext context = {processId, className, visibleOnly, nullptr};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&context));
    return context.found;
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

void FixtureFolder::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(Path(name), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << Path(name);
}

void FixtureFolder::CopyData(const std::string& dataName, const std::string& as) const {
    EXPECT_TRUE(CopyFileA(DataFile(dataName).c_str(), Path(as).c_str(), FALSE)) << dataName;
}

void FixtureFolder::MakeFolder(const std::string& name) const {
    EXPECT_TRUE(CreateDirectoryA(Path(name).c_str(), nullptr)) << Path(name);
}

void FixtureFolder::Remove(const std::string& name) const { EXPECT_TRUE(DeleteFileA(Path(name).c_str())); }

Screen Screen::Capture() {
    Screen screen;
    screen.width = GetSystemMetrics(SM_CXSCREEN);
    screen.height = GetSystemMetrics(SM_CYSCREEN);
    screen.pixels.assign(static_cast<size_t>(screen.width) * screen.height, 0);
    HDC desktop = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(desktop);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = screen.width;
    info.bmiHeader.biHeight = -screen.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
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

Veltra::Veltra(const std::string& folder, const char* extraEnvironment, bool waitForWindow) {
    const std::string exe = VeltraExe();
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string environment;
    if (extraEnvironment != nullptr) {
        // The parent's environment plus the extra NUL-separated entries.
        char* block = GetEnvironmentStringsA();
        for (const char* entry = block; *entry; entry += strlen(entry) + 1) environment.append(entry, strlen(entry) + 1);
        FreeEnvironmentStringsA(block);
        for (const char* entry = extraEnvironment; *entry; entry += strlen(entry) + 1) {
            environment.append(entry, strlen(entry) + 1);
        }
        environment.push_back('\0');
    }
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        extraEnvironment != nullptr ? &environment[0] : nullptr, folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << exe << " in " << folder << ": error " << GetLastError();
        return;
    }
    if (!waitForWindow) return;
    WaitUntil([this] { return (main = FindProcessWindow(process.dwProcessId, "VELTRA", true)) != nullptr; }, 15000);
    if (main == nullptr) {
        ADD_FAILURE() << "VELTRA's window did not appear";
        return;
    }
    list = GetDlgItem(main, 500);
    Sync();
}

Veltra::~Veltra() {
    if (process.hProcess == nullptr) return;
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
        // Wine hands only the first character across processes to the ANSI message.
        WCHAR wide[MAX_PATH + 1] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        char narrow[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
        names.push_back(narrow);
    }
    return names;
}

int Veltra::Selection() const { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

void Veltra::ChooseIndex(int index) const {
    SendMessageA(list, LB_SETCURSEL, index, 0);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(main, WM_COMMAND, MAKEWPARAM(500, LBN_DBLCLK), reinterpret_cast<LPARAM>(list), SMTO_NORMAL,
                        10000, &result);
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

ResourceCounts CountResources(HANDLE process) {
    ResourceCounts counts = {GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS), 0};
    GetProcessHandleCount(process, &counts.handles);
    return counts;
}

}  // namespace e2e

namespace e2e {

RemoteBuffer::RemoteBuffer(HANDLE target, size_t size)
    : process(target), base(VirtualAllocEx(target, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
    EXPECT_NE(base, nullptr) << "VirtualAllocEx failed: " << GetLastError();
}

RemoteBuffer::~RemoteBuffer() {
    if (base != nullptr) VirtualFreeEx(process, base, 0, MEM_RELEASE);
}

void RemoteBuffer::Write(const void* data, size_t size, size_t offset) const {
    SIZE_T written = 0;
    EXPECT_TRUE(WriteProcessMemory(process, static_cast<char*>(base) + offset, data, size, &written));
}

void RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
    SIZE_T read = 0;
    EXPECT_TRUE(ReadProcessMemory(process, static_cast<char*>(base) + offset, data, size, &read));
}

VeltraResources::VeltraResources()
    : module(LoadLibraryExA(VeltraExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    EXPECT_NE(module, nullptr) << "cannot open veltra.exe's resources";
}

VeltraResources::~VeltraResources() {
    if (module != nullptr) FreeLibrary(module);
}

COLORREF VeltraResources::BitmapPixel(const char* name, int x, int y) const {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr) return CLR_INVALID;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const COLORREF colour = GetPixel(memory, x, y);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return colour;
}

std::string VeltraResources::Raw(const char* name, const char* type) const {
    HRSRC found = FindResourceA(module, name, type);
    if (found == nullptr) return std::string();
    HGLOBAL loaded = LoadResource(module, found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    return bytes != nullptr ? std::string(bytes, SizeofResource(module, found)) : std::string();
}

}  // namespace e2e
