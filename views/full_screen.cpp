// The full-screen viewer and the operations all full-screen views share.
#include "app/state.h"
#include "catalogue/catalogue.h"
#include "views/stepping.h"
#include "views/views.h"

RECT PrimaryDisplayRect() {
    // ScreenWidth x ScreenHeight were read by the unaware start-up and are scaled down on a scaled
    // display; the monitor's rectangle, asked for here, is in the thread's own pixels.
    MONITORINFO display = {};
    display.cbSize = sizeof(display);
    if (GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &display)) return display.rcMonitor;
    return RECT{0, 0, ScreenWidth, ScreenHeight};
}

void CoverScreen(HWND dialog) {
    const RECT area = PrimaryDisplayRect();
    SetWindowPos(dialog, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
}

int PictureCount() { return static_cast<int>(SendMessageA(PictureList, LB_GETCOUNT, 0, 0)); }

int PictureSelection() { return static_cast<int>(SendMessageA(PictureList, LB_GETCURSEL, 0, 0)); }

void FitPicturesToView(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    FitPicturesTo(client.right, client.bottom);
}

namespace {

// What the view asks to be decoded ahead once its picture is on the screen; null when nothing is
// to be asked for.
void (*AheadOncePainted)() = nullptr;

}  // namespace

void DecodeAheadOncePainted(void (*request)()) { AheadOncePainted = request; }

void PaintFullScreenPicture(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    {
        Gdiplus::Graphics graphics(dc);
        RECT client;
        GetClientRect(dialog, &client);
        DrawCurrentPicture(graphics, 0, 0, client.right, client.bottom);
    }
    EndPaint(dialog, &paint);
    // Only now, so that the worker does not compete with the paint for the processor.
    void (*request)() = AheadOncePainted;
    AheadOncePainted = nullptr;
    if (request != nullptr) request();
}

void ShowEntryFullScreen(HWND dialog, int index) {
    if (!ShowListEntry(dialog, index)) return;
    // A successful load invalidated DisplayArea with erasing; widening the update region to the
    // whole screen makes that erase black out every trace of a larger previous picture.
    InvalidateRect(dialog, nullptr, FALSE);
}

namespace {

// Where the next step lands, then where a step back does.
void DecodeStepsAhead() {
    const AheadEntries ahead = ViewerAheadEntries(PictureCount(), PictureSelection());
    DecodeEntriesAhead(ahead.first, ahead.second);
}

// The picture MainWindow previewed, decoded again for the whole view (ahead, while it was
// previewed, unless its file has changed since).
void StartViewer(HWND dialog) {
    CoverScreen(dialog);
    FitPicturesToView(dialog);
    RefitCurrentPicture(dialog);
    DecodeAheadOncePainted(DecodeStepsAhead);
}

void Step(HWND dialog, StepDirection direction) {
    const int target = ViewerStepTarget(PictureCount(), PictureSelection(), direction);
    if (target < 0) return;
    ShowEntryFullScreen(dialog, target);
    DecodeAheadOncePainted(DecodeStepsAhead);
}

// Only the release of Escape ends the viewer; its press (IDCANCEL) and Alt+F4 do nothing.
INT_PTR OnKeyUp(HWND dialog, WPARAM key) {
    if (key != VK_ESCAPE) return FALSE;
    EndDialog(dialog, 1);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK FullScreenViewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: StartViewer(dialog); return TRUE;
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(BlackBrush);
        case WM_PAINT: PaintFullScreenPicture(dialog); return TRUE;
        case WM_KEYUP: return OnKeyUp(dialog, wParam);
        case WM_LBUTTONDBLCLK: Step(dialog, StepDirection::Forward); return TRUE;
        case WM_RBUTTONDBLCLK: Step(dialog, StepDirection::Backward); return TRUE;
        case MM_MCINOTIFY: CloseFinishedCompanionSound(wParam, lParam); return TRUE;
        case WM_DESTROY: PassCompanionSoundTo(MainWindow); return FALSE;  // the dialog manager cleans up too
    }
    return FALSE;
}
