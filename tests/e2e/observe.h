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

// Counts of what the program holds, or -1 for one that cannot be had. Under Wine each comes from
// the source that tells the truth there: GDI objects from the process's GDI handle table, handles
// from the system's handle table, user objects as windows, memory as private (anonymous) bytes.
struct HeldCounts {
    long gdi;
    long user;
    long handles;
    long long privateBytes;
};
HeldCounts CountHeld(const PROCESS_INFORMATION& process);
std::string Describe(const HeldCounts& counts);
// Fails for each count that `allowance` checks (not negative) and that could not be had early, or
// that grew from `early` to `late` by more than it allows.
void ExpectNoGrowth(const HeldCounts& early, const HeldCounts& late, const HeldCounts& allowance);
// For a long run: leaking one object a step would show as hundreds, a picture kept each step as
// megabytes, while heap settling stays far below one.
// GDI objects: two more for the pictures decoded ahead, which are held as bitmaps once they arrive.
constexpr HeldCounts kLongRunAllowance = {4, 0, 2, 1 << 20};

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
