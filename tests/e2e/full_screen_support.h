// What the full-screen viewer and the slide show tests share: reading a lone picture off the
// screen, the pointer's visibility and the captured companion sound.
#pragma once

#include <windows.h>

#include <string>

#include "harness.h"
#include "pictures/decoded_picture.h"

namespace e2e {

// The test screen the expected placements are worked out for.
constexpr int kTestScreenWidth = 1024;
constexpr int kTestScreenHeight = 768;

// Empty when `screen` shows a solid `colour` exactly over `area` and, with `blackAround`, black
// everywhere else; otherwise what is wrong, for the failure message. Every pixel of the area
// counts, its first row and column too: pictures are decoded at the size they are drawn at, so
// no draw scales.
std::string PictureFaults(const Screen& screen, const RECT& area, COLORREF colour, bool blackAround = true);

// What `screen` shows in `rect`, as a decoded picture.
DecodedPicture PictureOnScreen(const Screen& screen, const RECT& rect);

// Waits until the screen shows that picture alone; on timeout `faults` says what was seen last.
bool WaitForLonePicture(const RECT& area, COLORREF colour, std::string* faults, int milliseconds = 5000);

// Moves the pointer off MainWindow and waits until no tooltip shows: a tooltip stays above
// every other window and would stand in front of a full-screen view.
void ClearTheScreen(const Veltra& veltra);

// Opens the full-screen viewer on the picture shown, with a double-click on MainWindow's skin.
HWND OpenViewer(const Veltra& veltra);

// MainWindow's 320 x 240 preview box, in screen coordinates.
RECT PreviewOnScreen(const Veltra& veltra);

// Whether the system reports the mouse pointer as shown.
bool PointerShowing();

// Waits until what was heard since `offset` is one play of `samples` and nothing more follows
// for a moment. Heard: the audible samples (see Audible), which padding cannot change.
bool WaitForOnePlay(size_t offset, const std::string& samples);

// The keys, clicks and close requests that must not end or step a full-screen view.
void PostHarmlessInput(HWND view);

}  // namespace e2e
