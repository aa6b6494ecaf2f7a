// Drives the real veltra.exe from outside, as a user or the system would: it starts the program
// in a fixture folder, sends it window messages and reads the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/layout.h"
#include "observe.h"
#include "remote_access.h"
#include "resources/resource_ids.h"
#include "screen.h"

namespace e2e {

// Where the program blackens its display area, in client coordinates, right and bottom exclusive.
constexpr RECT kDisplayArea = {kDisplayLeft, kDisplayTop, kDisplayRight, kDisplayBottom};

// Names and paths in the tests are UTF-8, so that they can be in any script: Widen gives them
// in UTF-16, as the wide-character functions take them, and Narrow gives them back.
std::wstring Widen(const std::string& text);
std::string Narrow(const wchar_t* text);

// Settings from the runner's environment (Windows paths).
std::string VeltraExe();
std::string DataFile(const std::string& name);  // prepared test data (pictures, sounds)

// The top-level windows of the process (of every process for 0), and the descendants of a window.
std::vector<HWND> TopLevelWindows(DWORD processId = 0);
std::vector<HWND> ChildWindows(HWND parent);
bool HasClass(HWND window, const char* className);  // case-insensitive
// The first top-level window of the process with that class, or null.
HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly);

// Polls `condition` every 50 ms until it holds or `milliseconds` pass.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 5000);

// A 24-bit BMP file of the given size, each pixel's colour from `colour(x, y)`.
std::string MakeBmp(int width, int height, const std::function<COLORREF(int, int)>& colour);
std::string SolidBmp(int width, int height, COLORREF colour);
std::string ReadFileBytes(const std::string& path);

// A fresh folder under the fixture root (inside the Wine prefix's drive C, where the folder
// picker can reach it), removed again with everything in it.
struct FixtureFolder {
    FixtureFolder();
    ~FixtureFolder();
    FixtureFolder(const FixtureFolder&) = delete;
    FixtureFolder& operator=(const FixtureFolder&) = delete;

    std::string Path(const std::string& name = "") const;
    void Write(const std::string& name, const std::string& bytes) const;
    void CopyData(const std::string& dataName, const std::string& as) const;
    void MakeFolder(const std::string& name) const;
    void Remove(const std::string& name) const;

    std::string path;
};

// How far the Veltra constructor takes the program: until its window is up, only until its process
// is started, or to a process created suspended, so that a test can let several go back to back.
enum class Launch { WaitForWindow, Started, Suspended };

// One running copy of the program; ended by its handle when the test is over.
struct Veltra {
    // `extraEnvironment`: NUL-separated NAME=value entries added to the test's own environment.
    explicit Veltra(const std::string& folder, const char* extraEnvironment = nullptr,
                    Launch launch = Launch::WaitForWindow);
    ~Veltra();
    Veltra(const Veltra&) = delete;
    Veltra& operator=(const Veltra&) = delete;

    bool Running() const;
    // Exit code once the process has ended within `milliseconds`, or -1.
    long WaitForExit(int milliseconds = 5000) const;
    // True when the program has handled everything sent or posted so far, within `milliseconds`.
    bool Sync(int milliseconds = 5000) const;
    // True when the program has handled every message posted to it so far, within `milliseconds`.
    // Stricter than Sync: a thread handles sent messages before the posted ones waiting in its queue.
    bool SyncPosted(int milliseconds = 5000) const;

    RECT Frame() const;  // MainWindow in screen coordinates
    POINT ToScreen(int clientX, int clientY) const;
    std::vector<std::string> ListNames() const;
    int Selection() const;
    // Selects the entry and sends the list's double-click notification, as a user's double-click would.
    void Choose(const std::string& name) const;
    void ChooseIndex(int index) const;
    void PostCommand(int id) const;
    // Invalidates the whole window and waits until it is repainted.
    void Repaint() const;
    // Moves the pointer off the window so that no tooltip covers it.
    void MovePointerAway() const;

    // The visible top-level dialog (class #32770) of this process, or null.
    HWND FindDialog() const;
    HWND WaitForDialog(int milliseconds = 5000) const;

    PROCESS_INFORMATION process = {};
    HWND main = nullptr;
    HWND list = nullptr;
};

// lParam of a posted key's release: repeat count 1, previously down, now going up.
constexpr LPARAM kKeyReleased = static_cast<LPARAM>(0xC0000001u);

// Posts each message in turn, as input or the system would put them in the window's queue.
struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
void PostAll(HWND window, std::initializer_list<Posted> messages);

// Real input, as from the keyboard and the mouse: it goes to the active window and the window
// under the pointer, through the system's input queue (after posted messages, in its own order).
void SendKey(WORD virtualKey);  // press and release
void SendClicks(POINT screenPoint, int clicks = 1, bool rightButton = false);

}  // namespace e2e
