// Decoding ahead: one worker thread, below normal priority, decodes the pictures a view is likely
// to show next, fitted to the view's box; the GUI thread hands each over to GDI+ as it arrives, so
// that showing one costs only its draw. The worker touches no window and no GDI+ object and reads
// none of the program's globals; it reads each file only while decoding it. Everything here but
// the worker runs on the GUI thread.
#pragma once

#include <windows.h>

#include <vector>

#include "catalogue/decode_ahead_plan.h"
#include "pictures/picture_fitting.h"

// Wants these decoded, the first first, in place of whatever was wanted before: anything else
// asked for is dropped, and a decode of it under way is abandoned. The worker starts with the
// first request and tells `notify` of each picture done with WM_DECODED_AHEAD.
void RequestDecodesAhead(HWND notify, const std::vector<AheadRequest>& wanted);

enum class AheadClaim {
    Taken,     // `out` holds the picture, decoded ahead from the file as it is now
    NotThere,  // nothing usable was decoded ahead, nor is being: decode it here
    ViewEnds,  // while waiting for its decode, the gesture that ends the view came: show nothing
};

// The picture for `wanted`, if it was decoded ahead from the file as it still is. One whose decode
// is under way is waited for rather than decoded twice, unless the view is to end meanwhile.
AheadClaim TakeDecodedAhead(const AheadRequest& wanted, UprightPicture* out);
