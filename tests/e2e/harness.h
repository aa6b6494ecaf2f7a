// Drives the real veltra.exe from outside, as a user or the system would: it starts the program
// in a fixture folder, sends it window messages and reads the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/layout.h"
#include "resources/resource_ids.h"

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

// The first top-level window of the process with that class (case-insensitive), or null.
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

// The header of a top-down 32 bpp DIB of that size, as the screen and bitmap reads use.
BITMAPINFO TopDown32BitInfo(int width, int height);

// A snapshot of the whole screen.
struct Screen {
    static Screen Capture();
    COLORREF At(int x, int y) const;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down
};

bool ColourNear(COLORREF actual, COLORREF expected, int tolerance = 8);
std::string Describe(COLORREF colour);

// One running copy of the program; ended by its handle when the test is over.
struct Veltra {
    // `extraEnvironment`: NUL-separated NAME=value entries added to the test's own environment.
    // Without `waitForWindow` the constructor returns as soon as the process is started.
    explicit Veltra(const std::string& folder, const char* extraEnvironment = nullptr, bool waitForWindow = true);
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

    RECT Frame() const;                      // MainWindow in screen coordinates
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

// Wine answers 0 to GetGuiResources and GetProcessHandleCount for another process. These fall
// back to what it keeps truthfully: the handles from the system's handle table, the user objects
// as the windows of the process (top-level and child; menus, icons and cursors go uncounted).
// -1 when no count can be had.
long CountHandles(const PROCESS_INFORMATION& process);
long CountUserObjects(const PROCESS_INFORMATION& process);

// Real input, as from the keyboard and the mouse: it goes to the active window and the window
// under the pointer, through the system's input queue (after posted messages, in its own order).
void SendKey(WORD virtualKey);  // press and release
void SendClicks(POINT screenPoint, int clicks = 1, bool rightButton = false);

}  // namespace e2e

namespace e2e {

// A capture of the screen read in MainWindow's client coordinates.
struct ClientShot {
    Screen screen;
    POINT origin;
    COLORREF At(int x, int y) const { return screen.At(origin.x + x, origin.y + y); }
    // Pixels of the client rectangle (right and bottom exclusive) that are not `colour`.
    int CountOtherThan(const RECT& rect, COLORREF colour, int tolerance = 0) const;
};
ClientShot CaptureClient(const Veltra& veltra);
// "(x, y) shows #RRGGBB", for failure messages.
std::string DescribePixel(int x, int y, COLORREF shown);

// The GDI objects the process holds, or -1 when no count can be had. Wine's GetGuiResources
// answers 0, so under Wine this reads the process's own GDI handle table.
long CountGdiObjects(const PROCESS_INFORMATION& process);
// Bytes of memory private to the process (under Wine: its anonymous resident memory).
size_t PrivateBytes(HANDLE process);

// Every sample the program plays is appended to one capture file (VELTRA_AUDIO_RAW).
size_t AudioCaptured();  // its length now
// Its length once nothing has come for a moment: a program ended by an earlier test may still
// have had sound on its way.
size_t AudioCapturedWhenQuiet();
std::string AudioSince(size_t offset);  // what came after `offset`
// The 16-bit samples without their silent (zero) ones. Under load Wine pads an underrun of its
// sound output with silence, so a capture is the sound played with short silences put in; what is
// audible is the same.
std::string Audible(const std::string& samples);

}  // namespace e2e

namespace e2e {

// Memory inside the program's process, for messages whose structures must live there
// (tooltip, tree-view and rich-edit queries).
struct RemoteBuffer {
    RemoteBuffer(HANDLE process, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void Write(const void* data, size_t size, size_t offset = 0) const;
    void Read(void* data, size_t size, size_t offset = 0) const;
    LPARAM Address(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(base) + offset); }

    HANDLE process;
    void* base;
};

// The program's own resources, read from its exe as a data file.
struct VeltraResources {
    VeltraResources();
    ~VeltraResources();
    VeltraResources(const VeltraResources&) = delete;
    VeltraResources& operator=(const VeltraResources&) = delete;

    // Pixel (x, y), top-down, of bitmap resource `name`.
    COLORREF BitmapPixel(const char* name, int x, int y) const;
    std::string Raw(const char* name, const char* type) const;

    HMODULE module;
};

}  // namespace e2e
