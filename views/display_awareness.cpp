// The full-screen views run per-monitor DPI aware while the rest of the program stays unaware.
//
// On a scaled display (150 %, 200 %) a DPI-unaware window is told a smaller screen and the system
// stretches what it draws, so a photograph shown "full screen" would be drawn on a fraction of the
// display's pixels and blurred. The skin and the About box are fixed bitmaps meant to be scaled
// that way; the views are not: created aware, they cover the display's real pixels.
#include "app/main_window.h"
#include "views/views.h"

namespace {

using SetThreadAwareness = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

// Looked up at run time, so that the program still starts where the function does not exist
// (before Windows 10 version 1607); there the views simply stay unaware.
SetThreadAwareness ThreadAwarenessSetter() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<SetThreadAwareness>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
}

// Switches the thread to per-monitor awareness; the awareness it had, null when it stays as it is.
DPI_AWARENESS_CONTEXT BecomeAware(SetThreadAwareness setAwareness) {
    if (setAwareness == nullptr) return nullptr;
    // Systems that know only the first version of per-monitor awareness (Windows 10 before
    // version 1703, Wine 8) refuse the second with null.
    DPI_AWARENESS_CONTEXT previous = setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (previous == nullptr) previous = setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    return previous;
}

}  // namespace

void LaunchFullScreenView(DLGPROC procedure) {
    const SetThreadAwareness setAwareness = ThreadAwarenessSetter();
    const DPI_AWARENESS_CONTEXT previous = BecomeAware(setAwareness);
    // The dialog keeps the awareness it was created with for its whole life; MainWindow, painted
    // meanwhile, keeps its own.
    LaunchDialog("SCNBOX", procedure);
    if (previous != nullptr) setAwareness(previous);
}

SIZE FullScreenViewSize() {
    const SetThreadAwareness setAwareness = ThreadAwarenessSetter();
    const DPI_AWARENESS_CONTEXT previous = BecomeAware(setAwareness);
    const RECT display = PrimaryDisplayRect();
    if (previous != nullptr) setAwareness(previous);
    return SIZE{display.right - display.left, display.bottom - display.top};
}
