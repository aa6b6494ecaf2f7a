// What the program holds and what it plays, observed from outside.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace e2e {

// Wine answers 0 to GetGuiResources and GetProcessHandleCount for another process. These fall
// back to what it keeps truthfully: the handles from the system's handle table, the user objects
// as the windows of the process (top-level and child; menus, icons and cursors go uncounted).
// -1 when no count can be had.
long CountHandles(const PROCESS_INFORMATION& process);
long CountUserObjects(const PROCESS_INFORMATION& process);

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
